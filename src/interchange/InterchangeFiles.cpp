#include "interchange/InterchangeFiles.h"

#include "core/FileGate.h"
#include "midifile/SmfReader.h"
#include "platform/MessageBoxes.h"
#include "platform/ScriptedFileDialogs.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"
#include "songfile/SongFormat.h"

#include <QFileInfo>

namespace tq {

namespace {

// Puts the picked tune of the ringtone text into the song; false, with a box, when the
// text can't be read or has no such tune.
bool LoadTune(const QString& path, const RtttlText& text, const QString& pick, SongTarget& target,
              MessageBoxes& boxes) {
    const RtttlTune* tune = text.ok ? FindTune(text, pick) : nullptr;
    if (tune == nullptr) {
        const QString why = !text.ok ? text.why
                                     : QStringLiteral("none of its %1 tunes is \"%2\"")
                                           .arg(text.tunes.size())
                                           .arg(pick);
        boxes.Show(QStringLiteral("Can't load"),
                   path + QStringLiteral(" can't be read as ringtone text: ") + why,
                   MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    ApplyTune(*tune, target);
    if (!text.skipped.isEmpty()) {
        boxes.Show(QStringLiteral("Ringtone text"), path + QStringLiteral(": ") + text.SkippedNote(),
                   MsgButtons::Ok, MsgIcon::Information);
    }
    return true;
}

// Enough of the file to hold a tune's first line, cut after a whole note.
QByteArray TextStart(const QString& path) {
    constexpr qint64 kEnough = 64 * 1024;
    QByteArray start = ReadStart(path, kEnough);
    if (start.size() == kEnough && !start.contains('\n')) {
        start.truncate(start.lastIndexOf(','));
    }
    return start;
}

// Whether the file begins as every song file the program writes does.
bool IsSongFile(const QString& path) {
    bool byteByByte = false;
    return AtStartOfString(DecodeSongBytes(ReadStart(path, 64), &byteByByte), kFormatText);
}

} // namespace

bool IsRingtonePath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("rtttl") || suffix == QLatin1String("rtx") ||
           suffix == QLatin1String("txt");
}

bool IsRingtoneFile(const QString& path) {
    return IsRingtonePath(path) ||
           (!LooksLikeMidiFile(ReadStart(path, 12)) && StartsWithTune(TextStart(path)));
}

RtttlText ReadRingtoneFile(const QString& path) {
    const InputFile in = ReadWhole(path, kMaxSongFileBytes);
    if (!in.ok) {
        RtttlText text;
        text.why = in.why;
        return text;
    }
    return ReadRtttl(in.bytes);
}

bool IsImportable(const QString& path) {
    return !IsSongFile(path) &&
           (LooksLikeMidiFile(ReadStart(path, 12)) || IsRingtoneFile(path));
}

bool LoadSongFile(const QString& path, SongTarget& target, MessageBoxes& boxes, LogSink& log,
                  const QString& tune) {
    const bool isSong = IsSongFile(path);
    if (!isSong && IsRingtoneFile(path)) {
        return LoadTune(path, ReadRingtoneFile(path), tune, target, boxes);
    }
    if (!tune.isEmpty()) {
        boxes.Show(QStringLiteral("Can't load"),
                   path + QStringLiteral(" is not ringtone text: there are no tunes to pick from"),
                   MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    NullLoadProgress progress;
    ScriptedFileDialogs noDialogs;
    SongFile songs(target, progress, boxes, noDialogs, log);
    // The reader reports an unreadable file or a foreign one itself.
    return songs.ActuallyLoadMusic(path) && isSong;
}

} // namespace tq
