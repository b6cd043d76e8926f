#include "core/FileGate.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tq {

namespace {

// The length of the valid UTF-8 sequence at p (1 to 4), or 0 when it is not one.
int Utf8SequenceLength(const unsigned char* p, qsizetype left, char32_t& codePoint) {
    const unsigned char b = p[0];
    int length = 0;
    char32_t least = 0;
    if (b < 0x80) {
        codePoint = b;
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2, least = 0x80, codePoint = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3, least = 0x800, codePoint = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, least = 0x10000, codePoint = b & 0x07;
    } else {
        return 0;
    }
    if (left < length) {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (p[i] & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < least || surrogate || codePoint > 0x10FFFF ? 0 : length;
}

void AppendUtf8(QByteArray& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return QStringLiteral("it is a folder, not a file");
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("it is a pipe, not a file");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("it is a socket, not a file");
    }
    return QStringLiteral("it is a device, not a file");
}

// An open descriptor of a regular file (blocking again), or -1 and why. With limit < 0
// any size passes.
int OpenRegular(const QString& path, qint64 limit, qint64* size, QString* why) {
    const int fd = ::open(PathBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = SystemReason(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        *why = SystemReason(errno);
    } else if (!S_ISREG(st.st_mode)) {
        *why = KindOf(st.st_mode);
    } else if (limit >= 0 && st.st_size > limit) {
        QString actual = SizeText(st.st_size);
        QString most = SizeText(limit);
        if (actual == most) {
            actual = QStringLiteral("%1 bytes").arg(st.st_size);
            most = QStringLiteral("%1 bytes").arg(limit);
        }
        *why = QStringLiteral("it is %1, more than the limit of %2").arg(actual, most);
    } else {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        *size = st.st_size;
        return fd;
    }
    ::close(fd);
    return -1;
}

// Reads up to most bytes, growing bytes from its given size as needed; false on a read
// error.
bool ReadUpTo(int fd, qint64 most, QByteArray& bytes, QString* why) {
    qint64 done = 0;
    while (done < most) {
        if (done == bytes.size()) {
            bytes.resize(std::min(most, 2 * done + 4096));
        }
        const ssize_t n = ::read(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            *why = SystemReason(errno);
            return false;
        }
        if (n == 0) {
            break;
        }
        done += n;
    }
    bytes.truncate(done);
    return true;
}

} // namespace

QString PathFromBytes(const QByteArray& bytes) {
    QString path;
    path.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        char32_t c = 0;
        const int length = Utf8SequenceLength(p + i, size - i, c);
        if (length == 0) {
            path += QChar(static_cast<char16_t>(0xDC00 + p[i]));
            ++i;
            continue;
        }
        const char32_t one[] = {c};
        path += QString::fromUcs4(one, 1);
        i += length;
    }
    return path;
}

QByteArray PathBytes(const QString& path) {
    QByteArray out;
    out.reserve(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t u = path[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < path.size() && path[i + 1].isLowSurrogate()) {
            AppendUtf8(out, QChar::surrogateToUcs4(u, path[i + 1].unicode()));
            ++i;
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            out += static_cast<char>(u - 0xDC00);
        } else if (QChar::isSurrogate(u)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

QStringList ArgumentPaths(int argc, const char* const* argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << PathFromBytes(QByteArray(argv[i]));
    }
    return args;
}

InputFile ReadWhole(const QString& path, qint64 limit) {
    InputFile in;
    qint64 size = 0;
    const int fd = OpenRegular(path, limit, &size, &in.why);
    if (fd < 0) {
        return in;
    }
    // One byte more than the limit tells a file that grew past it since the check.
    in.bytes.resize(std::min(size, limit) + 1);
    in.ok = ReadUpTo(fd, limit + 1, in.bytes, &in.why);
    ::close(fd);
    if (in.ok && in.bytes.size() > limit) {
        in = {false, {}, QStringLiteral("it grew past the limit of %1").arg(SizeText(limit))};
    }
    return in;
}

QByteArray ReadStart(const QString& path, qint64 count) {
    qint64 size = 0;
    QString why;
    const int fd = OpenRegular(path, -1, &size, &why);
    QByteArray bytes;
    if (fd >= 0) {
        bytes.resize(count);
        if (!ReadUpTo(fd, count, bytes, &why)) {
            bytes.clear();
        }
        ::close(fd);
    }
    return bytes;
}

QString CheckReadable(const QString& path, qint64 limit) {
    qint64 size = 0;
    QString why;
    const int fd = OpenRegular(path, limit, &size, &why);
    if (fd >= 0) {
        ::close(fd);
    }
    return why;
}

bool IsLink(const QString& path) {
    struct stat st {};
    return ::lstat(PathBytes(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

QString SizeText(qint64 bytes) {
    static const char* const kUnits[] = {"kB", "MB", "GB", "TB"};
    if (bytes < 1024) {
        return QStringLiteral("%1 bytes").arg(bytes);
    }
    double value = static_cast<double>(bytes);
    int unit = -1;
    while (value >= 1024.0 && unit < 3) {
        value /= 1024.0;
        ++unit;
    }
    QString number = QString::number(value, 'f', 1);
    if (number.endsWith(QLatin1String(".0"))) {
        number.chop(2);
    }
    return number + QLatin1Char(' ') + QLatin1String(kUnits[unit]);
}

QString AsSentence(const QString& why) {
    if (why.isEmpty()) {
        return why;
    }
    return why.left(1).toUpper() + why.mid(1) + (why.endsWith(QLatin1Char('.')) ? "" : ".");
}

} // namespace tq
