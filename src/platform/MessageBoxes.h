#pragma once

#include <QString>

namespace tq {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, SaveDiscardCancel };
enum class MsgIcon { None, Information, Exclamation, Question, Critical };
enum class MsgAnswer { Ok, Cancel, Yes, No, Retry, Save, Discard };

inline const QString kApplicationTitle = QStringLiteral("Tonquill");

// Message boxes. An empty title shows the application title.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Modal: returns when the user has answered.
    virtual MsgAnswer Show(const QString& title, const QString& text,
                           MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None) = 0;
    // A message with only OK that returns at once and stays up until the user closes it:
    // for news that comes while a song plays, which must not stop to wait for a click.
    virtual void Notify(const QString& title, const QString& text,
                        MsgIcon icon = MsgIcon::None) {
        Show(title, text, MsgButtons::Ok, icon);
    }
};

// Shows nothing and answers OK: for code that counts or reports in its own way what a
// reader would otherwise have shown.
class SilentMessageBoxes final : public MessageBoxes {
public:
    MsgAnswer Show(const QString&, const QString&, MsgButtons, MsgIcon) override {
        return MsgAnswer::Ok;
    }
};

inline QString EffectiveTitle(const QString& title) {
    return title.isEmpty() ? kApplicationTitle : title;
}

} // namespace tq
