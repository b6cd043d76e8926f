// tonquill-play: plays a song file without a window, on the speaker or into a WAV file.
#include "app/PlayerMidi.h"
#include "app/PlayerOptions.h"
#include "core/FileGate.h"
#include "core/NonLockingSleep.h"
#include "diag/DebugLog.h"
#include "editor/MainForm.h"
#include "editor/MainFormSongTarget.h"
#include "fmodtone/EmulatedSpeaker.h"
#include "fmodtone/FmodBeep.h"
#include "fmodtone/OfflineSpeaker.h"
#include "fmodtone/engine/SoundEngine.h"
#include "interchange/HeadlessMods.h"
#include "interchange/InterchangeFiles.h"
#include "interchange/SongWavRenderer.h"
#include "mods/MotorModModule.h"
#include "mods/PortamentoForm.h"
#include "mods/SynchroForm.h"
#include "platform/QtEventPump.h"
#include "platform/QtNamedTimers.h"
#include "platform/QtSerialPort.h"
#include "platform/RealtimeUrgency.h"
#include "platform/ScriptedFileDialogs.h"
#include "platform/SpeakerFactory.h"
#include "platform/SpeakerSilencer.h"
#include "platform/SteadyClock.h"
#include "platform/StreamMessageBoxes.h"
#include "platform/audio/OfflineAudioOutput.h"
#include "platform/audio/RtAudioOutput.h"
#include "playback/ToneDispatcher.h"
#include "voice/VoiceInternalForm.h"
#include "voice/VoiceMainForm.h"

#include <QCoreApplication>
#include <QTime>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <limits>
#include <memory>
#include <tuple>

namespace {

std::atomic<bool> gInterrupted{false};

void OnInterrupt(int sig) {
    tq::SpeakerSilencer::SilenceNow();
    gInterrupted.store(true);
    // Should the stop not come through, a second Ctrl+C ends the process.
    std::signal(sig, SIG_DFL);
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
        if (gInterrupted.load() && onInterrupt_) {
            onInterrupt_();
        }
    }
    // What else Ctrl+C stops (a synchronized play's wait).
    void SetOnInterrupt(std::function<void()> stop) { onInterrupt_ = std::move(stop); }

private:
    tq::EventPump& inner_;
    tq::MainForm*& form_;
    std::function<void()> onInterrupt_;
};

// The voice with the controls window's start values, as ticking UseVoiceCheck makes it.
struct PlayerVoice {
    PlayerVoice(tq::snd::SoundEngine& engine, tq::MessageBoxes& boxes, tq::LogSink& log,
                tq::NamedTimers& timers)
        : voice({engine, boxes, log, timers, controls}) {}
    tq::VoiceInternalForm controls;
    tq::VoiceMainForm voice;
};

// The motor-speed mod wired to the form as the program wires it, on the serial port
// TONQUILL_SERIAL_PORT names (or the first one). Switched off, motor stopped, when it goes.
class PlayerMotor {
public:
    PlayerMotor(tq::MainForm& form, tq::ToneDispatcher& tones, tq::MessageBoxes& boxes,
                tq::LogSink& log)
        : form_(form), port_(tq::QtSerialPort::DefaultPortName()),
          motor_({log, boxes, form.Sleep(), port_, form.Switches(), form.Settings()}) {
        tones.SetMotorOutput(&motor_);
        form.SetFmodBeepStop([this] { motor_.SendNeutral(); });
        form.SetUseMotorClicked(
            [this](bool ticked) { return motor_.UseMotorCheckClicked(ticked); });
        motor_.SetSwitchedOff([this] { form_.SetUseMotorCheck(false); });
    }
    ~PlayerMotor() {
        if (form_.Switches().UseMotor) {
            form_.SetUseMotorCheck(false);
        }
    }
    // Ticks UseMotorCheck with the slider at octave; false when the port does not open.
    bool Start(int octave) {
        form_.SetMotorOctSlider(octave);
        form_.SetUseMotorCheck(true);
        return form_.Switches().UseMotor;
    }

private:
    tq::MainForm& form_;
    tq::QtSerialPort port_;
    tq::MotorModModule motor_;
};

