// tonquill-play: plays a song file without a window, on the speaker or into a WAV file.
#include "app/PlayerMidi.h"
#include "core/NonLockingSleep.h"
#include "diag/DebugLog.h"
#include "editor/MainForm.h"
#include "editor/MainFormSongTarget.h"
#include "fmodtone/EmulatedSpeaker.h"
#include "fmodtone/OfflineSpeaker.h"
#include "fmodtone/engine/SoundEngine.h"
#include "platform/QtEventPump.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/SpeakerFactory.h"
#include "platform/SpeakerSilencer.h"
#include "platform/SteadyClock.h"
#include "platform/StreamMessageBoxes.h"
#include "platform/VirtualClock.h"
#include "platform/audio/RtAudioOutput.h"
#include "platform/audio/WavFile.h"
#include "playback/ToneDispatcher.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"
#include "songfile/SongFormat.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTime>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <limits>
#include <memory>
#include <tuple>

namespace {

enum ExitCode { kPlayed = 0, kStoppedBySignal = 1, kBadArguments = 2, kNotASong = 3 };

std::atomic<bool> gInterrupted{false};

void OnInterrupt(int) {
    tq::SpeakerSilencer::SilenceNow();
    gInterrupted.store(true);
}

// Passes events through and turns Ctrl+C into a click of Stop at the player's next check.
class InterruptiblePump final : public tq::EventPump {
public:
    InterruptiblePump(tq::EventPump& inner, tq::MainForm*& form) : inner_(inner), form_(form) {}
    bool WaitForInput(int32_t timeoutMs) override { return inner_.WaitForInput(timeoutMs); }
    void ProcessPendingEvents() override {
        inner_.ProcessPendingEvents();
        if (gInterrupted.load() && form_) {
            form_->StopPlayButton_Click();
        }
    }

private:
    tq::EventPump& inner_;
    tq::MainForm*& form_;
};

struct Options {
    QString song;
    int passes = 1;
    QString speaker = QStringLiteral("auto");
    QString wav;
    QString toneCode;
    QString debugLog;
    bool listMidi = false;
    QString midiOut; // empty: no MIDI output
    int midiChannel = 1;
    int midiInstrument = 1;
};

void AddOptions(QCommandLineParser& p) {
    p.setApplicationDescription(QStringLiteral(
        "Plays a Tonquill song file without a window and exits.\n"
        "With --wav the song is rendered on a virtual clock into a WAV file instead of being "
        "played, so the file and the logs come out the same every time.\n"
        "Exit codes: 0 played, 1 stopped by a signal, 2 bad arguments, 3 not a readable song."));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("SONG.tql"), QStringLiteral("The song file to play."));
    p.addOptions({
        {QStringLiteral("passes"), QStringLiteral("Play the whole list N times (default 1)."),
         QStringLiteral("N"), QStringLiteral("1")},
        {QStringLiteral("speaker"),
         QStringLiteral("auto, evdev, console, emulated or none (default auto)."),
         QStringLiteral("NAME"), QStringLiteral("auto")},
        {QStringLiteral("wav"), QStringLiteral("Render into this WAV file instead of playing."),
         QStringLiteral("OUT.wav")},
        {QStringLiteral("tone-code"), QStringLiteral("Write the tone-code log to this file."),
         QStringLiteral("FILE")},
        {QStringLiteral("debug-log"), QStringLiteral("Write the debug log to this file."),
         QStringLiteral("FILE")},
        {QStringLiteral("list-midi"), QStringLiteral("List the MIDI output ports and exit.")},
        {QStringLiteral("midi-out"),
         QStringLiteral("Also send every tone to this MIDI output port: its number or a part of "
                        "its name, as --list-midi shows them."),
         QStringLiteral("PORT")},
        {QStringLiteral("midi-channel"), QStringLiteral("MIDI channel, 1 to 16 (default 1)."),
         QStringLiteral("N"), QStringLiteral("1")},
        {QStringLiteral("midi-instrument"),
         QStringLiteral("MIDI instrument, 1 to 128 (default 1, Grand Piano)."), QStringLiteral("N"),
         QStringLiteral("1")},
    });
}

// Reads a whole number option from first to last; what is wrong with it otherwise.
QString ReadNumber(const QCommandLineParser& p, const QString& name, int first, int last,
                   int& value) {
    const QString text = p.value(name);
    bool isNumber = false;
    value = text.toInt(&isNumber);
    if (!isNumber) {
        return QStringLiteral("--%1: '%2' is not a number").arg(name, text);
    }
    if (value < first) {
        return QStringLiteral("--%1: '%2' is less than %3").arg(name, text).arg(first);
    }
    if (value > last) {
        return QStringLiteral("--%1: '%2' is more than %3").arg(name, text).arg(last);
    }
    return QString();
}

