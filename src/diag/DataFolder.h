#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace tq {

// The per-user data folder: $XDG_DATA_HOME/tonquill, by default ~/.local/share/tonquill.
QString UserDataFolder(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// Where the marker files and logs live: the program folder when it may be written to (a copy
// run from where it was built or unpacked), otherwise the per-user data folder (an installed
// copy). The per-user folder is made when missing.
QString DataFolder(const QString& programFolder,
                   const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

} // namespace tq