// One headless play: on the virtual clock and the offline speaker when rendering, on the
// real clock, event loop and speaker otherwise.
class HeadlessPlayer {
public:
    explicit HeadlessPlayer(const tq::PlayerOptions& o)
        : o_(o), render_(!o.wav.isEmpty()), log_(QCoreApplication::applicationDirPath()),
          pump_(render_ ? renderer_.Pump() : qtPump_, formForPump_), sleep_(Clock(), pump_),
          sound_(tq::SystemAudioOutputFactory()) {}

    int Run() {
        SetUpLogs();
        if (!OpenSpeaker()) {
            return tq::kBadArguments;
        }
        tq::Speaker& speaker = render_ ? renderer_.Speaker() : *choice_.speaker;
        tq::OutputSwitches switches;
        tq::ToneDispatcher tones(log_, boxes_, sleep_, speaker, switches);
        tq::MainForm form({log_, boxes_, sleep_, tones, switches});
        form.State().TickFreq = Clock().PerformanceFrequency();
        formForPump_ = &form;
        std::unique_ptr<tq::PlayerMidiOut> midi;
        if (!o_.midiOut.isEmpty()) {
            midi = StartMidiOut(form.State(), switches);
            if (!midi) {
                return tq::kBadArguments;
            }
            tones.SetMidiOutput(&midi->Form());
        }
        std::unique_ptr<PlayerMotor> motor;
        if (o_.motor) {
            motor = std::make_unique<PlayerMotor>(form, tones, boxes_, log_);
            if (!motor->Start(o_.motorOctave)) {
                return tq::kBadArguments; // the box has named the port and why
            }
        }
        std::unique_ptr<tq::PortamentoForm> porta;
        if (o_.portamento) {
            tq::NamedTimers& timers =
                render_ ? static_cast<tq::NamedTimers&>(virtualPortaTimers_) : qtPortaTimers_;
            porta = tq::StartPortamento(form, tones, speaker, timers, o_.glide, o_.soundLength);
        }
        if (render_ && !StartWav()) {
            return tq::kNotWritten;
        }
        const int played = !o_.midiIn.isEmpty() ? PlayMidiInput(form)
                           : o_.songIsMidiFile  ? PlayMidiFile(form)
                                                : PlaySong(form);
        if (porta) {
            // The last glide sounds out its length, then the box is unticked.
            if (porta->optSoundStops) {
                WaitWhile([&porta] { return !porta->NeedToStop; });
            }
            form.SetUsePortaCheck(false);
        }
        speaker.Silence();
        formForPump_ = nullptr;
        if (played != tq::kPlayed) {
            return played;
        }
        const bool written = !render_ || WriteWav();
        StopVoice();
        if (!written) {
            return tq::kNotWritten;
        }
        return gInterrupted.load() ? tq::kStoppedBySignal : tq::kPlayed;
    }

    // Prints the MIDI ports, numbered as --midi-out and --midi-in take them.
    int ListMidiPorts() {
        tq::OutputSwitches switches;
        tq::PlayerMidiOut midi(log_, boxes_, state_, switches);
        QString why;
        if (!midi.Load(&why)) {
            std::fprintf(stderr, "tonquill-play: MIDI ports can't be used: %s\n", qPrintable(why));
            return tq::kBadArguments;
        }
        const std::pair<const char*, QStringList> lists[] = {
            {"MIDI output ports (--midi-out):", midi.PortNames()},
            {"MIDI input ports (--midi-in):", midi.InputPortNames()}};
        for (const auto& [heading, names] : lists) {
            std::printf("%s\n", heading);
            for (int i = 0; i < names.size(); ++i) {
                std::printf("%d: %s\n", i, qPrintable(names[i]));
            }
            if (names.isEmpty()) {
                std::printf("none\n");
            }
        }
        return tq::kPlayed;
    }

private:
    int PlaySong(tq::MainForm& form) {
        tq::MainFormSongTarget target(form);
        if (!tq::LoadSongFile(o_.song, target, boxes_, log_, o_.tune)) {
            return tq::kNotASong;
        }
        if (o_.fromLine > form.List().LineCount()) {
            std::fprintf(stderr,
                         "tonquill-play: --from-line: '%d' is past the song's last line, %d\n",
                         o_.fromLine, form.List().LineCount());
            return tq::kBadArguments;
        }
        tq::StartBeat(form, o_.beat);
        if (o_.voice) {
            StartVoice(form);
        }
        if (!o_.startAt.isEmpty()) {
            form.TheSequencer().SetPassLimit(o_.passes);
            PlaySynchronized(form);
        } else if (render_) {
            renderer_.Play(form, o_.passes);
        } else {
            form.TheSequencer().SetPassLimit(o_.passes);
            form.PlayAllButton_Click();
        }
        return tq::kPlayed;
    }

