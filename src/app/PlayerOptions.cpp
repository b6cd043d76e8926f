#include "app/PlayerOptions.h"

#include "app/CommandLine.h"
#include "core/FileGate.h"
#include "core/MidiOctave.h"
#include "interchange/InterchangeFiles.h"
#include "midifile/SmfReader.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <limits>
#include <tuple>

namespace tq {

namespace {

// The alternation time box of the window takes 15 to 2000 ms.
constexpr int kMinAlternateTime = 15;
constexpr int kMaxAlternateTime = 2000;

// --list-midi, the MIDI ports, and the held-note options of MIDI files and input.
void AddMidiOptions(QCommandLineParser& p) {
    const QString n = QStringLiteral("N");
    p.addOptions({
        {QStringLiteral("list-midi"),
         QStringLiteral("List the MIDI ports and exit (with no other option).")},
        {QStringLiteral("midi-out"),
         QStringLiteral("Also send every tone to this MIDI output port: its number or a part of "
                        "its name, as --list-midi shows them."),
         QStringLiteral("PORT")},
        {QStringLiteral("midi-channel"),
         QStringLiteral("MIDI out channel, 1 to 16 (default 1). Needs --midi-out."), n,
         QStringLiteral("1")},
        {QStringLiteral("midi-instrument"),
         QStringLiteral("MIDI out instrument, 1 to 128 (default 1, Grand Piano). Needs "
                        "--midi-out."),
         n, QStringLiteral("1")},
        {QStringLiteral("midi-octave"),
         QStringLiteral("Octave offset of MIDI notes out, in and from MIDI files, -2 to 2 "
                        "(default 0: C4 is note 48). 1 matches General MIDI: C4, middle C, is "
                        "note 60. Needs --midi-out, --midi-in or a MIDI file."),
         n, QStringLiteral("0")},
        {QStringLiteral("midi-in"),
         QStringLiteral("Play the notes held on this MIDI input port, as --list-midi shows them, "
                        "until Ctrl+C. No song file goes with it."),
         QStringLiteral("PORT")},
        {QStringLiteral("seconds"),
         QStringLiteral("Stop a MIDI file or MIDI input after N seconds, 1 or more (default: "
                        "at the file's end, or Ctrl+C)."),
         n},
        {QStringLiteral("channels"),
         QStringLiteral("MIDI channels to listen to, as 1,2,10 (default all)."),
         QStringLiteral("LIST")},
        {QStringLiteral("once"), QStringLiteral("Play each held note once.")},
        {QStringLiteral("alternate-time"),
         QStringLiteral("Pulse time of each held note, 15 to 2000 ms; implies --no-auto-time."),
         QStringLiteral("MS")},
        {QStringLiteral("no-auto-time"),
         QStringLiteral("Keep the pulse time at --alternate-time (default 30 ms) instead of "
                        "sharing 30 ms between the held notes.")},
        {QStringLiteral("loop"), QStringLiteral("Play a MIDI file over and over.")},
    });
}

// The mods, and the synchronized start.
void AddModOptions(QCommandLineParser& p) {
    const QString n = QStringLiteral("N");
    p.addOptions({
        {QStringLiteral("voice"),
         QStringLiteral("The formant voice sings Note 2 while the song plays (mixed into the "
                        "file with --wav).")},
        {QStringLiteral("vowel"), QStringLiteral("The voice's vowel (default a). Needs --voice."),
         QStringLiteral("a|e|i|o|u"), QStringLiteral("A")},
        {QStringLiteral("beat"),
         QStringLiteral("Play the beat sound on all beats or on odd beats only."),
         QStringLiteral("all|odd")},
        {QStringLiteral("portamento"),
         QStringLiteral("The speaker glides to each tone instead of beeping it.")},
        {QStringLiteral("glide"),
         QStringLiteral("The glide's part of the way covered per 30 ms tone, 0.005 to 1.8 "
                        "(default 1.2, which overshoots and settles). Needs --portamento."),
         n, QStringLiteral("1.2")},
        {QStringLiteral("sound-length"),
         QStringLiteral("How long the glide sounds after each tone starts, 50 to 1000 ms, or "
                        "always (default 250). Needs --portamento."),
         QStringLiteral("MS|always"), QStringLiteral("250")},
        {QStringLiteral("motor"),
         QStringLiteral("Play on the motor-speed mod instead of the speaker, through the serial "
                        "port TONQUILL_SERIAL_PORT names (or the first one).")},
        {QStringLiteral("motor-octave"),
         QStringLiteral("The motor octave, 0 to 5 (default 2): which octave of the music lands "
                        "in the motor's range. Needs --motor."),
         n, QStringLiteral("2")},
        {QStringLiteral("start-at"),
         QStringLiteral("Synchronized play: wait until this time of day, then play the song."),
         QStringLiteral("HH:MM:SS")},
        {QStringLiteral("from-line"),
         QStringLiteral("Start from line N, 1 or more, instead of the first line. Needs "
                        "--start-at."),
         n},
        {QStringLiteral("start-in-delay"),
         QStringLiteral("Start later by the soundcard's buffer less 15 ms, in step with a copy "
                        "that plays through the soundcard. Needs --start-at.")},
    });
}

void AddOptions(QCommandLineParser& p) {
    p.setApplicationDescription(QStringLiteral(
        "Plays a Tonquill song file, a MIDI file or a ringtone tune without a window and exits, "
        "or plays what a MIDI keyboard holds.\n"
        "With --wav the song is rendered on a virtual clock into a WAV file instead of being "
        "played, so the file and the logs come out the same every time.\n"
        "Word values are taken in any case. An option that would do nothing with the others "
        "given is refused.\n"
        "Exit codes: 0 played, 1 stopped by a signal, 2 bad arguments, 3 not a readable song, "
        "4 the WAV file not written."));
    p.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                 QStringLiteral("Print the options and exit.")});
    p.addPositionalArgument(
        QStringLiteral("SONG"),
        QStringLiteral("The song file (.tql), MIDI file (.mid) or ringtone text "
                       "(.rtttl, .rtx, or any file whose first line is a "
                       "tune) to play."));
    const QString n = QStringLiteral("N");
    p.addOptions({
        {QStringLiteral("tune"),
         QStringLiteral("Of ringtone text holding several tunes, the one to play: its name or "
                        "its number from 1 (default the first)."),
         QStringLiteral("NAME|N")},
        {QStringLiteral("passes"),
         QStringLiteral("Play a song's list N times, 1 or more (default 1)."), n,
         QStringLiteral("1")},
        {QStringLiteral("speaker"),
         QStringLiteral("The speaker to start with (default auto). Not with --wav."),
         QStringLiteral("auto|evdev|console|emulated|none"), QStringLiteral("auto")},
        {QStringLiteral("wav"), QStringLiteral("Render into this WAV file instead of playing."),
         QStringLiteral("OUT.wav")},
        {QStringLiteral("tone-code"), QStringLiteral("Write the tone-code log to this file."),
         QStringLiteral("FILE")},
        {QStringLiteral("debug-log"), QStringLiteral("Write the debug log to this file."),
         QStringLiteral("FILE")},
    });
    AddMidiOptions(p);
    AddModOptions(p);
}

