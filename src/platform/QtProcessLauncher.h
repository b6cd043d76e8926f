#pragma once

#include "platform/ProcessLauncher.h"

namespace tq {

// Starts programs with QProcess. Their output goes to the program's own.
class QtProcessLauncher final : public ProcessLauncher {
public:
    std::unique_ptr<LaunchedProcess> Start(const QString& program,
                                           const QStringList& arguments) override;
};

} // namespace tq
