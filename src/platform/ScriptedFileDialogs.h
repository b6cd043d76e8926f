#pragma once

#include "platform/FileDialogs.h"

#include <deque>
#include <vector>

namespace tq {

// File dialogs for tests and headless runs: every dialog is recorded and answered with
// the next scripted path; an empty script answers as a cancelled dialog.
class ScriptedFileDialogs final : public FileDialogs {
public:
    enum class Kind { Save, Open };
    struct Shown {
        Kind kind;
        FileDialogRequest request;
    };

    QString Save(const FileDialogRequest& request) override { return Next(Kind::Save, request); }
    QString Open(const FileDialogRequest& request) override { return Next(Kind::Open, request); }

    void Answer(const QString& path) { script_.push_back(path); }

    const std::vector<Shown>& Dialogs() const { return shown_; }

private:
    QString Next(Kind kind, const FileDialogRequest& request);

    std::deque<QString> script_;
    std::vector<Shown> shown_;
};

} // namespace tq
