#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tq {

// The most the program reads of each kind of file. A song of 100,000 lines takes about
// 2 MB; the largest MIDI files of ordinary collections take a few.
constexpr qint64 kMaxSongFileBytes = qint64{64} * 1024 * 1024;
constexpr qint64 kMaxMidiFileBytes = qint64{16} * 1024 * 1024;
constexpr qint64 kMaxComponentBytes = qint64{64} * 1024 * 1024;

// File names as the system holds them: bytes. UTF-8 is decoded; a byte that is not part of
// valid UTF-8 becomes the lone surrogate U+DC80..U+DCFF, which PathBytes turns back into
// that byte, so every name survives the round trip (Qt's own decoding replaces them).
QString PathFromBytes(const QByteArray& bytes);
QByteArray PathBytes(const QString& path);
// The command line's arguments after the program name, decoded as above.
QStringList ArgumentPaths(int argc, const char* const* argv);

// A file's bytes, or why it was not read.
struct InputFile {
    bool ok = false;
    QByteArray bytes;
    QString why; // "it is a pipe, not a file", "it is 6.0 GB, more than the limit of 64 MB", ...
};

// The one gate for everything the program reads. The file is opened without blocking (a
// pipe or device would otherwise hang the open), the open descriptor is examined (so the
// name cannot be swapped between the check and the read) and only a regular file of at
// most limit bytes is read.
InputFile ReadWhole(const QString& path, qint64 limit);
// The first count bytes of a regular file of any size; empty when it is not one.
QByteArray ReadStart(const QString& path, qint64 count);
// Empty when ReadWhole would read the file, otherwise why not.
QString CheckReadable(const QString& path, qint64 limit);

// Whether path itself is a symbolic link (whatever it points to, if anything).
bool IsLink(const QString& path);

// "512 bytes", "1.5 kB", "64 MB", "6.0 GB".
QString SizeText(qint64 bytes);
// The reason with its first letter in upper case and a full stop, for a message box.
QString AsSentence(const QString& why);

} // namespace tq
