// tonquill-convert IN OUT: a song to a MIDI or WAV file, or a MIDI file to a song, chosen by
// the files' extensions. Nothing is left at OUT unless it was written whole.
#include "core/FileGate.h"
#include "core/FileWriter.h"
#include "core/LogSink.h"
#include "interchange/HeadlessSong.h"
#include "interchange/InterchangeFiles.h"
#include "interchange/MidiExport.h"
#include "interchange/MidiImport.h"
#include "interchange/RtttlImport.h"
#include "interchange/SongWavRenderer.h"
#include "platform/StreamMessageBoxes.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

enum ExitCode { kDone = 0, kBadArguments = 2, kUnreadableInput = 3, kNotWritten = 4 };

const char kUsage[] =
    "usage: tonquill-convert IN OUT\n"
    "       tonquill-convert [--tune NAME|N] TUNES.rtttl OUT.tql\n"
    "       tonquill-convert --list TUNES.rtttl\n"
    "\n"
    "Converts by the files' extensions:\n"
    "  SONG.tql -> OUT.mid  a standard MIDI file: a tempo track, then one track for Note 1\n"
    "                       and one for Note 2, each note sounding for the note/silence ratio\n"
    "  SONG.tql -> OUT.wav  one pass of the song, rendered as tonquill-play --wav renders it\n"
    "  FILE.mid -> OUT.tql  a song: lengths rounded to the program's lengths, at most two\n"
    "                       notes at a time; a summary of what changed goes to stderr\n"
    "  TUNE.rtttl -> OUT.tql  a ringtone tune (also .rtx) as a song: Note 1 only, each note\n"
    "                       for its whole length; --tune picks one of several by name or\n"
    "                       number (default: the first), --list prints their names\n"
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

tq::RtttlText ReadTunes(const QString& in, int* code) {
    const tq::InputFile file = tq::ReadWhole(in, tq::kMaxSongFileBytes);
    if (!file.ok) {
        std::fprintf(stderr, "tonquill-convert: %s can't be read: %s\n", qPrintable(in),
                     qPrintable(file.why));
        *code = kUnreadableInput;
        return {};
    }
    tq::RtttlText text = tq::ReadRtttl(file.bytes);
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

int RtttlToSong(const QString& in, const QString& pick, const QString& out) {
    int code = kDone;
    const tq::RtttlText text = ReadTunes(in, &code);
    if (!text.ok) {
        return code;
    }
    // A number counts from 1; otherwise the name, in any case.
    bool isNumber = false;
    const int number = pick.toInt(&isNumber);
    const auto chosen =
        std::find_if(text.tunes.begin(), text.tunes.end(), [&](const tq::RtttlTune& t) {
            return pick.isEmpty() ? true
                   : isNumber     ? &t - text.tunes.data() + 1 == number
                                  : t.name.compare(pick, Qt::CaseInsensitive) == 0;
        });
    if (chosen == text.tunes.end()) {
        std::fprintf(stderr, "tonquill-convert: %s has no tune %s (%zu tunes; --list names them)\n",
                     qPrintable(in), qPrintable(pick), text.tunes.size());
        return kBadArguments;
    }
    std::fprintf(stderr, "%s\n", qPrintable(chosen->Summary()));
    tq::StreamMessageBoxes boxes;
    tq::NullLog log;
    tq::HeadlessSong song(boxes, log);
    tq::ApplyTune(*chosen, song.Target());
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
    QStringList files = args;
    QString tune;
    const qsizetype tuneAt = files.indexOf(QLatin1String("--tune"));
    if (tuneAt >= 0 && tuneAt + 1 < files.size()) {
        tune = files[tuneAt + 1];
        files.remove(tuneAt, 2);
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
    const QString from = QFileInfo(files[0]).suffix().toLower();
    const QString to = QFileInfo(files[1]).suffix().toLower();
    // .rmi: a standard MIDI file wrapped in RIFF.
    const auto isMidi = [](const QString& suffix) {
        return suffix == QLatin1String("mid") || suffix == QLatin1String("midi") ||
               suffix == QLatin1String("rmi");
    };
    if (from == QLatin1String("tql") &&
        (to == QLatin1String("mid") || to == QLatin1String("midi"))) {
        return SongToMidi(files[0], files[1]);
    }
    if (from == QLatin1String("tql") && to == QLatin1String("wav")) {
        return SongToWav(files[0], files[1]);
    }
    if (isMidi(from) && to == QLatin1String("tql")) {
        return MidiToSong(files[0], files[1]);
    }
    if ((from == QLatin1String("rtttl") || from == QLatin1String("rtx")) &&
        to == QLatin1String("tql")) {
        return RtttlToSong(files[0], tune, files[1]);
    }
    if (to.isEmpty()) {
        std::fprintf(stderr,
                     "tonquill-convert: %s has no extension to say what to write: .mid or .wav "
                     "from a song, .tql from a MIDI file\n",
                     qPrintable(files[1]));
        return kBadArguments;
    }
    std::fprintf(stderr,
                 "tonquill-convert: can't convert .%s to .%s: only .tql to .mid or .wav, and "
                 ".mid, .midi or .rmi to .tql\n",
                 qPrintable(from), qPrintable(to));
    return kBadArguments;
}