bool IsSet(const QCommandLineParser& p, const char* name) {
    return p.isSet(QLatin1String(name));
}

// --list-midi prints the ports and nothing else: any other argument would be ignored.
QString ListMidiAlone(const QCommandLineParser& p) {
    for (const QString& name : p.optionNames()) {
        if (name != QLatin1String("list-midi")) {
            return cli::DoesNothingWith(name, QStringLiteral("--list-midi"));
        }
    }
    return p.positionalArguments().isEmpty() ? QString()
                                             : QStringLiteral("'%1' does nothing with --list-midi")
                                                   .arg(p.positionalArguments()[0]);
}

// The options that work in real time only, and those of a song file's play alone.
QString CheckConflicts(const QCommandLineParser& p, const PlayerOptions& o) {
    if (!o.wav.isEmpty()) {
        for (const char* live : {"midi-out", "midi-in", "motor", "start-at"}) {
            if (IsSet(p, live)) {
                return QStringLiteral("--%1 plays in real time and cannot go with --wav")
                    .arg(QLatin1String(live));
            }
        }
        if (IsSet(p, "speaker")) {
            return cli::DoesNothingWith(QStringLiteral("speaker"), QStringLiteral("--wav"));
        }
    }
    if (o.songIsMidiFile || !o.midiIn.isEmpty()) {
        const QString midi =
            o.songIsMidiFile ? QStringLiteral("a MIDI file") : QStringLiteral("--midi-in");
        for (const char* songOnly : {"passes", "tune", "voice", "vowel", "beat", "start-at"}) {
            if (IsSet(p, songOnly)) {
                return cli::DoesNothingWith(QLatin1String(songOnly), midi);
            }
        }
    }
    if (IsSet(p, "tune") && QFileInfo(o.song).isFile() && !IsRingtoneFile(o.song)) {
        return QStringLiteral("--tune picks a tune of ringtone text: '%1' is none").arg(o.song);
    }
    return QString();
}

