#include "core/FileWriter.h"

#include "core/FileGate.h"

#include <QDir>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tq {

namespace {

const QByteArray kTemporaryTag(".tq-tmp-");

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString LinkRefused() {
    return QStringLiteral("it is a link to another file, and links are not written through");
}

bool WriteAll(int fd, const QByteArray& bytes, int* error) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            *error = n < 0 ? errno : ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

// The folder and the name of a path, as bytes.
std::pair<QByteArray, QByteArray> SplitPath(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) {
        return {QByteArray("."), path};
    }
    return {slash == 0 ? QByteArray("/") : path.left(slash), path.mid(slash + 1)};
}

// Removes the temporary files that a writer of the same target left behind when it was
// killed: those whose process is gone.
void RemoveLeftovers(const QByteArray& folder, const QByteArray& name) {
    DIR* dir = ::opendir(folder.constData());
    if (dir == nullptr) {
        return;
    }
    const QByteArray prefix = '.' + name + kTemporaryTag;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray entryName(entry->d_name);
        if (!entryName.startsWith(prefix)) {
            continue;
        }
        const QByteArray rest = entryName.mid(prefix.size());
        const qsizetype dash = rest.indexOf('-');
        bool isNumber = false;
        const qint64 pid = rest.left(dash).toLongLong(&isNumber);
        if (dash <= 0 || !isNumber || pid <= 0 || pid > INT_MAX) {
            continue;
        }
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) {
            continue; // still running, or not ours to judge
        }
        const QByteArray leftover = folder + '/' + entryName;
        struct stat st {};
        if (::lstat(leftover.constData(), &st) == 0 && S_ISREG(st.st_mode)) {
            ::unlink(leftover.constData());
        }
    }
    ::closedir(dir);
}

// Opens a device or a pipe to write straight into; one without a reader is refused, not
// waited for.
int OpenDirect(const QByteArray& target, int* error) {
    const int fd = ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// A file without a name in the temporary folder, gone when closed.
int OpenUnnamed(int* error) {
    const QByteArray folder = PathBytes(QDir::tempPath());
    int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        // A file system without unnamed files: a named one, unlinked at once.
        QByteArray name = folder + "/.tq-stage-XXXXXX";
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0) {
            ::unlink(name.constData());
        }
    }
    if (fd < 0) {
        *error = errno;
    }
    return fd;
}

// Copies the whole of from, from its start, to to.
bool CopyAll(int from, int to, int* error) {
    if (::lseek(from, 0, SEEK_SET) < 0) {
        *error = errno;
        return false;
    }
    QByteArray chunk(1 << 16, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(from, chunk.data(), static_cast<size_t>(chunk.size()));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *error = errno;
            return false;
        }
        if (n == 0) {
            return true;
        }
        if (!WriteAll(to, QByteArray::fromRawData(chunk.constData(), n), error)) {
            return false;
        }
    }
}

} // namespace

QString TemporaryNameFor(const QString& path, qint64 pid, const QString& random) {
    const auto [folder, name] = SplitPath(PathBytes(path));
    return PathFromBytes(folder + "/." + name + kTemporaryTag + QByteArray::number(pid) + '-' +
                         random.toLatin1());
}

ReplacingFileStream::~ReplacingFileStream() {
    Abort();
}