// What is wrong with the arguments, or an empty text.
QString ReadOptions(const QCommandLineParser& p, Options& o) {
    static const QStringList speakers = {"auto", "evdev", "console", "emulated", "none"};
    const QStringList args = p.positionalArguments();
    o.listMidi = p.isSet(QStringLiteral("list-midi"));
    o.speaker = p.value(QStringLiteral("speaker"));
    o.wav = p.value(QStringLiteral("wav"));
    o.midiOut = p.value(QStringLiteral("midi-out"));
    if (o.listMidi) {
        return QString();
    }
    if (args.size() != 1) {
        return args.isEmpty() ? QStringLiteral("no song file given")
                              : QStringLiteral("give one song file, not %1").arg(args.size());
    }
    o.song = args[0];
    const std::tuple<const char*, int, int, int*> numbers[] = {
        {"passes", 1, std::numeric_limits<int>::max(), &o.passes},
        {"midi-channel", 1, 16, &o.midiChannel},
        {"midi-instrument", 1, 128, &o.midiInstrument},
    };
    for (const auto& [name, first, last, value] : numbers) {
        const QString problem = ReadNumber(p, QLatin1String(name), first, last, *value);
        if (!problem.isEmpty()) {
            return problem;
        }
    }
    if (!speakers.contains(o.speaker)) {
        return QStringLiteral("--speaker: '%1' is not one of %2")
            .arg(o.speaker, speakers.join(QStringLiteral(", ")));
    }
    if (!o.midiOut.isEmpty() && !o.wav.isEmpty()) {
        return QStringLiteral("--midi-out plays in real time and cannot go with --wav");
    }
    return QString();
}

bool ParseArguments(QCoreApplication& app, Options& o) {
    QCommandLineParser p;
    AddOptions(p);
    if (!p.parse(app.arguments())) {
        std::fprintf(stderr, "%s\n", qPrintable(p.errorText()));
        return false;
    }
    if (p.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(p.helpText()));
        std::exit(kPlayed);
    }
    const QString problem = ReadOptions(p, o);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "tonquill-play: %s\n\n%s", qPrintable(problem),
                     qPrintable(p.helpText()));
        return false;
    }
    o.toneCode = p.value(QStringLiteral("tone-code"));
    o.debugLog = p.value(QStringLiteral("debug-log"));
    return true;
}

// Loads the song with the program's reader. False when the file is not a readable song:
// the reader has then said why on stderr and changed nothing.
bool LoadSong(const QString& path, tq::SongTarget& target, tq::MessageBoxes& boxes,
              tq::LogSink& log) {
    bool isSong = false;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() <= tq::SongFile::kMaxSongBytes) {
        bool byteByByte = false;
        isSong =
            tq::AtStartOfString(tq::DecodeSongBytes(file.read(64), &byteByByte), tq::kFormatText);
    }
    tq::NullLoadProgress progress;
    tq::ScriptedFileDialogs noDialogs;
    tq::SongFile songs(target, progress, boxes, noDialogs, log);
    if (!QFile::exists(path)) {
        std::fprintf(stderr, "Can't open file!: %s can't be seen.\n", qPrintable(path));
        return false;
    }
    songs.ActuallyLoadMusic(path); // reports an unreadable file or a foreign one
    return isSong;
}

// One headless play: on the virtual clock and the offline speaker when rendering, on the
// real clock, event loop and speaker otherwise.
class HeadlessPlayer {
public:
    explicit HeadlessPlayer(const Options& o)
        : o_(o), render_(!o.wav.isEmpty()), log_(QCoreApplication::applicationDirPath()),
          pump_(render_ ? static_cast<tq::EventPump&>(virtualPump_) : qtPump_, formForPump_),
          sleep_(Clock(), pump_), sound_(tq::SystemAudioOutputFactory()) {}

    int Run() {
        SetUpLogs();
        if (!OpenSpeaker()) {
            return kBadArguments;
        }
        tq::Speaker& speaker = render_ ? static_cast<tq::Speaker&>(*offline_) : *choice_.speaker;
        tq::OutputSwitches switches;
        tq::ToneDispatcher tones(log_, boxes_, sleep_, speaker, switches);
        tq::MainForm form({log_, boxes_, sleep_, tones, switches});
        form.State().TickFreq = Clock().PerformanceFrequency();
        formForPump_ = &form;
        tq::MainFormSongTarget target(form);
        if (!LoadSong(o_.song, target, boxes_, log_)) {
            return kNotASong;
        }
        std::unique_ptr<tq::PlayerMidiOut> midi;
        if (!o_.midiOut.isEmpty()) {
            midi = StartMidiOut(form.State(), switches);
            if (!midi) {
                return kBadArguments;
            }
            tones.SetMidiOutput(&midi->Form());
        }
        form.TheSequencer().SetPassLimit(o_.passes);
        form.PlayAllButton_Click();
        speaker.Silence();
        formForPump_ = nullptr;
        if (render_ && !WriteWav()) {
            return kBadArguments;
        }
        return gInterrupted.load() ? kStoppedBySignal : kPlayed;
    }