    // Waits in the synchronized-play window's logic for the time of day, then plays the song
    // from there; Ctrl+C while waiting stops the wait.
    void PlaySynchronized(tq::MainForm& form) {
        int32_t delayMs = 0;
        if (o_.startInDelay) {
            tq::FmodBeep beep(sound_, log_, boxes_, sleep_, form.Switches());
            delayMs = beep.SetUp() ? beep.GetFMODBufferLength() : 0;
            beep.CloseSystem();
        }
        tq::RealtimeUrgency urgency;
        tq::SynchroForm synchro({Clock(), sleep_, synchroTimers_, log_,
                                 [delayMs] { return delayMs; },
                                 [&form] { form.PlayAllButton_Click(); },
                                 [&form] { form.PlayFromLineButton_Click(); }, &urgency});
        form.SetSynchroHooks({nullptr, [&synchro] { synchro.ReenableWaitButton(); },
                              [&synchro] { synchro.AfterPlayButtons(); }});
        synchro.WindowShown(o_.startInDelay);
        const QStringList time = o_.startAt.split(QLatin1Char(':'));
        synchro.SetTxtHour(time[0]);
        synchro.SetTxtMinute(time[1]);
        synchro.SetTxtSecond(time[2]);
        synchro.SetOptStart(o_.fromLine == 0);
        if (o_.fromLine > 0) {
            form.List().SelectLine(o_.fromLine);
        }
        synchro.SetChkStartInDelay(o_.startInDelay);
        pump_.SetOnInterrupt([&synchro] {
            if (synchro.CurrentlyWaiting && synchro.btnWaitEnabled) {
                synchro.btnWait_Click();
            }
        });
        std::fprintf(stderr, "Waiting for %s\n", qPrintable(o_.startAt));
        synchro.btnWait_Click();
        pump_.SetOnInterrupt(nullptr);
        form.SetSynchroHooks({});
    }

    // Ticks UseVoiceCheck. Rendering, the voice has an offline output of its own, mixed into
    // the speaker's file and rendered up to the virtual present before each change.
    void StartVoice(tq::MainForm& form) {
        if (render_) {
            voiceEngine_ = std::make_unique<tq::snd::SoundEngine>(tq::OfflineAudioOutput::Factory(
                &voiceOut_, tq::OfflineSpeaker::kSampleRate, 1, 16));
        } else if (std::string why; !sound_.ProbeOutput(&why)) {
            std::fprintf(stderr,
                         "tonquill-play: --voice: no audio output (%s); playing without it\n",
                         why.c_str());
            return;
        }
        voice_ = std::make_unique<PlayerVoice>(
            render_ ? *voiceEngine_ : sound_, boxes_, log_,
            render_ ? static_cast<tq::NamedTimers&>(virtualVoiceTimers_) : qtVoiceTimers_);
        tq::VoiceMainForm& v = voice_->voice;
        form.SetVoiceHooks({[&v](bool ticked) { v.UseVoiceCheckClicked(ticked); },
                            [&v](const QString& note2) { v.SetVoiceForLine(note2); },
                            [&v] {
                                if (v.IsLoaded()) {
                                    v.ChangeVoiceVol(0);
                                }
                            }});
        form.SetUseVoiceCheck(true);
        voice_->controls.SpeechButton_Click(o_.vowel);
        if (render_) {
            renderer_.Speaker().MixIn(voiceOut_);
            v.SetBeforeChange([this] { renderer_.Speaker().CatchUp(); });
        }
    }

