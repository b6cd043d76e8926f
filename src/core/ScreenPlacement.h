#pragma once

#include <QList>
#include <QRect>

namespace tq {

// A window's frame moved, as little as it takes, into the available area of the screen it
// overlaps most, or of the nearest screen when it overlaps none (a screen since unplugged).
// A frame larger than the screen has its top-left corner put on it, so its title bar can be
// reached. With no screens the frame is left as it is.
QRect PlaceOnScreens(QRect frame, const QList<QRect>& screens);

// The frame centred on another window's frame.
QRect CentredOn(QRect frame, const QRect& over);

} // namespace tq
