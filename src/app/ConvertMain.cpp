// tonquill-convert IN OUT: a song to a MIDI or WAV file, or a MIDI file to a song, chosen by
// the files' extensions. Nothing is left at OUT unless it was written whole.
#include "core/FileGate.h"
#include "core/FileWriter.h"
#include "core/LogSink.h"
#include "interchange/HeadlessSong.h"
#include "interchange/InterchangeFiles.h"
#include "interchange/MidiExport.h"
#include "interchange/MidiImport.h"
#include "interchange/RtttlExport.h"
#include "interchange/RtttlImport.h"
#include "interchange/SongWavRenderer.h"
#include "interchange/ToneExport.h"
#include "platform/StreamMessageBoxes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

enum ExitCode { kDone = 0, kBadArguments = 2, kUnreadableInput = 3, kNotWritten = 4 };

const char kUsage[] =
    "usage: tonquill-convert [--tune NAME|N] IN OUT\n"
    "       tonquill-convert [--beat all|odd] [--portamento [--glide N]\n"
    "                        [--sound-length MS|always]] IN OUT.wav|OUT.sh|OUT.ino\n"
    "       tonquill-convert --list TUNES.rtttl\n"
    "\n"
    "Converts by the files' extensions. IN is one of:\n"
    "  SONG.tql     a song\n"
    "  FILE.mid     a standard MIDI file (also .midi, and RIFF MIDI .rmi): lengths rounded to\n"
    "               the program's lengths, at most two notes at a time\n"
    "  TUNES.rtttl  ringtone text (also .rtx and .txt), one tune per line: Note 1 only, each\n"
    "               note for its whole length; --tune picks one by name or number (default:\n"
    "               the first), --list prints their names\n"
    "and OUT, of another kind, one of:\n"
    "  OUT.tql      a song\n"
    "  OUT.mid      a standard MIDI file: a tempo track, then one track for Note 1 and one\n"
    "               for Note 2, each note sounding for the note/silence ratio\n"
    "  OUT.wav      one pass of the song, rendered as tonquill-play --wav renders it\n"
    "  OUT.sh       a shell script that plays what the speaker plays with the beep\n"
    "               command: one beep per line, every tone within 1 ms of its time\n"
    "  OUT.ino      a microcontroller sketch playing the same tones with tone() on pin 8\n"
    "  OUT.rtttl    one ringtone tune (also .rtx) named after the file: Note 1 only, its\n"
    "               commonest length and scale as the defaults; what it can't hold (Note 2,\n"
    "               triplets, the note/silence ratio) is counted on stderr\n"
    "A summary of what a MIDI file or tune became goes to stderr.\n"
    "\n"
    "Playing for .wav, .sh and .ino, as tonquill-play's options of the same names:\n"
    "  --beat all|odd          the beat sound on every beat or on the odd ones\n"
    "  --portamento            the speaker glides to each tone\n"
    "  --glide N               its part of the way per 30 ms tone, 0.005 to 1.8 (default 1.2)\n"
    "  --sound-length MS|always  how long it sounds from each note, 50 to 1000 ms (default\n"
    "                          250), or always\n"
    "\n"
    "Exit codes: 0 done, 2 bad arguments, 3 unreadable input, 4 output not written.\n";

int NotWritten(const QString& path, const QString& why) {
    std::fprintf(stderr, "tonquill-convert: %s was not written: %s\n", qPrintable(path),
                 qPrintable(why));
    return kNotWritten;
}

// What a file holds, by its extension.
enum class Kind { Song, Midi, Ringtone, Wav, BeepScript, Sketch, Unknown };

Kind KindOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    static const QHash<QString, Kind> kinds = {
        {"tql", Kind::Song},       {"mid", Kind::Midi},     {"midi", Kind::Midi},
        // .rmi: a standard MIDI file wrapped in RIFF.
        {"rmi", Kind::Midi},       {"rtttl", Kind::Ringtone}, {"rtx", Kind::Ringtone},
        {"txt", Kind::Ringtone},   {"wav", Kind::Wav},      {"sh", Kind::BeepScript},
        {"ino", Kind::Sketch},
    };
    return kinds.value(suffix, Kind::Unknown);
}

bool IsInput(Kind kind) {
    return kind == Kind::Song || kind == Kind::Midi || kind == Kind::Ringtone;
}

// A converted song, held as the window holds it.
struct Converter {
    tq::RenderOptions options;
    QString name; // the output's, for the comments of a script or sketch
    tq::StreamMessageBoxes boxes;
    tq::NullLog log;
    tq::HeadlessSong song{boxes, log};
};