    void StopVoice() {
        if (!voice_) {
            return;
        }
        if (render_) {
            renderer_.Speaker().MixIn(nullptr);
        }
        voice_->voice.SetBeforeChange(nullptr);
        voice_->voice.VoiceDoShutDownStuff();
    }

    // The cycling player's options, as the window's boxes set them.
    void SetHeldNoteOptions(tq::HeldNoteWindow& window, tq::MainForm& form) {
        for (int c = 0; c < tq::HeldNoteWindow::kChannels; ++c) {
            if (!o_.channels[static_cast<size_t>(c)]) {
                window.ListenChannelCheck_Click(c, false);
            }
        }
        window.OnlyOnceCheck_Click(o_.once);
        window.spnOctaveOffset_Change(o_.midiOctave);
        if (o_.noAutoTime) {
            window.SetAutoTimeCheck(false);
            // Opening a file stops it at its start, a step with nothing held that has set the
            // automatic time already: the alternation time in force comes back.
            form.ReturnAlternateTime();
        }
        if (o_.alternateTime > 0) {
            form.SetAlternateTimeText(QString::number(o_.alternateTime));
        }
    }

    int PlayMidiFile(tq::MainForm& form) {
        tq::PlayerHeldNotes held(form, Timers(), Clock(), noDialogs_);
        QString why;
        if (!held.LoadMidiFile(&why)) {
            std::fprintf(stderr, "tonquill-play: MIDI files can't be read: %s\n", qPrintable(why));
            return tq::kBadArguments;
        }
        held.StartFile();
        tq::MIDIFileForm& file = held.File();
        if (!file.OpenFile(o_.song)) {
            return tq::kNotASong;
        }
        SetHeldNoteOptions(file, form);
        file.chkLoop_Click(o_.loop);
        file.cmdPlay_Click();
        WaitWhile([&file] { return file.IsPlaying(); });
        file.cmdStop_Click();
        return tq::kPlayed;
    }

    int PlayMidiInput(tq::MainForm& form) {
        tq::PlayerHeldNotes held(form, Timers(), Clock(), noDialogs_);
        QString why;
        if (!held.LoadMidiIo(&why)) {
            std::fprintf(stderr, "tonquill-play: --midi-in: MIDI ports can't be used: %s\n",
                         qPrintable(why));
            return tq::kBadArguments;
        }
        const QStringList names = held.InputPortNames();
        const int port = tq::PlayerMidiOut::FindPort(names, o_.midiIn);
        if (port < 0) {
            std::fprintf(stderr, "tonquill-play: --midi-in: no MIDI input port '%s' (%s)\n",
                         qPrintable(o_.midiIn), qPrintable(tq::PortCount(names)));
            return tq::kBadArguments;
        }
        held.StartInput(names[port]);
        SetHeldNoteOptions(held.In(), form);
        std::fprintf(stderr, "Listening to %s; Ctrl+C ends.\n", qPrintable(names[port]));
        WaitWhile([] { return true; });
        return tq::kPlayed;
    }

    // Lets the event loop (and the timers) run while playing() holds, until --seconds
    // have passed or Ctrl+C.
    void WaitWhile(const std::function<bool()>& playing) {
        const int64_t freq = Clock().PerformanceFrequency();
        const int64_t end = Clock().PerformanceCounter() + int64_t{o_.seconds} * freq;
        // A render that has reached its longest takes nothing more.
        while (!gInterrupted.load() && playing() && !(render_ && renderer_.Cut()) &&
               (o_.seconds == 0 || Clock().PerformanceCounter() < end)) {
            sleep_.MsgWaitObj(10);
        }
    }

