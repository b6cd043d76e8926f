#include "core/ScreenPlacement.h"

#include <algorithm>
#include <limits>

namespace tq {

namespace {

qint64 Area(const QRect& r) {
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

qint64 SquaredDistance(const QPoint& a, const QPoint& b) {
    const qint64 dx = a.x() - b.x();
    const qint64 dy = a.y() - b.y();
    return dx * dx + dy * dy;
}

const QRect& ChosenScreen(const QRect& frame, const QList<QRect>& screens) {
    const QRect* best = &screens.front();
    qint64 bestArea = 0;
    for (const QRect& screen : screens) {
        const qint64 area = Area(frame.intersected(screen));
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    if (bestArea > 0) {
        return *best;
    }
    qint64 nearest = std::numeric_limits<qint64>::max();
    for (const QRect& screen : screens) {
        const qint64 distance = SquaredDistance(frame.center(), screen.center());
        if (distance < nearest) {
            best = &screen;
            nearest = distance;
        }
    }
    return *best;
}

// The start of a span of length size moved into [low, low + room).
int Into(int start, int size, int low, int room) {
    return size >= room ? low : std::clamp(start, low, low + room - size);
}

} // namespace

QRect PlaceOnScreens(QRect frame, const QList<QRect>& screens) {
    if (screens.isEmpty()) {
        return frame;
    }
    const QRect& screen = ChosenScreen(frame, screens);
    frame.moveTopLeft({Into(frame.x(), frame.width(), screen.x(), screen.width()),
                       Into(frame.y(), frame.height(), screen.y(), screen.height())});
    return frame;
}

QRect CentredOn(QRect frame, const QRect& over) {
    frame.moveCenter(over.center());
    return frame;
}

} // namespace tq
