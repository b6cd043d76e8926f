#include "diag/DataFolder.h"

#include <QDir>
#include <QFileInfo>

namespace tq {

QString UserDataFolder(const QProcessEnvironment& env) {
    // A relative XDG_DATA_HOME is invalid and ignored, as the XDG base directories say.
    QString data = env.value(QStringLiteral("XDG_DATA_HOME"));
    if (data.isEmpty() || QDir::isRelativePath(data)) {
        const QString home = env.value(QStringLiteral("HOME"));
        data = (home.isEmpty() ? QDir::homePath() : home) + QStringLiteral("/.local/share");
    }
    return data + QStringLiteral("/tonquill");
}

QString DataFolder(const QString& programFolder, const QProcessEnvironment& env) {
    const QFileInfo program(programFolder);
    if (program.isDir() && program.isWritable()) {
        return programFolder;
    }
    const QString folder = UserDataFolder(env);
    QDir().mkpath(folder);
    return folder;
}

} // namespace tq
