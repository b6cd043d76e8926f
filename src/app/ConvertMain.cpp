// tonquill-convert IN OUT: a song to a MIDI or WAV file, or a MIDI file to a song, chosen by
// the files' extensions. Nothing is left at OUT unless it was written whole.
#include "app/CommandLine.h"
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

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

enum ExitCode { kDone = 0, kBadArguments = 2, kUnreadableInput = 3, kNotWritten = 4 };

// The help's text above the options; "Usage: tonquill-convert [options] IN OUT" leads it.
const char kDescription[] =
    "       tonquill-convert --list TUNES.rtttl\n"
    "\n"
    "Converts by the files' extensions. IN is one of:\n"
    "  SONG.tql     a song\n"
    "  FILE.mid     a standard MIDI file (also .midi, and RIFF MIDI .rmi): lengths rounded to\n"
    "               the program's lengths, at most two notes at a time\n"
    "  TUNES.rtttl  ringtone text (also .rtx and .txt), one tune per line: Note 1 only, each\n"
    "               note for its whole length\n"
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
    "--beat and --portamento play the song for .wav, .sh and .ino, as tonquill-play's options\n"
    "of the same names do. Word values are taken in any case. An option that would do\n"
    "nothing with the others given is refused.\n"
    "\n"
    "Exit codes: 0 done, 2 bad arguments, 3 unreadable input, 4 output not written.";

const QString kProgram = QStringLiteral("tonquill-convert");

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
        {"tql", Kind::Song},
        {"mid", Kind::Midi},
        {"midi", Kind::Midi},
        // .rmi: a standard MIDI file wrapped in RIFF.
        {"rmi", Kind::Midi},
        {"rtttl", Kind::Ringtone},
        {"rtx", Kind::Ringtone},
        {"txt", Kind::Ringtone},
        {"wav", Kind::Wav},
        {"sh", Kind::BeepScript},
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
    } else if (!text.skipped.isEmpty()) {
        std::fprintf(stderr, "tonquill-convert: %s: %s\n", qPrintable(in),
                     qPrintable(text.SkippedNote()));
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
        const QString count = text.tunes.size() == 1
                                  ? QStringLiteral("it has 1 tune")
                                  : QStringLiteral("it has %1 tunes").arg(text.tunes.size());
        return tq::cli::Refuse(kProgram, QStringLiteral("--tune: '%1' names no tune of %2 (%3; "
                                                        "--list names them)")
                                             .arg(pick, in, count));
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
    case Kind::Unknown:
        break; // refused with the arguments
    }
    return kBadArguments;
}

void AddOptions(QCommandLineParser& p) {
    p.setApplicationDescription(QLatin1String(kDescription));
    p.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                 QStringLiteral("Print the options and exit.")});
    p.addOptions({
        {QStringLiteral("tune"),
         QStringLiteral("Of ringtone text holding several tunes, the one to convert: its name or "
                        "its number from 1 (default the first). Needs ringtone text as IN."),
         QStringLiteral("NAME|N")},
        {QStringLiteral("list"),
         QStringLiteral("Print the names of the tunes of ringtone text IN, one a line, instead "
                        "of converting.")},
        {QStringLiteral("beat"),
         QStringLiteral("Play the beat sound on all beats or on odd beats only. Needs OUT .wav, "
                        ".sh or .ino."),
         QStringLiteral("all|odd")},
        {QStringLiteral("portamento"),
         QStringLiteral("The speaker glides to each tone. Needs OUT .wav, .sh or .ino.")},
        {QStringLiteral("glide"),
         QStringLiteral("The glide's part of the way covered per 30 ms tone, 0.005 to 1.8 "
                        "(default 1.2). Needs --portamento."),
         QStringLiteral("N"), QStringLiteral("1.2")},
        {QStringLiteral("sound-length"),
         QStringLiteral("How long the glide sounds after each tone starts, 50 to 1000 ms, or "
                        "always (default 250). Needs --portamento."),
         QStringLiteral("MS|always"), QStringLiteral("250")},
    });
    p.addPositionalArgument(QStringLiteral("IN"),
                            QStringLiteral("The song, MIDI file or ringtone text to read."));
    p.addPositionalArgument(QStringLiteral("OUT"), QStringLiteral("The file to write."));
}

