#pragma once

#include <QByteArray>
#include <QString>

namespace tq {

// The one writer for songs, MIDI files and WAV files. The bytes go to a temporary file
// beside the target, named ".NAME.tq-tmp-PID-RANDOM", which is then renamed over the
// target: a failed or killed write leaves the old file as it was. Leftovers of the same
// target from a process that is no longer running are removed first. A read-only target
// is refused; a target that is a link is written where the link points, as an editor
// does. A target that names a device or a pipe is written directly. False and the
// system's reason when nothing was written.
bool WriteFileReplacing(const QString& path, const QByteArray& bytes, QString* why);

// The temporary name the writer would use beside path for this process, with the random
// part given; for tests that plant leftovers.
QString TemporaryNameFor(const QString& path, qint64 pid, const QString& random);

// Appends to a log file, creating it when missing. A link in the file's place is not
// followed: the append is refused and why says so.
bool AppendNoFollow(const QString& path, const QByteArray& bytes, QString* why);
// Overwrites the last two bytes of a log file (its closing line end) with bytes, or
// appends when it is shorter; a link is refused as above.
bool ContinueNoFollow(const QString& path, const QByteArray& bytes, QString* why);
// Creates an empty file that must not exist yet: a file or link already there is refused.
bool CreateExclusive(const QString& path, QString* why);
// Renames from to a name that must not exist yet, not even as a dangling link; never
// copies. False with the system's reason (EEXIST when to is taken).
bool RenameNoReplace(const QString& from, const QString& to, int* error);

} // namespace tq
