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

// The same writer for a file written piece by piece, so that it need not be held whole:
// Open makes the temporary file (or opens the device or pipe, whose bytes wait in an
// unnamed file until Commit), Append adds to it, Overwrite rewrites bytes already
// appended, and Commit puts it in place. Abort, and the destructor of a stream not
// committed, removes the temporary file and leaves the target as it was. After a failed
// Append or Overwrite the rest are ignored and Commit fails with the first reason.
class ReplacingFileStream {
public:
    ReplacingFileStream() = default;
    ~ReplacingFileStream();
    ReplacingFileStream(const ReplacingFileStream&) = delete;
    ReplacingFileStream& operator=(const ReplacingFileStream&) = delete;

    bool Open(const QString& path, QString* why);
    bool IsOpen() const { return fd_ >= 0; }
    // Whether an Append or Overwrite has failed, so Commit will.
    bool Failed() const { return error_ != 0; }
    bool Append(const char* data, qsizetype size);
    bool Overwrite(qint64 offset, const QByteArray& bytes);
    bool Commit(QString* why);
    void Abort();

private:
    void OpenTemporary(const QByteArray& target, unsigned mode, bool keepMode, int* error);

    int fd_ = -1;     // what Append writes to: the temporary file, named or not
    int direct_ = -1; // a device or pipe target
    QByteArray target_;
    QByteArray temporary_; // the named temporary file, until it is renamed or removed
    int error_ = 0;
};

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
