#include "diag/FileExists.h"

#include "core/LogSink.h"

#include <QFileInfo>

namespace tq {

bool FileExists(const QString& path, LogSink& log) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('\\')) || path.endsWith(QLatin1Char('/'))) {
        return false;
    }
    const QFileInfo info(path);
    const bool exists = info.exists() && info.isFile();
    log.LogText(QStringLiteral("FileExists(\"") + path + QStringLiteral("\") = ") +
                (exists ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
    return exists;
}

} // namespace tq
