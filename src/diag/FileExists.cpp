#include "diag/FileExists.h"

#include "core/LogSink.h"

#include "core/FileGate.h"

#include <sys/stat.h>

namespace tq {

bool FileExists(const QString& path, LogSink& log) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'))) {
        return false;
    }
    struct stat st {};
    const bool exists = ::stat(PathBytes(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
    log.LogText(QStringLiteral("FileExists(\"") + path + QStringLiteral("\") = ") +
                (exists ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
    return exists;
}

} // namespace tq
