#include "editor/view/UpDownButtons.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tq {

namespace {

// Each arrow is half as tall as the text box, so the pair sits flush beside it.
QToolButton* MakeArrow(Qt::ArrowType arrow, QWidget* parent, int height) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(8, 8));
    button->setFixedSize(std::max(16, height * 3 / 4), height / 2);
    return button;
}

} // namespace

UpDownButtons::UpDownButtons(QLineEdit* buddy, int minimum, int maximum, int step, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum), step_(step),
      up_(MakeArrow(Qt::UpArrow, this, buddy->sizeHint().height())),
      down_(MakeArrow(Qt::DownArrow, this, buddy->sizeHint().height())) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(up_, &QToolButton::clicked, this, &UpDownButtons::StepUp);
    connect(down_, &QToolButton::clicked, this, &UpDownButtons::StepDown);
    buddy_->installEventFilter(this);
}

bool UpDownButtons::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (key->key() == Qt::Key_Up) {
                emit StepUp();
                return true;
            }
            if (key->key() == Qt::Key_Down) {
                emit StepDown();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tq
