#include "editor/view/MainFormBinding.h"
#include "EditorRig.h"
#include "editor/view/MainWindow.h"
#include "editor/view/MusicListView.h"
#include "editor/view/PianoKeyboard.h"
#include "editor/view/UpDownButtons.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace tq {
namespace {

class BindingTest : public testing::Test {
protected:
    EditorRig rig;
    MainWindow window;
    MainFormBinding binding{rig.form, window};

    void ClickKey(int index) { QTest::mouseClick(window.Keyboard->Key(index), Qt::LeftButton); }
    void ClickRow(int line) {
        QTableView* view = window.MainList;
        const QRect r = view->visualRect(rig.form.List().index(line - 1, 1));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    }
    QString Cell(int line, int column) {
        return rig.form.List().index(line - 1, column).data().toString();
    }
    void SetUp() override {
        window.resize(1280, 800);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

TEST_F(BindingTest, ClickingKeysWritesATuneThatShowsInTheList) {
    QTest::mouseClick(window.BPMUpDown->UpButton(), Qt::LeftButton);
    EXPECT_EQ(window.BPMText->text(), "145");
    for (int key : {12, 16, 19}) {
        ClickKey(key);
    }
    EXPECT_EQ(window.MainList->model()->rowCount(), 3);
    EXPECT_EQ(Cell(1, 1), "C4");
    EXPECT_EQ(Cell(3, 1), "G4");
    EXPECT_EQ(Cell(3, 0), "1/8");
    EXPECT_EQ(rig.Tones().size(), 3);
    EXPECT_EQ(window.lblPlayPos->text(), "01 01/04"); // the start of the last line

    // Second voice: select line 1, replace as Note 2.
    ClickRow(1);
    QTest::mouseClick(window.NoteReplaceCheck, Qt::LeftButton);
    QTest::mouseClick(window.AddNote2Option, Qt::LeftButton);
    EXPECT_TRUE(window.NoteLengthReplaceCheck->isEnabled());
    ClickKey(28);
    EXPECT_EQ(Cell(1, 2), "E5");
    QCoreApplication::processEvents(); // the list view follows at the next pass
    EXPECT_TRUE(window.MainList->selectionModel()->isRowSelected(1, {}));

    // Erase line 2 and un-select.
    QTest::mouseClick(window.Command1, Qt::LeftButton);
    EXPECT_EQ(window.MainList->model()->rowCount(), 2);
    EXPECT_EQ(Cell(2, 1), "G4");
    QTest::mouseClick(window.UnselectButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.MainList->selectionModel()->hasSelection());
    EXPECT_EQ(window.lblPlayBar->text(), "001");
}

TEST_F(BindingTest, TypingSettingsValidatesThemAndTheKeysFollowTheOctave) {
    window.BPMText->clear();
    QTest::keyClicks(window.BPMText, "39");
    EXPECT_EQ(rig.form.Settings().BPM, 140);
    EXPECT_EQ(window.BPMText->palette().color(QPalette::Base), QColor(255, 128, 0));
    QTest::keyClick(window.BPMText, Qt::Key_Backspace);
    QTest::keyClick(window.BPMText, Qt::Key_Backspace);
    QTest::keyClicks(window.BPMText, "90");
    EXPECT_EQ(rig.form.Settings().BPM, 90);
    EXPECT_NE(window.BPMText->palette().color(QPalette::Base), QColor(255, 128, 0));

    // Typing over a selected number replaces it, through a lone minus sign on the way.
    for (QLineEdit* box : {window.BPMText, window.AlternateTimeText}) {
        box->selectAll();
        QTest::keyClicks(box, "-10");
        EXPECT_EQ(box->text(), "-10");
        EXPECT_EQ(box->palette().color(QPalette::Base), QColor(255, 128, 0));
    }
    EXPECT_EQ(rig.form.Settings().BPM, 90);
    EXPECT_EQ(rig.form.Settings().AlternateTime, 30);

    // The key keeps the focus: each press steps the octave, and nothing else moves.
    window.activateWindow();
    window.Keyboard->Key(12)->setFocus();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up, Qt::ControlModifier);
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), window.Keyboard->Key(12));
    EXPECT_EQ(window.KeyboardOctaveText->text(), "6");
    EXPECT_EQ(window.Keyboard->OctLabel(2)->text(), "7");

    window.NoteSilenceRatioSlider->setValue(100);
    EXPECT_EQ(window.NoteSilenceRatioLabel->text(), "100%");
    window.TimeSigSlider->setValue(3);
    EXPECT_EQ(window.lblTimeSig->text(), "3");
}

TEST_F(BindingTest, PlayDisablesTheKeysAndStopEndsIt) {
    rig.Load({"Quarter C4 - -", "Quarter E4 G4 -"});
    bool keysWereDisabled = false;
    rig.At(300, [&] {
        keysWereDisabled = !window.Keyboard->Key(0)->isEnabled() &&
                           !window.PlayAllButton->isEnabled() && window.StopPlayButton->isEnabled();
        QTest::mouseClick(window.StopPlayButton, Qt::LeftButton);
    });
    QTest::mouseClick(window.PlayAllButton, Qt::LeftButton);
    EXPECT_TRUE(keysWereDisabled);
    EXPECT_TRUE(window.IsBeepLit()); // held a moment after the last tone
    QTest::qWait(MainFormBinding::kLampHoldMs * 3);
    EXPECT_FALSE(window.IsBeepLit());
    EXPECT_TRUE(window.Keyboard->Key(0)->isEnabled());
    EXPECT_FALSE(window.StopPlayButton->isEnabled());
    EXPECT_EQ(rig.Tones().size(), 1);

    // A line click plays that line once.
    ClickRow(2);
    EXPECT_GT(rig.Tones().size(), 2);
    EXPECT_TRUE(window.MainList->selectionModel()->isRowSelected(1, {}));
}

TEST_F(BindingTest, HelpButtonsAndModBoxesBehave) {
    QTest::mouseClick(window.UsePortaHButton, Qt::LeftButton);
    ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
    EXPECT_EQ(rig.boxes.Boxes()[0].title, "Using Piptone Portamento");
    // Over a frozen display the beat box asks first; No leaves it unticked.
    window.NoUpdateCheck->click();
    rig.boxes.Answer(MsgAnswer::No);
    window.UseBeatCheck->click();
    EXPECT_EQ(rig.boxes.Boxes().size(), 2u);
    EXPECT_FALSE(window.UseBeatCheck->isChecked());
    // Until the sound engine opens an output.
    EXPECT_FALSE(window.UseVoiceCheck->isEnabled());
    EXPECT_TRUE(window.UseVoiceCheck->toolTip().endsWith(kNoAudioOutput));
    EXPECT_TRUE(window.MutePiptoneCheck->isEnabled());
    window.MutePiptoneCheck->click();
    EXPECT_TRUE(rig.switches.MutePCSpeaker);
}

} // namespace
} // namespace tq
