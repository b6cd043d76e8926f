#pragma once

#include <QString>

namespace tq {

// The exit codes of tonquill-register.
enum class RegistrationResult { Registered = 0, Removed = 1 };

// What tonquill-register does with a file the installer has just copied into the system
// folder. One of our components must load as its interface and version, or the copy is
// removed, so that the installer finds it missing; any other file is accepted as copied.
// The marker file is erased last in every case: the installer waits for that. why gets the
// reason for a removal.
RegistrationResult RegisterComponent(const QString& copiedFile, const QString& markerFile,
                                     QString* why = nullptr);

} // namespace tq
