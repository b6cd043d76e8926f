#include "songfile/RecentSongs.h"

#include <QFileInfo>
#include <QSettings>

namespace tq {

namespace {

const QString kKey = QStringLiteral("RecentSongs");

} // namespace

QStringList RecentSongs::Stored() const {
    return settings_.value(kKey).toStringList();
}

void RecentSongs::Store(const QStringList& paths) {
    settings_.setValue(kKey, paths);
    // The program ends without unwinding; what is not on disk now is lost.
    settings_.sync();
}

void RecentSongs::Add(const QString& path) {
    // A song named on the command line may be relative to where the program was started.
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = Stored();
    paths.removeAll(absolute);
    paths.prepend(absolute);
    Store(paths.mid(0, kMost));
}

void RecentSongs::Remove(const QString& path) {
    QStringList paths = Stored();
    if (paths.removeAll(path) > 0) {
        Store(paths);
    }
}

QStringList RecentSongs::Paths() {
    const QStringList stored = Stored();
    QStringList existing;
    for (const QString& path : stored) {
        if (QFileInfo(path).isFile()) {
            existing << path;
        }
    }
    if (existing != stored) {
        Store(existing);
    }
    return existing;
}

} // namespace tq
