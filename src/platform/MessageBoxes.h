#pragma once

#include <QString>

namespace tq {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, SaveDiscardCancel };
enum class MsgIcon { None, Information, Exclamation, Question, Critical };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry, Save, Discard };

inline const QString kApplicationTitle = QStringLiteral("Tonquill");

// Modal message boxes. An empty title shows the application title.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgAnswer Show(const QString& title, const QString& text,
                           MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None) = 0;
};

inline QString EffectiveTitle(const QString& title) {
    return title.isEmpty() ? kApplicationTitle : title;
}

} // namespace tq
