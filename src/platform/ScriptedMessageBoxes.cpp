#include "platform/ScriptedMessageBoxes.h"

namespace tq {

MsgAnswer ScriptedMessageBoxes::Show(const QString& title, const QString& text, MsgButtons buttons,
                                     MsgIcon icon) {
    shown_.push_back({EffectiveTitle(title), text, buttons, icon});
    if (whileShown_) {
        whileShown_();
    }
    if (buttons == MsgButtons::Ok) {
        return MsgAnswer::Ok;
    }
    if (!script_.empty()) {
        const MsgAnswer a = script_.front();
        script_.pop_front();
        return a;
    }
    return defaultAnswer_;
}

void ScriptedMessageBoxes::Notify(const QString& title, const QString& text, MsgIcon icon) {
    shown_.push_back({EffectiveTitle(title), text, MsgButtons::Ok, icon, false});
}

} // namespace tq
