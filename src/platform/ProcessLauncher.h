#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace tq {

// A program started without waiting for it.
class LaunchedProcess {
public:
    virtual ~LaunchedProcess() = default;
    // True once the process has ended, and at once for one that never started.
    virtual bool HasExited() = 0;
    // What it wrote to its standard output, or why it did not start. Waits a
    // short while for its end first: ask once it has done its work.
    virtual QString Output() = 0;
};

// Starts other programs of the package, such as the component registration.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Returns at once; never null.
    virtual std::unique_ptr<LaunchedProcess> Start(const QString& program,
                                                   const QStringList& arguments) = 0;
};

} // namespace tq