    // Prints the MIDI output ports, numbered as --midi-out takes them.
    int ListMidiPorts() {
        tq::OutputSwitches switches;
        tq::PlayerMidiOut midi(log_, boxes_, state_, switches);
        QString why;
        if (!midi.Load(&why)) {
            std::fprintf(stderr, "tonquill-play: MIDI ports can't be used: %s\n", qPrintable(why));
            return kBadArguments;
        }
        const QStringList names = midi.PortNames();
        for (int i = 0; i < names.size(); ++i) {
            std::printf("%d: %s\n", i, qPrintable(names[i]));
        }
        if (names.isEmpty()) {
            std::printf("No MIDI output ports.\n");
        }
        return kPlayed;
    }

private:
    std::unique_ptr<tq::PlayerMidiOut> StartMidiOut(tq::PlayerState& state,
                                                    tq::OutputSwitches& switches) {
        auto midi = std::make_unique<tq::PlayerMidiOut>(log_, boxes_, state, switches);
        QString why;
        if (!midi->Load(&why)) {
            std::fprintf(stderr, "tonquill-play: --midi-out: MIDI ports can't be used: %s\n",
                         qPrintable(why));
            return nullptr;
        }
        const QStringList names = midi->PortNames();
        const int port = tq::PlayerMidiOut::FindPort(names, o_.midiOut);
        if (port < 0) {
            std::fprintf(stderr,
                         "tonquill-play: --midi-out: no MIDI output port '%s' (%d ports; "
                         "--list-midi shows them)\n",
                         qPrintable(o_.midiOut), static_cast<int>(names.size()));
            return nullptr;
        }
        midi->Start(port, o_.midiChannel, o_.midiInstrument);
        return midi;
    }

    tq::Clock& Clock() { return render_ ? static_cast<tq::Clock&>(virtualClock_) : steadyClock_; }

    void SetUpLogs() {
        if (!o_.debugLog.isEmpty()) {
            log_.SetDebugLogPath(o_.debugLog);
            log_.SetLogEnabled(true);
        }
        if (!o_.toneCode.isEmpty()) {
            log_.SetToneCodePath(o_.toneCode);
            log_.SetUseWriteCode(true);
        }
        if (render_) {
            // Time stamps from the virtual clock keep the debug log the same on every run.
            log_.SetTimeOfDay([this] {
                return QTime::fromMSecsSinceStartOfDay(
                           static_cast<int>(virtualClock_.NowNs() / 1'000'000 % 86'400'000))
                    .toString(QStringLiteral("HH:mm:ss"));
            });
        }
    }

    bool OpenSpeaker() {
        if (render_) {
            QString why;
            offline_ = tq::OfflineSpeaker::Open(virtualClock_, &why);
            if (!offline_) {
                std::fprintf(stderr, "Can't render: %s\n", qPrintable(why));
            }
            return offline_ != nullptr;
        }
        tq::SpeakerOptions options = tq::SpeakerOptions::FromEnvironment();
        options.wanted = o_.speaker;
        options.makeEmulated = tq::EmulatedSpeakerMaker(sound_);
        choice_ = tq::OpenSpeaker(options);
        for (const QString& note : choice_.notes) {
            log_.LogText(note);
            std::fprintf(stderr, "%s\n", qPrintable(note));
        }
        return true;
    }

    bool WriteWav() {
        const std::vector<float>& samples = offline_->Finish();
        if (!tq::WriteWavFile(o_.wav.toStdString(), samples, tq::OfflineSpeaker::kSampleRate, 1)) {
            std::fprintf(stderr, "Can't write %s\n", qPrintable(o_.wav));
            return false;
        }
        return true;
    }

    const Options& o_;
    const bool render_;
    tq::DebugLog log_;
    tq::StreamMessageBoxes boxes_;
    tq::VirtualClock virtualClock_;
    tq::VirtualEventPump virtualPump_{virtualClock_};
    tq::SteadyClock steadyClock_;
    tq::QtEventPump qtPump_;
    tq::MainForm* formForPump_ = nullptr;
    InterruptiblePump pump_;
    tq::NonLockingSleep sleep_;
    tq::snd::SoundEngine sound_;
    std::unique_ptr<tq::OfflineSpeaker> offline_;
    tq::SpeakerChoice choice_;
    tq::PlayerState state_;
};

} // namespace

int main(int argc, char** argv) {
    tq::SpeakerSilencer::InstallHandlers();
    QCoreApplication app(argc, argv);
    Options o;
    if (!ParseArguments(app, o)) {
        return kBadArguments;
    }
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    HeadlessPlayer player(o);
    return o.listMidi ? player.ListMidiPorts() : player.Run();
}
