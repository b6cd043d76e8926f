#pragma once

#include "platform/MessageBoxes.h"

#include <QPointer>
#include <QWidget>

namespace tq {

// Real message boxes, parented to the main window once it exists.
class QtMessageBoxes final : public MessageBoxes {
public:
    void SetParent(QWidget* parent) { parent_ = parent; }
    MsgAnswer Show(const QString& title, const QString& text, MsgButtons buttons,
                   MsgIcon icon) override;
    void Notify(const QString& title, const QString& text, MsgIcon icon) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace tq
