#include "EditorRig.h"
#include "RecordingClipboard.h"
#include "editor/view/MainFormBinding.h"
#include "editor/view/MainWindow.h"
#include "editor/view/MusicListView.h"
#include "editor/view/PianoKeyboard.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace tq {
namespace {

class EditingBindingTest : public testing::Test {
protected:
    EditorRig rig;
    RecordingClipboard clipboard;
    MainWindow window;
    MainFormBinding binding{rig.form, window};

    void SetUp() override {
        rig.form.SetClipboard(&clipboard);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    // A press and its release, 100 ms after the last key unless told when.
    void Key(QWidget* to, Qt::Key key, bool autoRepeat = false, ulong at = 0) {
        Send(to, QEvent::KeyPress, key, autoRepeat, at);
        Send(to, QEvent::KeyRelease, key, autoRepeat, at);
    }
    void Send(QWidget* to, QEvent::Type type, Qt::Key key, bool autoRepeat = false, ulong at = 0) {
        now = at != 0 ? at : now + 100;
        QKeyEvent event(type, key, Qt::NoModifier, QKeySequence(key).toString().toLower(),
                        autoRepeat);
        event.setTimestamp(now);
        QApplication::sendEvent(to, &event);
    }
    ulong now = 1000;
};

TEST_F(EditingBindingTest, AHeldKeyEntersOneNoteHoweverItsRepeatsArrive) {
    window.MainList->setFocus();
    // Repeats as unflagged release and press pairs at one time stamp, or a millisecond
    // apart, as some X servers send them; then the key is let go and struck again.
    Send(window.MainList, QEvent::KeyPress, Qt::Key_Z);
    for (int i = 0; i < 45; ++i) {
        const ulong t = now + 33;
        Send(window.MainList, QEvent::KeyRelease, Qt::Key_Z, false, t);
        Send(window.MainList, QEvent::KeyPress, Qt::Key_Z, false, t + (i % 2));
    }
    Send(window.MainList, QEvent::KeyPress, Qt::Key_Z); // a press while down: a repeat
    Send(window.MainList, QEvent::KeyRelease, Qt::Key_Z);
    EXPECT_EQ(rig.form.List().LineCount(), 1);
    Key(window.MainList, Qt::Key_Z);
    EXPECT_EQ(rig.form.List().LineCount(), 2);
}

TEST_F(EditingBindingTest, TheComputerKeyboardPlaysTheKeysButNeverTypesIntoATextBox) {
    window.MainList->setFocus();
    Key(window.MainList, Qt::Key_Z);
    Key(window.MainList, Qt::Key_Z, true); // a held key's repeats
    Key(window.MainList, Qt::Key_U);
    EXPECT_EQ(rig.form.List().LineCount(), 2);
    EXPECT_EQ(rig.form.List().Line(1).Note1, "C4");
    EXPECT_EQ(rig.form.List().Line(2).Note1, "B5");
    EXPECT_EQ(rig.Tones().size(), 2);
    EXPECT_TRUE(window.windowTitle().startsWith('*'));

    window.BPMText->setFocus();
    window.BPMText->selectAll();
    Key(window.BPMText, Qt::Key_5);
    EXPECT_EQ(window.BPMText->text(), "5");
    EXPECT_EQ(rig.form.List().LineCount(), 2);

    // Ctrl+Z belongs to the focused text box; elsewhere it is the Edit menu's undo.
    window.MainList->setFocus();
    EXPECT_EQ(window.UndoAction->text(), "&Undo Tempo change");
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(window.MainList, Qt::Key_Z, Qt::ControlModifier);
    }
    EXPECT_EQ(rig.form.List().LineCount(), 0);
    EXPECT_EQ(window.BPMText->text(), "140");
    EXPECT_FALSE(window.windowTitle().startsWith('*'));
    QTest::keyClick(window.MainList, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(rig.form.List().LineCount(), 1);
    EXPECT_EQ(window.RedoAction->text(), "&Redo Insert line 2");
}

TEST_F(EditingBindingTest, ShiftClickStretchesARangeFromTheSelectedLineThatCutAndPasteMove) {
    rig.Load({"Quarter C4 - -", "Half E4 - -", "Whole F4 - -", "1/8 G4 - -"});
    QCoreApplication::processEvents();
    const auto click = [this](int line, Qt::KeyboardModifiers mods) {
        const QRect r = window.MainList->visualRect(rig.form.List().index(line - 1, 1));
        QTest::mouseClick(window.MainList->viewport(), Qt::LeftButton, mods, r.center());
        QCoreApplication::processEvents();
    };
    click(3, {});
    click(2, Qt::ShiftModifier);
    QTest::keyClick(window.MainList, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(rig.form.List().GetSelectedIndex(), 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.MainList->selectionModel()->selectedRows().size(), 3);
    EXPECT_EQ(window.MainList->currentIndex().row(), 2);

    QTest::keyClick(window.MainList, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard.Text(), "Quarter C4 - -\nHalf E4 - -\nWhole F4 - -\n");
    EXPECT_EQ(rig.form.List().LineCount(), 1);
    EXPECT_TRUE(rig.form.List().IsLineSelected(1));
    QTest::keyClick(window.MainList, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(rig.form.List().LineCount(), 4);
    EXPECT_EQ(rig.form.List().Line(4).Note1, "G4");
    EXPECT_EQ(window.UndoAction->text(), "&Undo Paste 3 lines");
}

// The insertion point (the selected line, or without one the end) stays in sight as notes go
// in past the visible rows, and after undo and redo; Home and End go to the first and last
// line.
TEST_F(EditingBindingTest, TheListKeepsTheInsertionPointInSightAndHomeAndEndGoToTheEnds) {
    const auto inSight = [this] {
        QCoreApplication::processEvents();
        const MusicList& list = rig.form.List();
        const int line = list.HasSelectedLine() ? list.GetSelectedIndex() : list.LineCount();
        const QRect row = window.MainList->visualRect(rig.form.List().index(line - 1, 0));
        return window.MainList->viewport()->rect().contains(row);
    };
    for (int i = 0; i < 60; ++i) {
        QTest::mouseClick(window.Keyboard->Key(12 + i % 12), Qt::LeftButton);
        ASSERT_TRUE(inSight()) << "after note " << i + 1;
    }
    QTest::keyClick(window.MainList, Qt::Key_Home);
    EXPECT_EQ(rig.form.List().GetSelectedIndex(), 1);
    EXPECT_EQ(rig.form.Position().Labels().PlayBar, "001"); // the display follows
    EXPECT_TRUE(inSight());
    QTest::keyClick(window.MainList, Qt::Key_End);
    EXPECT_EQ(rig.form.List().GetSelectedIndex(), 60);
    QTest::keyClick(window.MainList, Qt::Key_Home);
    window.UndoAction->trigger(); // the last note goes again, at the end
    window.RedoAction->trigger();
    EXPECT_EQ(rig.form.List().LineCount(), 60);
    EXPECT_TRUE(inSight());
}

} // namespace
} // namespace tq