    tq::NamedTimers& Timers() {
        return render_ ? static_cast<tq::NamedTimers&>(virtualTimers_) : qtTimers_;
    }

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
            std::fprintf(stderr, "tonquill-play: --midi-out: no MIDI output port '%s' (%s)\n",
                         qPrintable(o_.midiOut), qPrintable(tq::PortCount(names)));
            return nullptr;
        }
        midi->Start(names[port], o_.midiChannel, o_.midiInstrument, o_.midiOctave);
        return midi;
    }

    tq::Clock& Clock() {
        return render_ ? static_cast<tq::Clock&>(renderer_.Clock()) : steadyClock_;
    }

    void SetUpLogs() {
        for (const QString& path : {o_.debugLog, o_.toneCode}) {
            if (!path.isEmpty() && tq::IsLink(path)) {
                std::fprintf(stderr,
                             "tonquill-play: %s is a link; logs are not written through "
                             "links\n",
                             qPrintable(path));
            }
        }
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
                           static_cast<int>(renderer_.Clock().NowNs() / 1'000'000 % 86'400'000))
                    .toString(QStringLiteral("HH:mm:ss"));
            });
        }
    }

    bool OpenSpeaker() {
        if (render_) {
            QString why;
            if (!renderer_.OpenSpeaker(&why)) {
                std::fprintf(stderr, "Can't render: %s\n", qPrintable(why));
                return false;
            }
            return true;
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

    bool CantWriteWav(const QString& why) {
        std::fprintf(stderr, "Can't write %s: %s\n", qPrintable(o_.wav), qPrintable(why));
        return false;
    }

    // The file is written as the song plays; it is put in place by WriteWav.
    bool StartWav() {
        QString why;
        return renderer_.StartFile(o_.wav, &why) || CantWriteWav(why);
    }

    bool WriteWav() {
        QString why;
        if (!renderer_.FinishFile(&why)) {
            return CantWriteWav(why);
        }
        if (renderer_.Cut()) {
            std::fprintf(stderr, "%s\n", qPrintable(tq::SongWavRenderer::CutNote()));
        }
        return true;
    }

    const tq::PlayerOptions& o_;
    const bool render_;
    tq::DebugLog log_;
    tq::StreamMessageBoxes boxes_;
    tq::SongWavRenderer renderer_;
    tq::SteadyClock steadyClock_;
    tq::QtEventPump qtPump_;
    tq::MainForm* formForPump_ = nullptr;
    InterruptiblePump pump_;
    tq::NonLockingSleep sleep_;
    tq::snd::SoundEngine sound_;
    tq::SpeakerChoice choice_;
    tq::PlayerState state_;
    tq::QtNamedTimers qtTimers_;
    tq::VirtualNamedTimers virtualTimers_{renderer_.Clock(), renderer_.EventQueue()};
    tq::ScriptedFileDialogs noDialogs_;
    tq::OfflineAudioOutput* voiceOut_ = nullptr;
    std::unique_ptr<tq::snd::SoundEngine> voiceEngine_;
    tq::QtNamedTimers qtVoiceTimers_;
    tq::VirtualNamedTimers virtualVoiceTimers_{renderer_.Clock(), renderer_.EventQueue()};
    std::unique_ptr<PlayerVoice> voice_;
    tq::QtNamedTimers qtPortaTimers_;
    tq::VirtualNamedTimers virtualPortaTimers_{renderer_.Clock(), renderer_.EventQueue()};
    tq::QtNamedTimers synchroTimers_;
};

} // namespace

int main(int argc, char** argv) {
    tq::SpeakerSilencer::InstallHandlers();
    // Taken as bytes before Qt sees them: its own decoding would change a name that is not
    // UTF-8.
    const QStringList args =
        QStringList{QString::fromLocal8Bit(argv[0])} + tq::ArgumentPaths(argc, argv);
    QCoreApplication app(argc, argv);
    tq::PlayerOptions o;
    if (!tq::ParsePlayerArguments(args, o)) {
        return tq::kBadArguments;
    }
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    HeadlessPlayer player(o);
    return o.listMidi ? player.ListMidiPorts() : player.Run();
}