// The options that do something only with another.
QString CheckNeeds(const QCommandLineParser& p, PlayerOptions& o) {
    const bool midi = o.songIsMidiFile || !o.midiIn.isEmpty();
    const QString held = QStringLiteral("a MIDI file or --midi-in");
    const std::tuple<const char*, bool, QString> needs[] = {
        {"midi-channel", !o.midiOut.isEmpty(), QStringLiteral("--midi-out")},
        {"midi-instrument", !o.midiOut.isEmpty(), QStringLiteral("--midi-out")},
        {"midi-octave", midi || !o.midiOut.isEmpty(),
         QStringLiteral("--midi-out, --midi-in or a MIDI file")},
        {"seconds", midi, held},
        {"channels", midi, held},
        {"once", midi, held},
        {"alternate-time", midi, held},
        {"no-auto-time", midi, held},
        {"loop", o.songIsMidiFile, QStringLiteral("a MIDI file")},
        {"vowel", o.voice, QStringLiteral("--voice")},
        {"glide", o.portamento, QStringLiteral("--portamento")},
        {"sound-length", o.portamento, QStringLiteral("--portamento")},
        {"motor-octave", o.motor, QStringLiteral("--motor")},
        {"from-line", IsSet(p, "start-at"), QStringLiteral("--start-at")},
        {"start-in-delay", IsSet(p, "start-at"), QStringLiteral("--start-at")},
    };
    for (const auto& [option, met, need] : needs) {
        if (IsSet(p, option) && !met) {
            return cli::Needs(QLatin1String(option), need);
        }
    }
    if (o.loop && !o.wav.isEmpty() && !IsSet(p, "seconds")) {
        return QStringLiteral("--loop with --wav needs --seconds, or the file never ends");
    }
    return QString();
}

QString ReadNumbers(const QCommandLineParser& p, PlayerOptions& o) {
    const int most = std::numeric_limits<int>::max();
    const std::tuple<const char*, int, int, int*> numbers[] = {
        {"passes", 1, most, &o.passes},
        {"midi-channel", 1, 16, &o.midiChannel},
        {"midi-instrument", 1, 128, &o.midiInstrument},
        {"midi-octave", kMinOctaveOffset, kMaxOctaveOffset, &o.midiOctave},
        {"seconds", 1, most, &o.seconds},
        {"alternate-time", kMinAlternateTime, kMaxAlternateTime, &o.alternateTime},
        {"motor-octave", 0, 5, &o.motorOctave},
        {"from-line", 1, most, &o.fromLine},
    };
    for (const auto& [name, first, last, value] : numbers) {
        const QString option = QLatin1String(name);
        if (!p.isSet(option) && p.value(option).isEmpty()) {
            continue; // no default: left as it is
        }
        if (QString problem = cli::ReadInteger(option, p.value(option), first, last, value);
            !problem.isEmpty()) {
            return problem;
        }
    }
    return cli::ReadDecimal(QStringLiteral("glide"), p.value(QStringLiteral("glide")), 0.005, 1.8,
                            &o.glide);
}

QString ReadChannels(const QString& text, std::array<bool, 16>& channels) {
    channels.fill(false);
    for (const QString& item : text.split(QLatin1Char(','))) {
        int channel = 0;
        if (!cli::ReadInteger(QStringLiteral("channels"), item, 1, 16, &channel).isEmpty()) {
            return QStringLiteral("--channels: '%1' is not a channel from 1 to 16").arg(item);
        }
        channels[static_cast<size_t>(channel - 1)] = true;
    }
    return QString();
}

// The word values, and the lengths that may be a word.
QString ReadWords(const QCommandLineParser& p, PlayerOptions& o) {
    const QStringList speakers = {"auto", "evdev", "console", "emulated", "none"};
    QString vowel;
    const std::tuple<const char*, QStringList, QString*> words[] = {
        {"speaker", speakers, &o.speaker},
        {"vowel", {"A", "E", "I", "O", "U"}, &vowel},
        {"beat", {"all", "odd"}, &o.beat},
    };
    for (const auto& [name, choices, word] : words) {
        const QString option = QLatin1String(name);
        if (!p.isSet(option) && p.value(option).isEmpty()) {
            continue;
        }
        if (QString problem = cli::ReadWord(option, p.value(option), choices, word);
            !problem.isEmpty()) {
            return problem;
        }
    }
    o.vowel = vowel[0].toLatin1();
    // 0: always sounding.
    return cli::ReadIntegerOrWord(QStringLiteral("sound-length"),
                                  p.value(QStringLiteral("sound-length")), 50, 1000,
                                  QStringLiteral("always"), 0, &o.soundLength);
}