// How many files there are, and what goes with --list.
QString CheckFiles(const QCommandLineParser& p, const QStringList& files) {
    const bool list = p.isSet(QStringLiteral("list"));
    if (list) {
        for (const QString& name : p.optionNames()) {
            if (name != QLatin1String("list")) {
                return tq::cli::DoesNothingWith(name, QStringLiteral("--list"));
            }
        }
    }
    const int wanted = list ? 1 : 2;
    if (files.size() < wanted) {
        return list              ? QStringLiteral("--list needs ringtone text")
               : files.isEmpty() ? QStringLiteral("no IN given")
                                 : QStringLiteral("no OUT given after '%1'").arg(files[0]);
    }
    if (files.size() > wanted) {
        return list ? QStringLiteral("'%1' does nothing with --list").arg(files[1])
                    : QStringLiteral("'%1': give one IN and one OUT").arg(files[2]);
    }
    if (p.isSet(QStringLiteral("tune")) && KindOf(files[0]) != Kind::Ringtone) {
        return QStringLiteral("--tune needs ringtone text (.rtttl, .rtx or .txt) as IN, not '%1'")
            .arg(files[0]);
    }
    return QString();
}

// What the extensions make of the conversion.
QString CheckKinds(const QStringList& files) {
    const Kind from = KindOf(files[0]);
    const Kind to = KindOf(files[1]);
    if (QFileInfo(files[1]).suffix().isEmpty()) {
        return QStringLiteral("'%1' has no extension to say what to write: .tql, .mid, .wav, "
                              ".rtttl, .rtx, .sh or .ino")
            .arg(files[1]);
    }
    if (!IsInput(from) || to == Kind::Unknown || (to == from && from != Kind::Unknown)) {
        return QStringLiteral("can't convert .%1 to .%2: a song (.tql), MIDI file (.mid, .midi, "
                              ".rmi) or ringtone text (.rtttl, .rtx, .txt) goes to another of "
                              "those, or to .wav, .sh or .ino")
            .arg(QFileInfo(files[0]).suffix(), QFileInfo(files[1]).suffix());
    }
    return QString();
}

// The playing options, for an OUT that plays the song.
QString ReadPlaying(const QCommandLineParser& p, const QString& out, tq::RenderOptions& o) {
    const Kind to = KindOf(out);
    const bool played = to == Kind::Wav || to == Kind::BeepScript || to == Kind::Sketch;
    o.portamento = p.isSet(QStringLiteral("portamento"));
    for (const char* name : {"beat", "portamento"}) {
        if (p.isSet(QLatin1String(name)) && !played) {
            return QStringLiteral("--%1 needs OUT .wav, .sh or .ino, not '%2'")
                .arg(QLatin1String(name), out);
        }
    }
    for (const char* name : {"glide", "sound-length"}) {
        if (p.isSet(QLatin1String(name)) && !o.portamento) {
            return tq::cli::Needs(QLatin1String(name), QStringLiteral("--portamento"));
        }
    }
    QString problem;
    if (p.isSet(QStringLiteral("beat"))) {
        problem = tq::cli::ReadWord(QStringLiteral("beat"), p.value(QStringLiteral("beat")),
                                    {QStringLiteral("all"), QStringLiteral("odd")}, &o.beat);
    }
    if (problem.isEmpty()) {
        problem = tq::cli::ReadDecimal(QStringLiteral("glide"), p.value(QStringLiteral("glide")),
                                       0.005, 1.8, &o.glide);
    }
    if (problem.isEmpty()) {
        // 0: always sounding.
        problem = tq::cli::ReadIntegerOrWord(QStringLiteral("sound-length"),
                                             p.value(QStringLiteral("sound-length")), 50, 1000,
                                             QStringLiteral("always"), 0, &o.soundLength);
    }
    return problem;
}

} // namespace

int main(int argc, char** argv) {
    // Taken as bytes: Qt's own decoding would change a name that is not UTF-8.
    const QStringList args = QStringList{kProgram} + tq::ArgumentPaths(argc, argv);
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    AddOptions(p);
    if (!tq::cli::Parse(p, args, kProgram)) {
        return kBadArguments;
    }
    const QStringList files = p.positionalArguments();
    QString problem = CheckFiles(p, files);
    if (problem.isEmpty() && p.isSet(QStringLiteral("list"))) {
        return ListTunes(files[0]);
    }
    Converter converter;
    if (problem.isEmpty()) {
        problem = CheckKinds(files);
    }
    if (problem.isEmpty()) {
        problem = ReadPlaying(p, files[1], converter.options);
    }
    if (!problem.isEmpty()) {
        return tq::cli::Refuse(kProgram, problem);
    }
    // A script or sketch names itself after its file, as a tune does.
    converter.name = QFileInfo(files[1]).completeBaseName();
    if (const int code =
            Read(files[0], KindOf(files[0]), p.value(QStringLiteral("tune")), converter);
        code != kDone) {
        return code;
    }
    return Write(converter, KindOf(files[1]), files[1]);
}
