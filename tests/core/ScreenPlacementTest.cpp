#include "core/ScreenPlacement.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(ScreenPlacement, AWindowIsMovedOntoTheScreenItOverlapsMostOrTheNearestOne) {
    // Two screens side by side, the right one lower and smaller; a panel takes the top 30
    // pixels of the left one.
    const QList<QRect> screens = {QRect(0, 30, 1920, 1050), QRect(1920, 200, 1280, 800)};
    struct Case {
        const char* what;
        QRect frame;
        QPoint expected;
    };
    const Case cases[] = {
        {"wholly on a screen stays", {100, 100, 400, 300}, {100, 100}},
        {"under the panel comes down", {100, 0, 400, 300}, {100, 30}},
        {"past the right edge of the last screen", {3000, 300, 400, 300}, {2800, 300}},
        {"straddling, mostly on the left", {1700, 500, 400, 300}, {1520, 500}},
        {"straddling, mostly on the right", {1800, 500, 400, 300}, {1920, 500}},
        {"above the right screen's top", {2000, 100, 400, 300}, {2000, 200}},
        {"on a screen since unplugged, left", {-2000, 400, 400, 300}, {0, 400}},
        {"on a screen since unplugged, far right", {5000, 5000, 400, 300}, {2800, 700}},
        {"larger than its screen: the title bar shows", {2500, 300, 1600, 900}, {1920, 200}},
    };
    for (const Case& c : cases) {
        const QRect placed = PlaceOnScreens(c.frame, screens);
        EXPECT_EQ(placed.topLeft(), c.expected) << c.what;
        EXPECT_EQ(placed.size(), c.frame.size()) << c.what;
    }
    EXPECT_EQ(PlaceOnScreens({5, 6, 7, 8}, {}), QRect(5, 6, 7, 8)) << "no screens";
    EXPECT_EQ(CentredOn({0, 0, 200, 100}, {100, 100, 1000, 700}).topLeft(), QPoint(500, 400));
}

} // namespace
} // namespace tq