// --start-at HH:MM:SS, a time of day.
QString ReadStartTime(const QString& text) {
    const QStringList fields = text.split(QLatin1Char(':'));
    const int most[] = {23, 59, 59};
    bool isTime = fields.size() == 3;
    for (int i = 0; isTime && i < 3; ++i) {
        const int value = fields[i].toInt(&isTime);
        isTime = isTime && value >= 0 && value <= most[i];
    }
    return isTime ? QString()
                  : QStringLiteral("--start-at: '%1' is not a time of day HH:MM:SS").arg(text);
}

// The song, MIDI file or MIDI input to play.
QString ReadSource(const QCommandLineParser& p, PlayerOptions& o) {
    const QStringList args = p.positionalArguments();
    o.midiIn = p.value(QStringLiteral("midi-in"));
    const int songs = IsSet(p, "midi-in") ? 0 : 1;
    if (args.size() != songs) {
        return songs == 0 ? QStringLiteral("'%1' does nothing with --midi-in, which plays no "
                                           "song file")
                                .arg(args[0])
               : args.isEmpty() ? QStringLiteral("no song file given")
                                : QStringLiteral("give one song file, not %1").arg(args.size());
    }
    if (songs == 1) {
        o.song = args[0];
        o.songIsMidiFile = IsMidiFile(o.song);
    }
    return QString();
}

// What is wrong with the arguments, or an empty text.
QString ReadOptions(const QCommandLineParser& p, PlayerOptions& o) {
    o.listMidi = IsSet(p, "list-midi");
    if (o.listMidi) {
        return ListMidiAlone(p);
    }
    // An empty name would leave the option as if it were not given.
    for (const char* name : {"wav", "tone-code", "debug-log", "midi-out", "midi-in", "tune"}) {
        if (IsSet(p, name) && p.value(QLatin1String(name)).isEmpty()) {
            return QStringLiteral("--%1: '' names nothing").arg(QLatin1String(name));
        }
    }
    if (QString problem = ReadSource(p, o); !problem.isEmpty()) {
        return problem;
    }
    o.wav = p.value(QStringLiteral("wav"));
    o.midiOut = p.value(QStringLiteral("midi-out"));
    o.tune = p.value(QStringLiteral("tune"));
    o.startAt = p.value(QStringLiteral("start-at"));
    o.toneCode = p.value(QStringLiteral("tone-code"));
    o.debugLog = p.value(QStringLiteral("debug-log"));
    o.once = IsSet(p, "once");
    // A pulse time of one's own is kept only without the automatic one.
    o.noAutoTime = IsSet(p, "no-auto-time") || IsSet(p, "alternate-time");
    o.loop = IsSet(p, "loop");
    o.voice = IsSet(p, "voice");
    o.portamento = IsSet(p, "portamento");
    o.motor = IsSet(p, "motor");
    o.startInDelay = IsSet(p, "start-in-delay");
    QString problem = CheckConflicts(p, o);
    for (const auto read : {CheckNeeds, ReadNumbers, ReadWords}) {
        if (problem.isEmpty()) {
            problem = read(p, o);
        }
    }
    if (problem.isEmpty() && IsSet(p, "channels")) {
        problem = ReadChannels(p.value(QStringLiteral("channels")), o.channels);
    }
    return problem.isEmpty() && !o.startAt.isEmpty() ? ReadStartTime(o.startAt) : problem;
}

} // namespace

bool IsMidiFile(const QString& path) {
    return LooksLikeMidiFile(ReadStart(path, 12));
}

bool ParsePlayerArguments(const QStringList& arguments, PlayerOptions& o) {
    const QString program = QStringLiteral("tonquill-play");
    QCommandLineParser p;
    AddOptions(p);
    if (!cli::Parse(p, arguments, program)) {
        return false;
    }
    const QString problem = ReadOptions(p, o);
    if (!problem.isEmpty()) {
        cli::Refuse(program, problem);
        return false;
    }
    return true;
}

} // namespace tq
