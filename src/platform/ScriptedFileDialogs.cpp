#include "platform/ScriptedFileDialogs.h"

namespace tq {

QString ScriptedFileDialogs::Next(Kind kind, const FileDialogRequest& request) {
    shown_.push_back({kind, request});
    if (script_.empty()) {
        return QString();
    }
    QString path = script_.front();
    script_.pop_front();
    return path;
}

} // namespace tq
