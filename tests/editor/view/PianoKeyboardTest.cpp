#include "editor/view/PianoKeyboard.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace tq {
namespace {

const QString KeyTip = QStringLiteral(
    "Click any of these keys on this keyboard to hear the note / add it to the list of music "
    "(depending on the options on the left of this window)");
const QString OctTip = QStringLiteral("Says what octave (multiple of pitch) the notes will be made "
                                      "in when you click a key in the coloured group below");

class PianoKeyboardTest : public testing::Test {
protected:
    PianoKeyboardTest() {
        keyboard.resize(21 * 40, 220);
        keyboard.show();
        QCoreApplication::processEvents();
    }

    QRect KeyRect(int index) const { return keyboard.Key(index)->geometry(); }

    PianoKeyboard keyboard;
};

TEST_F(PianoKeyboardTest, KeysAreNamedCaptionedAndColouredByGroupAndNote) {
    const QString captions[12] = {"C", "", "D", "", "E", "F", "", "G", "", "A", "", "B"};
    for (int i = 0; i < PianoKeyboard::KeyCount; ++i) {
        auto* key = qobject_cast<PianoKeyButton*>(keyboard.Key(i));
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->objectName(), QStringLiteral("PianoKey%1").arg(i));
        EXPECT_EQ(key->text(), captions[i % 12]) << i;
        EXPECT_EQ(key->IsBlack(), captions[i % 12].isEmpty()) << i;
        EXPECT_EQ(key->toolTip(), KeyTip) << i;
    }
    for (int group = 0; group < PianoKeyboard::GroupCount; ++group) {
        EXPECT_EQ(keyboard.OctLabel(group)->objectName(), QStringLiteral("OctLabel%1").arg(group));
        EXPECT_EQ(keyboard.OctLabel(group)->toolTip(), OctTip);
    }
}

TEST_F(PianoKeyboardTest, WhiteKeysFormOneRowAndBlackKeysSitOverTheGaps) {
    const QRect c = KeyRect(12);
    const QRect d = KeyRect(14);
    const QRect sharp = KeyRect(13);
    // Neighbouring white keys share their border line, across group boundaries too.
    for (auto [left, right] : {std::pair{0, 2}, {4, 5}, {11, 12}, {23, 24}, {33, 35}}) {
        EXPECT_EQ(KeyRect(right).left(), KeyRect(left).right()) << left << "-" << right;
        EXPECT_EQ(KeyRect(right).height(), KeyRect(left).height());
    }
    EXPECT_EQ(KeyRect(0).left(), 0);
    EXPECT_EQ(KeyRect(35).right(), keyboard.width() - 1);
    EXPECT_NEAR(double(sharp.width()) / c.width(), 255.0 / 375, 0.08);
    EXPECT_NEAR(double(sharp.height()) / c.height(), 735.0 / 1335, 0.02);
    EXPECT_EQ(sharp.top(), c.top());
    EXPECT_NEAR(sharp.center().x(), d.left(), 1.5);
    // The octave labels stand above their own group.
    for (int group = 0; group < PianoKeyboard::GroupCount; ++group) {
        const QRect label = keyboard.OctLabel(group)->geometry();
        EXPECT_LE(label.bottom(), c.top());
        EXPECT_GE(label.left(), KeyRect(group * 12).left());
        EXPECT_LE(label.right(), KeyRect(group * 12 + 11).right());
    }
}

TEST_F(PianoKeyboardTest, PointsOnTheKeyboardHitTheKeyDrawnThere) {
    const QRect c = KeyRect(24);
    const QRect sharp = KeyRect(25);
    const QRect e = KeyRect(28);
    struct Case {
        QPoint point;
        int key;
    };
    const Case cases[] = {
        {{sharp.center().x(), sharp.top() + 2}, 25},   // black key over the C/D border
        {{sharp.left() + 1, sharp.bottom() - 1}, 25},  // its lower left corner
        {{sharp.left() + 1, sharp.bottom() + 4}, 24},  // just below it, on C
        {{sharp.right() - 1, sharp.bottom() + 4}, 26}, // just below it, on D
        {{e.right() - 1, e.top() + 2}, 28},            // E and F have no black key between
        {{c.center().x(), c.bottom() - 2}, 24},        // the caption end of C
    };
    for (const Case& t : cases) {
        QWidget* hit = keyboard.childAt(t.point);
        ASSERT_NE(hit, nullptr) << t.key;
        EXPECT_EQ(hit->objectName(), QStringLiteral("PianoKey%1").arg(t.key));
    }
}

TEST_F(PianoKeyboardTest, ClickingAKeyReportsItsIndex) {
    QSignalSpy clicked(&keyboard, &PianoKeyboard::KeyClicked);
    for (int index : {0, 13, 23, 24, 35}) {
        clicked.clear();
        QTest::mouseClick(keyboard.Key(index), Qt::LeftButton);
        ASSERT_EQ(clicked.count(), 1) << index;
        EXPECT_EQ(clicked.at(0).at(0).toInt(), index);
    }
}

TEST_F(PianoKeyboardTest, KeyPressesOnAFocusedKeyReportKeyCodeAndModifiers) {
    QSignalSpy down(&keyboard, &PianoKeyboard::KeyDown);
    struct Case {
        int key;
        Qt::Key code;
        Qt::KeyboardModifiers mods;
    };
    const Case cases[] = {
        {13, Qt::Key_Up, Qt::ControlModifier},
        {30, Qt::Key_Down, Qt::ControlModifier},
        {0, Qt::Key_A, Qt::ShiftModifier},
    };
    for (const Case& c : cases) {
        down.clear();
        keyboard.Key(c.key)->setFocus();
        QTest::keyClick(keyboard.Key(c.key), c.code, c.mods);
        // The modifier key itself arrives first, as its own key-down.
        ASSERT_EQ(down.count(), 2) << c.key;
        EXPECT_EQ(down.at(1).at(0).toInt(), c.key);
        EXPECT_EQ(down.at(1).at(1).toInt(), int(c.code));
        EXPECT_EQ(down.at(1).at(2).value<Qt::KeyboardModifiers>(), c.mods);
    }
}

TEST_F(PianoKeyboardTest, DisabledKeysIgnoreClicksUntilEnabledAgain) {
    QSignalSpy clicked(&keyboard, &PianoKeyboard::KeyClicked);
    keyboard.SetKeysEnabled(false);
    for (int i = 0; i < PianoKeyboard::KeyCount; ++i) {
        EXPECT_FALSE(keyboard.Key(i)->isEnabled()) << i;
    }
    QTest::mouseClick(keyboard.Key(13), Qt::LeftButton);
    QTest::mouseClick(keyboard.Key(14), Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 0);

    keyboard.SetKeysEnabled(true);
    QTest::mouseClick(keyboard.Key(13), Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(PianoKeyboardTest, OctaveCaptionsStartAtThreeFourFiveAndCanBeSet) {
    EXPECT_EQ(keyboard.OctLabel(0)->text(), "3");
    EXPECT_EQ(keyboard.OctLabel(1)->text(), "4");
    EXPECT_EQ(keyboard.OctLabel(2)->text(), "5");
    keyboard.SetOctLabelCaption(2, QStringLiteral("13"));
    EXPECT_EQ(keyboard.OctLabel(2)->text(), "13");
}

} // namespace
} // namespace tq
