#include "platform/WindowPlacement.h"

#include "core/ScreenPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <QWindow>

namespace tq {

namespace {

QString PositionKey(const QWidget& window) {
    return QStringLiteral("Windows/") + window.objectName() + QStringLiteral("/Position");
}

QList<QRect> AvailableScreens() {
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens << screen->availableGeometry();
    }
    return screens;
}

} // namespace

WindowPlacement::WindowPlacement(QWidget& main, QSettings& settings)
    : QObject(&main), main_(main), settings_(settings) {}

void WindowPlacement::Manage(QWidget& window, Stacking stacking) {
    windows_ << &window;
    if (stacking == Stacking::AboveMain) {
        aboveMain_ << &window;
    }
    window.installEventFilter(this);
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWidget*>(watched);
    if (window != nullptr && window->isWindow()) {
        if (event->type() == QEvent::Show) {
            // Before the window system maps it: it appears where it belongs.
            Place(*window);
        } else if (event->type() == QEvent::Hide) {
            Save(*window);
        }
    }
    return false;
}

void WindowPlacement::Place(QWidget& window) {
    if (aboveMain_.contains(&window) && window.windowHandle() != nullptr) {
        main_.winId(); // the main window's own window exists from here on
        window.windowHandle()->setTransientParent(main_.windowHandle());
    }
    if (placed_.contains(&window)) {
        return;
    }
    placed_ << &window;
    QRect frame(QPoint(), window.frameGeometry().size());
    const QVariant saved = settings_.value(PositionKey(window));
    if (saved.canConvert<QPoint>() && saved.isValid()) {
        frame.moveTopLeft(saved.toPoint());
    } else {
        frame = CentredOn(frame, main_.frameGeometry());
    }
    window.move(PlaceOnScreens(frame, AvailableScreens()).topLeft());
}

void WindowPlacement::Save(QWidget& window) {
    if (!placed_.contains(&window)) {
        return;
    }
    settings_.setValue(PositionKey(window), window.pos());
    settings_.sync();
}

void WindowPlacement::SaveAll() {
    for (QWidget* window : std::as_const(windows_)) {
        if (window != nullptr && window->isVisible()) {
            Save(*window);
        }
    }
}

} // namespace tq
