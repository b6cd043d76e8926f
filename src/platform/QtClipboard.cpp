#include "platform/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tq {

void QtClipboard::SetText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QString QtClipboard::Text() {
    return QGuiApplication::clipboard()->text();
}

ClipboardReach QtClipboard::Reach() {
    // The offscreen platform offers the X11 interface too, without a connection.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || connection == nullptr) {
        return ClipboardReach::WhileRunning;
    }
    static constexpr char kManager[] = "CLIPBOARD_MANAGER";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, sizeof kManager - 1, kManager), nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) {
        return ClipboardReach::WhileRunning;
    }
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                      nullptr),
        &std::free);
    return owner && owner->owner != XCB_NONE ? ClipboardReach::AfterExit
                                             : ClipboardReach::WhileRunning;
}

} // namespace tq
