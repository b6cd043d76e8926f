#include "interchange/InterchangeFiles.h"

#include "platform/ScriptedFileDialogs.h"
#include "songfile/LoadProgress.h"
#include "songfile/SongFile.h"
#include "songfile/SongFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace tq {

bool LoadSongFile(const QString& path, SongTarget& target, MessageBoxes& boxes, LogSink& log) {
    bool isSong = false;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() <= SongFile::kMaxSongBytes) {
        bool byteByByte = false;
        isSong = AtStartOfString(DecodeSongBytes(file.read(64), &byteByByte), kFormatText);
    }
    NullLoadProgress progress;
    ScriptedFileDialogs noDialogs;
    SongFile songs(target, progress, boxes, noDialogs, log);
    if (!QFile::exists(path)) {
        std::fprintf(stderr, "Can't open file!: %s can't be seen.\n", qPrintable(path));
        return false;
    }
    songs.ActuallyLoadMusic(path); // reports an unreadable file or a foreign one
    return isSong;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* why) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        QFile device(path);
        if (device.open(QIODevice::WriteOnly) && device.write(bytes) == bytes.size()) {
            return true;
        }
        *why = device.errorString();
        return false;
    }
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    // Unbuffered, so that a short write is seen here rather than dropped at commit.
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
        file.write(bytes) == bytes.size() && file.commit()) {
        return true;
    }
    *why = file.errorString();
    return false;
}

} // namespace tq
