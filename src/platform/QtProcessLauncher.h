#pragma once

#include "platform/ProcessLauncher.h"

namespace tq {

// Starts programs with QProcess, keeping their standard output for Output(); their errors
// go to the program's own.
class QtProcessLauncher final : public ProcessLauncher {
public:
    std::unique_ptr<LaunchedProcess> Start(const QString& program,
                                           const QStringList& arguments) override;
};

} // namespace tq