int ReadMidi(const QString& in, Converter& c) {
    const tq::InputFile file = tq::ReadWhole(in, tq::kMaxMidiFileBytes);
    if (!file.ok) {
        std::fprintf(stderr, "tonquill-convert: %s can't be read: %s\n", qPrintable(in),
                     qPrintable(file.why));
        return kUnreadableInput;
    }
    const tq::MidiImport midi = tq::ImportMidi(file.bytes);
    if (!midi.read) {
        std::fprintf(stderr, "tonquill-convert: %s is not a MIDI file that can be read: %s\n",
                     qPrintable(in), qPrintable(midi.why));
        return kUnreadableInput;
    }
    std::fprintf(stderr, "%s\n", qPrintable(midi.summary));
    tq::ApplyImport(midi, c.song.Target());
    return kDone;
}

tq::RtttlText ReadTunes(const QString& in, int* code) {
    tq::RtttlText text = tq::ReadRingtoneFile(in);
    if (!text.ok) {
        std::fprintf(stderr, "tonquill-convert: %s is not ringtone text that can be read: %s\n",
                     qPrintable(in), qPrintable(text.why));
        *code = kUnreadableInput;
    }
    return text;
}

int ListTunes(const QString& in) {
    int code = kDone;
    const tq::RtttlText text = ReadTunes(in, &code);
    for (const tq::RtttlTune& tune : text.tunes) {
        std::printf("%s\n", qPrintable(tune.name));
    }
    return code;
}

int ReadTune(const QString& in, const QString& pick, Converter& c) {
    int code = kDone;
    const tq::RtttlText text = ReadTunes(in, &code);
    if (!text.ok) {
        return code;
    }
    const tq::RtttlTune* tune = tq::FindTune(text, pick);
    if (tune == nullptr) {
        std::fprintf(stderr, "tonquill-convert: %s has no tune %s (%zu tunes; --list names them)\n",
                     qPrintable(in), qPrintable(pick), text.tunes.size());
        return kBadArguments;
    }
    std::fprintf(stderr, "%s\n", qPrintable(tune->Summary()));
    tq::ApplyTune(*tune, c.song.Target());
    return kDone;
}

int Read(const QString& in, Kind kind, const QString& tune, Converter& c) {
    switch (kind) {
    case Kind::Midi:
        return ReadMidi(in, c);
    case Kind::Ringtone:
        return ReadTune(in, tune, c);
    default:
        return c.song.LoadFile(in) ? kDone : kUnreadableInput;
    }
}

int Write(Converter& c, Kind kind, const QString& out) {
    QString why;
    switch (kind) {
    case Kind::Song:
        return tq::WriteFileReplacing(out, c.song.FileBytes(), &why) ? kDone : NotWritten(out, why);
    case Kind::Midi: {
        const tq::MidiExport midi = tq::ExportMidi(c.song.Target());
        if (midi.unreadableNotes > 0) {
            std::fprintf(stderr, "tonquill-convert: %d notes that name no note were left out\n",
                         midi.unreadableNotes);
        }
        return tq::WriteFileReplacing(out, midi.bytes, &why) ? kDone : NotWritten(out, why);
    }
    case Kind::Wav:
    case Kind::BeepScript:
    case Kind::Sketch: {
        const auto outcome =
            kind == Kind::Wav
                ? tq::SongWavRenderer::RenderSong(c.song.FileBytes(), out, c.boxes, c.log, {}, &why,
                                                  c.options)
                : tq::ExportTones(kind == Kind::Sketch ? tq::ToneFormat::Sketch
                                                       : tq::ToneFormat::BeepScript,
                                  c.song.FileBytes(), c.options, c.name, out, c.boxes, c.log, &why);
        if (outcome == tq::SongWavRenderer::Outcome::Failed) {
            return NotWritten(out, why);
        }
        if (outcome == tq::SongWavRenderer::Outcome::Cut) {
            std::fprintf(stderr, "tonquill-convert: %s\n",
                         qPrintable(tq::SongWavRenderer::CutNote(
                             kind == Kind::Wav ? QStringLiteral("The WAV file")
                                               : QStringLiteral("The file"))));
        }
        return kDone;
    }
    case Kind::Ringtone: {
        if (c.song.Target().LineCount() == 0) {
            return NotWritten(out, QStringLiteral("the song has no lines to make a tune of"));
        }
        const tq::RtttlExport tune =
            tq::ExportRtttl(c.song.Target(), QFileInfo(out).completeBaseName());
        if (!tune.Lossless()) {
            std::fprintf(stderr, "%s\n", qPrintable(tune.Summary()));
        }
        return tq::WriteFileReplacing(out, tune.text, &why) ? kDone : NotWritten(out, why);
    }
    default:
        std::fprintf(stderr, "tonquill-convert: %s: this kind of file can't be written yet\n",
                     qPrintable(out));
        return kBadArguments;
    }
}