bool ReplacingFileStream::Open(const QString& path, QString* why) {
    Abort();
    QByteArray target = PathBytes(path);
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // The link stays and the file it points to is replaced; a dangling link is replaced.
        if (char* resolved = ::realpath(target.constData(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    int error = 0;
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        error = EISDIR;
    } else if (exists && !S_ISREG(st.st_mode)) {
        // A device or pipe gets the file whole at Commit; until then it waits unnamed.
        direct_ = OpenDirect(target, &error);
        fd_ = direct_ >= 0 ? OpenUnnamed(&error) : -1;
    } else if (exists && ::access(target.constData(), W_OK) != 0) {
        error = errno;
    } else {
        OpenTemporary(target, st.st_mode & 07777, exists, &error);
    }
    if (fd_ < 0) {
        Abort();
        if (why) {
            *why = SystemReason(error);
        }
        return false;
    }
    target_ = target;
    return true;
}

void ReplacingFileStream::OpenTemporary(const QByteArray& target, unsigned mode, bool keepMode,
                                        int* error) {
    const auto [folder, name] = SplitPath(target);
    RemoveLeftovers(folder, name);
    const QString random = QString::number(
        QRandomGenerator::global()->generate() % (36u * 36 * 36 * 36 * 36 * 36), 36);
    temporary_ = PathBytes(TemporaryNameFor(PathFromBytes(target), ::getpid(), random));
    fd_ =
        ::open(temporary_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        *error = errno;
        temporary_.clear();
        return;
    }
    // A replaced file keeps its permissions; a new one gets those of the umask.
    if (keepMode && ::fchmod(fd_, static_cast<mode_t>(mode)) != 0) {
        *error = errno;
        Abort();
    }
}

bool ReplacingFileStream::Append(const char* data, qsizetype size) {
    if (fd_ < 0 || error_ != 0) {
        return false;
    }
    return WriteAll(fd_, QByteArray::fromRawData(data, size), &error_);
}

bool ReplacingFileStream::Overwrite(qint64 offset, const QByteArray& bytes) {
    if (fd_ < 0 || error_ != 0) {
        return false;
    }
    const off_t end = ::lseek(fd_, 0, SEEK_CUR);
    if (end < 0 || ::lseek(fd_, offset, SEEK_SET) < 0) {
        error_ = errno;
        return false;
    }
    if (!WriteAll(fd_, bytes, &error_)) {
        return false;
    }
    if (::lseek(fd_, end, SEEK_SET) < 0) {
        error_ = errno;
        return false;
    }
    return true;
}

bool ReplacingFileStream::Commit(QString* why) {
    // Each step runs only when the one before succeeded; the first failure's reason stays.
    const auto step = [this](bool done) {
        if (!done && error_ == 0) {
            error_ = errno;
        }
        return done;
    };
    bool ok = fd_ >= 0 && error_ == 0;
    if (direct_ >= 0) {
        ok = ok && CopyAll(fd_, direct_, &error_);
    } else {
        ok = ok && step(::fsync(fd_) == 0);
    }
    if (fd_ >= 0) {
        const int closed = ::close(fd_);
        fd_ = -1;
        ok = ok && step(closed == 0);
    }
    if (!temporary_.isEmpty()) {
        ok = ok && step(::rename(temporary_.constData(), target_.constData()) == 0);
        if (ok) {
            temporary_.clear();
        }
    }
    if (!ok && why) {
        *why = SystemReason(error_ != 0 ? error_ : EBADF);
    }
    Abort();
    return ok;
}

void ReplacingFileStream::Abort() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (direct_ >= 0) {
        ::close(direct_);
        direct_ = -1;
    }
    if (!temporary_.isEmpty()) {
        ::unlink(temporary_.constData());
        temporary_.clear();
    }
    target_.clear();
    error_ = 0;
}

bool WriteFileReplacing(const QString& path, const QByteArray& bytes, QString* why) {
    ReplacingFileStream file;
    if (!file.Open(path, why)) {
        return false;
    }
    file.Append(bytes.constData(), bytes.size());
    return file.Commit(why);
}

bool AppendNoFollow(const QString& path, const QByteArray& bytes, QString* why) {
    const int fd =
        ::open(PathBytes(path).constData(),
               O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) {
        if (why) {
            *why = errno == ELOOP ? LinkRefused() : SystemReason(errno);
        }
        return false;
    }
    int error = 0;
    const bool ok = WriteAll(fd, bytes, &error);
    ::close(fd);
    if (!ok && why) {
        *why = SystemReason(error);
    }
    return ok;
}

bool ContinueNoFollow(const QString& path, const QByteArray& bytes, QString* why) {
    const int fd =
        ::open(PathBytes(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (why) {
            *why = errno == ELOOP ? LinkRefused() : SystemReason(errno);
        }
        return false;
    }
    const off_t end = ::lseek(fd, 0, SEEK_END);
    int error = 0;
    const bool ok = end >= 0 && ::lseek(fd, end >= 2 ? end - 2 : end, SEEK_SET) >= 0 &&
                    WriteAll(fd, bytes, &error);
    ::close(fd);
    if (!ok && why) {
        *why = SystemReason(error != 0 ? error : errno);
    }
    return ok;
}

bool CreateExclusive(const QString& path, QString* why) {
    const QByteArray name = PathBytes(path);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd =
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
        const int error = errno;
        struct stat st {};
        // A marker left by an earlier run that was killed is an ordinary file: it goes.
        // Anything else in its place (a link above all) is not the program's to touch.
        if (error == EEXIST && attempt == 0 && ::lstat(name.constData(), &st) == 0 &&
            S_ISREG(st.st_mode) && ::unlink(name.constData()) == 0) {
            continue;
        }
        if (why) {
            *why = error == EEXIST ? QStringLiteral("a link or other entry is in its place")
                                   : SystemReason(error);
        }
        return false;
    }
    return false;
}

bool RenameNoReplace(const QString& from, const QString& to, int* error) {
    const QByteArray source = PathBytes(from);
    const QByteArray target = PathBytes(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
        0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        *error = errno;
        return false;
    }
    // A file system without the exclusive rename: a hard link also refuses a taken name.
    if (::link(source.constData(), target.constData()) != 0) {
        *error = errno;
        return false;
    }
    ::unlink(source.constData());
    return true;
}

} // namespace tq
