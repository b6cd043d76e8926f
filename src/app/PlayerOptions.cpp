#include "app/PlayerOptions.h"

#include "core/FileGate.h"
#include "core/MidiOctave.h"
#include "midifile/SmfReader.h"

#include <QCommandLineParser>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <tuple>

namespace tq {

namespace {

void AddOptions(QCommandLineParser& p) {
    p.setApplicationDescription(QStringLiteral(
        "Plays a Tonquill song file or a MIDI file without a window and exits, or plays what "
        "a MIDI keyboard holds.\n"
        "With --wav the song is rendered on a virtual clock into a WAV file instead of being "
        "played, so the file and the logs come out the same every time.\n"
        "Exit codes: 0 played, 1 stopped by a signal, 2 bad arguments, 3 not a readable song, "
        "4 the WAV file not written."));
    p.addHelpOption();
    p.addPositionalArgument(QStringLiteral("SONG"),
                            QStringLiteral("The song file (.tql), MIDI file (.mid) or ringtone text "
                                           "(.rtttl, .rtx, or any file whose first line is a "
                                           "tune) to play."));
    const QString n = QStringLiteral("N");
    p.addOptions({
        {QStringLiteral("tune"),
         QStringLiteral("Of ringtone text holding several tunes, the one to play: its name or "
                        "its number from 1 (default the first)."),
         QStringLiteral("NAME|N")},
        {QStringLiteral("passes"), QStringLiteral("Play a song's list N times (default 1)."), n,
         QStringLiteral("1")},
        {QStringLiteral("speaker"),
         QStringLiteral("auto, evdev, console, emulated or none (default auto)."),
         QStringLiteral("NAME"), QStringLiteral("auto")},
        {QStringLiteral("wav"), QStringLiteral("Render into this WAV file instead of playing."),
         QStringLiteral("OUT.wav")},
        {QStringLiteral("tone-code"), QStringLiteral("Write the tone-code log to this file."),
         QStringLiteral("FILE")},
        {QStringLiteral("debug-log"), QStringLiteral("Write the debug log to this file."),
         QStringLiteral("FILE")},
        {QStringLiteral("list-midi"), QStringLiteral("List the MIDI ports and exit.")},
        {QStringLiteral("midi-out"),
         QStringLiteral("Also send every tone to this MIDI output port: its number or a part of "
                        "its name, as --list-midi shows them."),
         QStringLiteral("PORT")},
        {QStringLiteral("midi-channel"), QStringLiteral("MIDI out channel, 1 to 16 (default 1)."),
         n, QStringLiteral("1")},
        {QStringLiteral("midi-instrument"),
         QStringLiteral("MIDI out instrument, 1 to 128 (default 1, Grand Piano)."), n,
         QStringLiteral("1")},
        {QStringLiteral("midi-octave"),
         QStringLiteral("Octave offset of MIDI notes out, in and from MIDI files, -2 to +2 "
                        "(default 0: C4 is note 48). +1 matches General MIDI: C4, middle C, is "
                        "note 60."),
         n, QStringLiteral("0")},
        {QStringLiteral("midi-in"),
         QStringLiteral("Play the notes held on this MIDI input port, as --list-midi shows them, "
                        "until Ctrl+C."),
         QStringLiteral("PORT")},
        {QStringLiteral("seconds"), QStringLiteral("Stop after N seconds."), n,
         QStringLiteral("0")},
        {QStringLiteral("channels"),
         QStringLiteral("MIDI channels to listen to, as 1,2,10 (default all)."),
         QStringLiteral("LIST")},
        {QStringLiteral("once"), QStringLiteral("Play each held note once.")},
        {QStringLiteral("alternate-time"),
         QStringLiteral("Pulse time of each held note in ms (with --no-auto-time)."),
         QStringLiteral("MS")},
        {QStringLiteral("no-auto-time"),
         QStringLiteral("Keep the pulse time instead of sharing 30 ms between the held notes.")},
        {QStringLiteral("loop"), QStringLiteral("Play a MIDI file over and over.")},
        {QStringLiteral("voice"),
         QStringLiteral("The formant voice sings Note 2 while the song plays (mixed into the "
                        "file with --wav).")},
        {QStringLiteral("vowel"), QStringLiteral("The voice's vowel: A, E, I, O or U (default A)."),
         QStringLiteral("VOWEL"), QStringLiteral("A")},
        {QStringLiteral("beat"),
         QStringLiteral("Play the beat sound on all beats or on odd beats only (all or odd)."),
         QStringLiteral("all|odd")},
        {QStringLiteral("portamento"),
         QStringLiteral("The speaker glides to each tone instead of beeping it.")},
        {QStringLiteral("glide"),
         QStringLiteral("The glide's part of the way covered per 30 ms tone, 0.005 to 1.8 "
                        "(default 1.2, which overshoots and settles)."),
         n, QStringLiteral("1.2")},
        {QStringLiteral("sound-length"),
         QStringLiteral("How long the glide sounds after each tone starts, 50 to 1000 ms, or "
                        "always (default 250)."),
         QStringLiteral("MS|always"), QStringLiteral("250")},
        {QStringLiteral("motor"),
         QStringLiteral("Play on the motor-speed mod instead of the speaker, through the serial "
                        "port TONQUILL_SERIAL_PORT names (or the first one).")},
        {QStringLiteral("motor-octave"),
         QStringLiteral("The motor octave, 0 to 5 (default 2): which octave of the music lands "
                        "in the motor's range."),
         n, QStringLiteral("2")},
        {QStringLiteral("start-at"),
         QStringLiteral("Synchronized play: wait until this time of day, then play the song."),
         QStringLiteral("HH:MM:SS")},
        {QStringLiteral("from-line"),
         QStringLiteral("With --start-at, start from line N instead of the first line."), n},
        {QStringLiteral("start-in-delay"),
         QStringLiteral("With --start-at, start later by the soundcard's buffer less 15 ms, in "
                        "step with a copy that plays through the soundcard.")},
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

QString ReadChannels(const QString& text, std::array<bool, 16>& channels) {
    channels.fill(false);
    for (const QString& item : text.split(QLatin1Char(','))) {
        bool isNumber = false;
        const int channel = item.trimmed().toInt(&isNumber);
        if (!isNumber || channel < 1 || channel > 16) {
            return QStringLiteral("--channels: '%1' is not a channel from 1 to 16").arg(item);
        }
        channels[static_cast<size_t>(channel - 1)] = true;
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
        {"seconds", 0, most, &o.seconds},
        {"motor-octave", 0, 5, &o.motorOctave},
    };
    for (const auto& [name, first, last, value] : numbers) {
        const QString problem = ReadNumber(p, QLatin1String(name), first, last, *value);
        if (!problem.isEmpty()) {
            return problem;
        }
    }
    if (p.isSet(QStringLiteral("alternate-time"))) {
        return ReadNumber(p, QStringLiteral("alternate-time"), 1, 2000, o.alternateTime);
    }
    return QString();
}

QString ReadVoice(const QCommandLineParser& p, PlayerOptions& o) {
    static const QStringList vowels = {"A", "E", "I", "O", "U"};
    o.voice = p.isSet(QStringLiteral("voice"));
    const QString vowel = p.value(QStringLiteral("vowel")).toUpper();
    if (!vowels.contains(vowel)) {
        return QStringLiteral("--vowel: '%1' is not one of A, E, I, O, U")
            .arg(p.value(QStringLiteral("vowel")));
    }
    o.vowel = vowel[0].toLatin1();
    if (p.isSet(QStringLiteral("vowel")) && !o.voice) {
        return QStringLiteral("--vowel is the voice's: give --voice too");
    }
    if (o.voice && (o.songIsMidiFile || !o.midiIn.isEmpty())) {
        return QStringLiteral("--voice sings the Note 2 of a song file, not MIDI");
    }
    return QString();
}

// A synchronized start: --start-at HH:MM:SS, with where the song starts and the delay.
QString ReadSynchro(const QCommandLineParser& p, PlayerOptions& o) {
    o.startInDelay = p.isSet(QStringLiteral("start-in-delay"));
    const bool fromLine = p.isSet(QStringLiteral("from-line"));
    if (!p.isSet(QStringLiteral("start-at"))) {
        return o.startInDelay || fromLine
                   ? QStringLiteral("--from-line and --start-in-delay go with --start-at")
                   : QString();
    }
    o.startAt = p.value(QStringLiteral("start-at"));
    const QStringList fields = o.startAt.split(QLatin1Char(':'));
    const int most[] = {23, 59, 59};
    bool isTime = fields.size() == 3;
    for (int i = 0; isTime && i < 3; ++i) {
        const int value = fields[i].toInt(&isTime);
        isTime = isTime && value >= 0 && value <= most[i];
    }
    if (!isTime) {
        return QStringLiteral("--start-at: '%1' is not a time of day HH:MM:SS").arg(o.startAt);
    }
    if (o.songIsMidiFile || !o.midiIn.isEmpty()) {
        return QStringLiteral("--start-at starts a song file, not MIDI");
    }
    if (!o.wav.isEmpty()) {
        return QStringLiteral("--start-at waits for the real clock and cannot go with --wav");
    }
    return fromLine ? ReadNumber(p, QStringLiteral("from-line"), 1, std::numeric_limits<int>::max(),
                                 o.fromLine)
                    : QString();
}

QString ReadSoundMods(const QCommandLineParser& p, PlayerOptions& o) {
    o.beat = p.value(QStringLiteral("beat"));
    if (p.isSet(QStringLiteral("beat")) && o.beat != QLatin1String("all") &&
        o.beat != QLatin1String("odd")) {
        return QStringLiteral("--beat: '%1' is not all or odd").arg(o.beat);
    }
    if (!o.beat.isEmpty() && (o.songIsMidiFile || !o.midiIn.isEmpty())) {
        return QStringLiteral("--beat follows the beats of a song file, not MIDI");
    }
    o.portamento = p.isSet(QStringLiteral("portamento"));
    if ((p.isSet(QStringLiteral("glide")) || p.isSet(QStringLiteral("sound-length"))) &&
        !o.portamento) {
        return QStringLiteral("--glide and --sound-length are the glide's: give --portamento too");
    }
    bool isNumber = false;
    o.glide = p.value(QStringLiteral("glide")).toDouble(&isNumber);
    if (!isNumber || o.glide < 0.005 || o.glide > 1.8) {
        return QStringLiteral("--glide: '%1' is not a number from 0.005 to 1.8")
            .arg(p.value(QStringLiteral("glide")));
    }
    if (p.value(QStringLiteral("sound-length")) == QLatin1String("always")) {
        o.soundLength = 0;
        return QString();
    }
    return ReadNumber(p, QStringLiteral("sound-length"), 50, 1000, o.soundLength);
}

// What is wrong with the arguments, or an empty text.
QString ReadOptions(const QCommandLineParser& p, PlayerOptions& o) {
    static const QStringList speakers = {"auto", "evdev", "console", "emulated", "none"};
    const QStringList args = p.positionalArguments();
    o.listMidi = p.isSet(QStringLiteral("list-midi"));
    o.speaker = p.value(QStringLiteral("speaker"));
    o.wav = p.value(QStringLiteral("wav"));
    o.midiOut = p.value(QStringLiteral("midi-out"));
    o.midiIn = p.value(QStringLiteral("midi-in"));
    o.once = p.isSet(QStringLiteral("once"));
    o.noAutoTime = p.isSet(QStringLiteral("no-auto-time"));
    o.loop = p.isSet(QStringLiteral("loop"));
    if (o.listMidi) {
        return QString();
    }
    const int songs = o.midiIn.isEmpty() ? 1 : 0;
    if (args.size() != songs) {
        return songs == 0       ? QStringLiteral("--midi-in plays no song file")
               : args.isEmpty() ? QStringLiteral("no song file given")
                                : QStringLiteral("give one song file, not %1").arg(args.size());
    }
    if (songs == 1) {
        o.song = args[0];
        o.songIsMidiFile = IsMidiFile(o.song);
    }
    o.tune = p.value(QStringLiteral("tune"));
    if (p.isSet(QStringLiteral("tune")) && (o.songIsMidiFile || !o.midiIn.isEmpty())) {
        return QStringLiteral("--tune picks a tune of ringtone text, not MIDI");
    }
    if (QString problem = ReadNumbers(p, o); !problem.isEmpty()) {
        return problem;
    }
    if (p.isSet(QStringLiteral("channels"))) {
        if (QString problem = ReadChannels(p.value(QStringLiteral("channels")), o.channels);
            !problem.isEmpty()) {
            return problem;
        }
    }
    if (!speakers.contains(o.speaker)) {
        return QStringLiteral("--speaker: '%1' is not one of %2")
            .arg(o.speaker, speakers.join(QStringLiteral(", ")));
    }
    if (!o.wav.isEmpty() && (!o.midiOut.isEmpty() || !o.midiIn.isEmpty())) {
        return QStringLiteral("--midi-out and --midi-in play in real time and cannot go with "
                              "--wav");
    }
    if (p.isSet(QStringLiteral("midi-octave")) && o.midiOut.isEmpty() && o.midiIn.isEmpty() &&
        !o.songIsMidiFile) {
        return QStringLiteral("--midi-octave moves MIDI notes: give --midi-out, --midi-in or a "
                              "MIDI file");
    }
    o.motor = p.isSet(QStringLiteral("motor"));
    if (p.isSet(QStringLiteral("motor-octave")) && !o.motor) {
        return QStringLiteral("--motor-octave is the motor's: give --motor too");
    }
    if (o.motor && !o.wav.isEmpty()) {
        return QStringLiteral("--motor plays in real time and cannot go with --wav");
    }
    if (QString problem = ReadVoice(p, o); !problem.isEmpty()) {
        return problem;
    }
    if (QString problem = ReadSoundMods(p, o); !problem.isEmpty()) {
        return problem;
    }
    if (QString problem = ReadSynchro(p, o); !problem.isEmpty()) {
        return problem;
    }
    if (!o.wav.isEmpty() && o.loop && o.seconds == 0) {
        return QStringLiteral("--loop with --wav needs --seconds, or the file never ends");
    }
    return QString();
}

} // namespace

bool IsMidiFile(const QString& path) {
    return LooksLikeMidiFile(ReadStart(path, 12));
}

bool ParsePlayerArguments(const QStringList& arguments, PlayerOptions& o) {
    QCommandLineParser p;
    AddOptions(p);
    if (!p.parse(arguments)) {
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

} // namespace tq