// Takes the options other than --list out of args; what is wrong with them otherwise.
QString TakeOptions(QStringList& args, QString& tune, tq::RenderOptions& options) {
    QHash<QString, QString> values;
    bool portamento = false;
    for (qsizetype i = 0; i < args.size();) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--portamento")) {
            portamento = true;
            args.remove(i);
        } else if (arg == QLatin1String("--tune") || arg == QLatin1String("--beat") ||
                   arg == QLatin1String("--glide") || arg == QLatin1String("--sound-length")) {
            if (i + 1 >= args.size()) {
                return arg + QStringLiteral(" needs a value");
            }
            values.insert(arg.mid(2), args[i + 1]);
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    tune = values.value(QStringLiteral("tune"));
    const QString beat = values.value(QStringLiteral("beat")).toLower();
    if (values.contains(QStringLiteral("beat")) && beat != QLatin1String("all") &&
        beat != QLatin1String("odd")) {
        return QStringLiteral("--beat: '%1' is not all or odd").arg(values["beat"]);
    }
    options.beat = beat;
    options.portamento = portamento;
    const bool glide = values.contains(QStringLiteral("glide"));
    const bool length = values.contains(QStringLiteral("sound-length"));
    if ((glide || length) && !portamento) {
        return QStringLiteral("--glide and --sound-length are the glide's: give --portamento too");
    }
    if (glide) {
        bool isNumber = false;
        options.glide = values["glide"].toDouble(&isNumber);
        if (!isNumber || !std::isfinite(options.glide) || options.glide < 0.005 ||
            options.glide > 1.8) {
            return QStringLiteral("--glide: '%1' is not a number from 0.005 to 1.8")
                .arg(values["glide"]);
        }
    }
    if (length) {
        const QString text = values["sound-length"];
        bool isNumber = false;
        const int ms = text.toInt(&isNumber);
        if (text.compare(QLatin1String("always"), Qt::CaseInsensitive) == 0) {
            options.soundLength = 0;
        } else if (isNumber && ms >= 50 && ms <= 1000) {
            options.soundLength = ms;
        } else {
            return QStringLiteral("--sound-length: '%1' is not 50 to 1000 ms or always").arg(text);
        }
    }
    return QString();
}

} // namespace

int main(int argc, char** argv) {
    // Taken as bytes: Qt's own decoding would change a name that is not UTF-8.
    const QStringList args = tq::ArgumentPaths(argc, argv);
    QCoreApplication app(argc, argv);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        std::fputs(kUsage, stdout);
        return kDone;
    }
    QStringList files = args;
    QString tune;
    tq::RenderOptions options;
    if (const QString problem = TakeOptions(files, tune, options); !problem.isEmpty()) {
        std::fprintf(stderr, "tonquill-convert: %s\nTry 'tonquill-convert --help'.\n",
                     qPrintable(problem));
        return kBadArguments;
    }
    const bool list = files.removeAll(QLatin1String("--list")) > 0;
    if (list && files.size() == 1 && !files[0].startsWith(QLatin1Char('-'))) {
        return ListTunes(files[0]);
    }
    if (list || files.size() != 2 || files[0].startsWith(QLatin1Char('-')) ||
        files[1].startsWith(QLatin1Char('-'))) {
        std::fputs(kUsage, stderr);
        return kBadArguments;
    }
    const Kind from = KindOf(files[0]);
    const Kind to = KindOf(files[1]);
    if (!tune.isEmpty() && from != Kind::Ringtone) {
        std::fprintf(stderr, "tonquill-convert: --tune picks a tune of ringtone text (.rtttl, "
                             ".rtx or .txt), not of %s\n",
                     qPrintable(files[0]));
        return kBadArguments;
    }
    const bool played = to == Kind::Wav || to == Kind::BeepScript || to == Kind::Sketch;
    if (!played && (!options.beat.isEmpty() || options.portamento)) {
        std::fprintf(stderr,
                     "tonquill-convert: --beat and --portamento play the song: they go with "
                     ".wav, .sh or .ino, not %s\nTry 'tonquill-convert --help'.\n",
                     qPrintable(files[1]));
        return kBadArguments;
    }
    if (QFileInfo(files[1]).suffix().isEmpty()) {
        std::fprintf(stderr,
                     "tonquill-convert: %s has no extension to say what to write: .tql, .mid, "
                     ".wav, .rtttl, .rtx, .sh or .ino\n",
                     qPrintable(files[1]));
        return kBadArguments;
    }
    if (!IsInput(from) || to == Kind::Unknown || (to == from && from != Kind::Unknown)) {
        std::fprintf(stderr,
                     "tonquill-convert: can't convert .%s to .%s: a song (.tql), MIDI file "
                     "(.mid, .midi, .rmi) or ringtone text (.rtttl, .rtx, .txt) goes to another "
                     "of those, or to .wav, .sh or .ino\n",
                     qPrintable(QFileInfo(files[0]).suffix()),
                     qPrintable(QFileInfo(files[1]).suffix()));
        return kBadArguments;
    }
    Converter converter;
    converter.options = options;
    // A script or sketch names itself after its file, as a tune does.
    converter.name = QFileInfo(files[1]).completeBaseName();
    if (const int code = Read(files[0], from, tune, converter); code != kDone) {
        return code;
    }
    return Write(converter, to, files[1]);
}
