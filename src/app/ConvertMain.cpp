// tonquill-convert IN OUT: a song to a MIDI or WAV file, or a MIDI file to a song, chosen by
// the files' extensions. Nothing is left at OUT unless it was written whole.
#include "core/FileGate.h"
#include "core/FileWriter.h"
#include "core/LogSink.h"
#include "interchange/HeadlessSong.h"
#include "interchange/InterchangeFiles.h"
#include "interchange/MidiExport.h"
#include "interchange/MidiImport.h"
#include "interchange/SongWavRenderer.h"
#include "platform/StreamMessageBoxes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

enum ExitCode { kDone = 0, kBadArguments = 2, kUnreadableInput = 3, kNotWritten = 4 };

const char kUsage[] =
    "usage: tonquill-convert IN OUT\n"
    "\n"
    "Converts by the files' extensions:\n"
    "  SONG.tql -> OUT.mid  a standard MIDI file: a tempo track, then one track for Note 1\n"
    "                       and one for Note 2, each note sounding for the note/silence ratio\n"
    "  SONG.tql -> OUT.wav  one pass of the song, rendered as tonquill-play --wav renders it\n"
    "  FILE.mid -> OUT.tql  a song: lengths rounded to the program's lengths, at most two\n"
    "                       notes at a time; a summary of what changed goes to stderr\n"
    "(.midi is taken as .mid, and a RIFF MIDI file .rmi is read too.)\n"
    "\n"
    "Exit codes: 0 done, 2 bad arguments, 3 unreadable input, 4 output not written.\n";

int NotWritten(const QString& path, const QString& why) {
    std::fprintf(stderr, "tonquill-convert: %s was not written: %s\n", qPrintable(path),
                 qPrintable(why));
    return kNotWritten;
}

int SongToMidi(const QString& in, const QString& out) {
    tq::StreamMessageBoxes boxes;
    tq::NullLog log;
    tq::HeadlessSong song(boxes, log);
    if (!song.LoadFile(in)) {
        return kUnreadableInput;
    }
    const tq::MidiExport midi = tq::ExportMidi(song.Target());
    if (midi.unreadableNotes > 0) {
        std::fprintf(stderr, "tonquill-convert: %d notes that name no note were left out\n",
                     midi.unreadableNotes);
    }
    QString why;
    return tq::WriteFileReplacing(out, midi.bytes, &why) ? kDone : NotWritten(out, why);
}

int SongToWav(const QString& in, const QString& out) {
    tq::StreamMessageBoxes boxes;
    tq::NullLog log;
    tq::SongWavRenderer renderer;
    QString why;
    if (!renderer.OpenSpeaker(&why)) {
        return NotWritten(out, why);
    }
    tq::HeadlessSong song(renderer, boxes, log);
    if (!song.LoadFile(in)) {
        return kUnreadableInput;
    }
    if (!renderer.StartFile(out, &why)) {
        return NotWritten(out, why);
    }
    renderer.Play(song.Form(), 1);
    if (!renderer.FinishFile(&why)) {
        return NotWritten(out, why);
    }
    if (renderer.Cut()) {
        std::fprintf(stderr, "tonquill-convert: %s\n", qPrintable(tq::SongWavRenderer::CutNote()));
    }
    return kDone;
}

int MidiToSong(const QString& in, const QString& out) {
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
    tq::StreamMessageBoxes boxes;
    tq::NullLog log;
    tq::HeadlessSong song(boxes, log);
    tq::ApplyImport(midi, song.Target());
    QString why;
    return tq::WriteFileReplacing(out, song.FileBytes(), &why) ? kDone : NotWritten(out, why);
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
    if (args.size() != 2 || args[0].startsWith(QLatin1Char('-')) ||
        args[1].startsWith(QLatin1Char('-'))) {
        std::fputs(kUsage, stderr);
        return kBadArguments;
    }
    const QString from = QFileInfo(args[0]).suffix().toLower();
    const QString to = QFileInfo(args[1]).suffix().toLower();
    // .rmi: a standard MIDI file wrapped in RIFF.
    const auto isMidi = [](const QString& suffix) {
        return suffix == QLatin1String("mid") || suffix == QLatin1String("midi") ||
               suffix == QLatin1String("rmi");
    };
    if (from == QLatin1String("tql") &&
        (to == QLatin1String("mid") || to == QLatin1String("midi"))) {
        return SongToMidi(args[0], args[1]);
    }
    if (from == QLatin1String("tql") && to == QLatin1String("wav")) {
        return SongToWav(args[0], args[1]);
    }
    if (isMidi(from) && to == QLatin1String("tql")) {
        return MidiToSong(args[0], args[1]);
    }
    if (to.isEmpty()) {
        std::fprintf(stderr,
                     "tonquill-convert: %s has no extension to say what to write: .mid or .wav "
                     "from a song, .tql from a MIDI file\n",
                     qPrintable(args[1]));
        return kBadArguments;
    }
    std::fprintf(stderr,
                 "tonquill-convert: can't convert .%s to .%s: only .tql to .mid or .wav, and "
                 ".mid, .midi or .rmi to .tql\n",
                 qPrintable(from), qPrintable(to));
    return kBadArguments;
}
