#include "editor/view/MainWindow.h"
#include "editor/view/MusicListView.h"
#include "editor/view/PianoKeyboard.h"
#include "editor/view/UpDownButtons.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardItemModel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace tq {
namespace {

struct Member {
    const char* name;
    std::function<QWidget*(const MainWindow&)> get;
};

#define TQ_MEMBER(m)                                                                               \
    Member {                                                                                       \
#m, [](const MainWindow& w) -> QWidget* { return w.m; }                                    \
    }

// Every control the logic binds to, under its given name.
const std::vector<Member>& Members() {
    static const std::vector<Member> members = {
        TQ_MEMBER(MainList),
        TQ_MEMBER(Label1),
        TQ_MEMBER(KeyboardOctaveText),
        TQ_MEMBER(KeyboardOctaveUpDown),
        TQ_MEMBER(Label2),
        TQ_MEMBER(NoteLengthCombo),
        TQ_MEMBER(ModDottedCheck),
        TQ_MEMBER(ModTripletCheck),
        TQ_MEMBER(NoteClickFrame),
        TQ_MEMBER(NoteClickPlayCheck),
        TQ_MEMBER(AddingNoteFrame),
        TQ_MEMBER(NoteClickAddCheck),
        TQ_MEMBER(AddNote1Option),
        TQ_MEMBER(AddNote2Option),
        TQ_MEMBER(NoteReplaceCheck),
        TQ_MEMBER(NoteLengthReplaceCheck),
        TQ_MEMBER(SilentLineButton),
        TQ_MEMBER(ClearNote1Button),
        TQ_MEMBER(ClearNote2Button),
        TQ_MEMBER(Command1),
        TQ_MEMBER(UnselectButton),
        TQ_MEMBER(Label3),
        TQ_MEMBER(BPMText),
        TQ_MEMBER(BPMUpDown),
        TQ_MEMBER(AlternateTimeLabel),
        TQ_MEMBER(AlternateTimeText),
        TQ_MEMBER(mSLabel),
        TQ_MEMBER(Label4),
        TQ_MEMBER(Label6),
        TQ_MEMBER(NoteSilenceRatioSlider),
        TQ_MEMBER(Label5),
        TQ_MEMBER(NoteSilenceRatioLabel),
        TQ_MEMBER(Label8),
        TQ_MEMBER(TimeSigSlider),
        TQ_MEMBER(lblTimeSig),
        TQ_MEMBER(NotesToPlayFrame),
        TQ_MEMBER(LineClickFrame),
        TQ_MEMBER(ClickPlayNote1Check),
        TQ_MEMBER(ClickPlayNote2Check),
        TQ_MEMBER(MusicPlayFrame),
        TQ_MEMBER(PlayNote1Check),
        TQ_MEMBER(PlayNote2Check),
        TQ_MEMBER(PlayAllButton),
        TQ_MEMBER(PlayFromLineButton),
        TQ_MEMBER(StopPlayButton),
        TQ_MEMBER(MetronomeButton),
        TQ_MEMBER(SaveLoadButton),
        TQ_MEMBER(lblPlayBar),
        TQ_MEMBER(lblPlayPos),
        TQ_MEMBER(lblPlaySig),
        TQ_MEMBER(NoUpdateCheck),
        TQ_MEMBER(NoUpdateHButton),
        TQ_MEMBER(BeepTextLabel),
        TQ_MEMBER(lblDebug),
        TQ_MEMBER(ModsLabel),
        TQ_MEMBER(MutePiptoneCheck),
        TQ_MEMBER(UseFMODCheck),
        TQ_MEMBER(UseFMODHButton),
        TQ_MEMBER(UseVoiceCheck),
        TQ_MEMBER(UseVoiceHButton),
        TQ_MEMBER(UseMIDIOutCheck),
        TQ_MEMBER(UseMIDIOutHButton),
        TQ_MEMBER(UseMIDIInCheck),
        TQ_MEMBER(UseMIDIInHButton),
        TQ_MEMBER(UseMIDIFileCheck),
        TQ_MEMBER(UseMIDIFileHButton),
        TQ_MEMBER(UseSynchroCheck),
        TQ_MEMBER(UseSynchroHButton),
        TQ_MEMBER(UsePortaCheck),
        TQ_MEMBER(UsePortaHButton),
        TQ_MEMBER(UseMotorCheck),
        TQ_MEMBER(Label7),
        TQ_MEMBER(MotorOctSlider),
        TQ_MEMBER(UseBeatCheck),
        TQ_MEMBER(UseBeatHButton),
        TQ_MEMBER(UseCircuitBentCheck),
        TQ_MEMBER(UseCircuitBentHButton),
    };
    return members;
}

QString Caption(const QWidget* widget) {
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget)) {
        return frame->title();
    }
    return widget->property("text").toString();
}

// The visible widgets a layout places, through its nested layouts: siblings, all children
// of the layout's widget.
void AddLaidOut(QLayout* layout, std::vector<QWidget*>& placed) {
    for (int i = 0; i < layout->count(); ++i) {
        if (QWidget* widget = layout->itemAt(i)->widget(); widget && widget->isVisible()) {
            placed.push_back(widget);
        } else if (QLayout* nested = layout->itemAt(i)->layout()) {
            AddLaidOut(nested, placed);
        }
    }
}

class MainWindowTest : public testing::Test {
protected:
    MainWindow window;
};

TEST_F(MainWindowTest, EveryMemberCarriesItsGivenNameAsObjectName) {
    for (const Member& m : Members()) {
        QWidget* widget = m.get(window);
        ASSERT_NE(widget, nullptr) << m.name;
        EXPECT_EQ(widget->objectName(), QLatin1String(m.name));
        EXPECT_EQ(window.findChildren<QWidget*>(QLatin1String(m.name)).size(), 1) << m.name;
    }
}

TEST_F(MainWindowTest, ControlsShowTheirCaptionsAndTooltips) {
    struct Case {
        const char* name;
        const char* caption;
        const char* tip;
    };
    const Case cases[] = {
        {"Label1", "Octave",
         "Changes the numbers above each coloured section of the keyboard which represent what "
         "octave (multiple of pitch) of the note those keys make"},
        {"KeyboardOctaveUpDown", nullptr,
         "Changes the numbers above each coloured section of the keyboard which represent what "
         "octave (multiple of pitch) of the note those keys make"},
        {"BPMText", "140",
         "Number of beats, i.e. quarter-notes, per minute (tempo or speed which the music will "
         "be played at)"},
        {"AlternateTimeLabel", "Switch between alternating notes every:",
         "When a line in the music has a Note 1 and Note 2, the program switches between them "
         "quickly when it comes to the line. This is how quickly (i.e. shorter time = faster)"},
        {"NoteSilenceRatioLabel", "50%",
         "Lets notes not be 'packed tightly together' by keeping the note on for only some of "
         "the time of the 'Length' in the line of music"},
        {"TimeSigSlider", nullptr,
         "Affects the position displays down in the bottom-right of this window"},
        {"ModTripletCheck", "Triplet", "Make note length one third of what it normally is"},
        {"MusicPlayFrame", "When the music is being played,", ""},
        {"SilentLineButton", "&Blank line",
         "For inserting a silent line, or if you're replacing notes, for only replacing the "
         "Length (if that is ticked)"},
        {"UnselectButton", "&Un-select line",
         "For if you end up inserting lines just before the last one because you can't "
         "un-select the last line by clicking in blank parts of the list..."},
        {"PlayFromLineButton", "Play from selected line",
         "Play all the lines in the list of music starting from the one which is selected (if "
         "nothing's selected, it plays form the first line)"},
        {"StopPlayButton", "Stop playing",
         "Stop playing lines in the list of music (if the music has notes which are long, it "
         "may take a second or so to stop)"},
        {"SaveLoadButton", "&SAVE / LOAD", ""},
        {"lblPlayPos", "01", ""},
        {"lblPlaySig", "00.00", ""},
        {"NoUpdateCheck", "Do not update",
         "Please tick this if there are many notes, and the music skips or CPU usage is too "
         "high!"},
        {"BeepTextLabel", "BEEP", "Represents when there is sound coming out of the piptone"},
        {"lblDebug", "DEBUG LOGGING ENABLED", ""},
        {"UseVoiceCheck", "Use voice system",
         "Play Note 2 with a rubbish system which attempts to mimic voice formants"},
        {"UseMIDIFileCheck", "Play a MIDI file",
         "Play any received MIDI notes (no limit to number of simultaneous notes!)"},
        {"UseMotorCheck", "Use motor-speed mod (via SSC-32 and SyRen10)",
         "Just in case you happen to have a spare microcontroller and motor speed controller "
         "lying around ;P"},
        {"UseCircuitBentCheck", "Act as if circuit-bent",
         "Plays fast random notes all the time. Yeah, it's a waste."},
        {"UseCircuitBentHButton", "?", ""},
    };
    for (const Case& c : cases) {
        auto* widget = window.findChild<QWidget*>(QLatin1String(c.name));
        ASSERT_NE(widget, nullptr) << c.name;
        if (c.caption != nullptr) {
            EXPECT_EQ(Caption(widget), QString::fromUtf8(c.caption)) << c.name;
        }
        EXPECT_EQ(widget->toolTip(), QString::fromUtf8(c.tip)) << c.name;
    }
    EXPECT_EQ(window.windowTitle(), "Tonquill by Vellomar (v0.9.148 BETA)");
}

TEST_F(MainWindowTest, ControlsStartWithTheirDesignValues) {
    struct SliderCase {
        QSlider* slider;
        int minimum, maximum, value, page, ticks;
    };
    const SliderCase sliders[] = {
        {window.NoteSilenceRatioSlider, 5, 100, 50, 5, 5},
        {window.TimeSigSlider, 1, 32, 4, 4, 4},
        {window.MotorOctSlider, 0, 5, 2, 5, 1},
    };
    for (const SliderCase& s : sliders) {
        EXPECT_EQ(s.slider->minimum(), s.minimum) << s.slider->objectName().toStdString();
        EXPECT_EQ(s.slider->maximum(), s.maximum);
        EXPECT_EQ(s.slider->value(), s.value);
        EXPECT_EQ(s.slider->singleStep(), 1);
        EXPECT_EQ(s.slider->pageStep(), s.page);
        EXPECT_EQ(s.slider->tickInterval(), s.ticks);
    }
    for (auto [upDown, minimum, maximum, step] :
         {std::tuple{window.BPMUpDown, 40, 600, 5}, {window.KeyboardOctaveUpDown, 2, 9, 1}}) {
        EXPECT_EQ(upDown->Minimum(), minimum);
        EXPECT_EQ(upDown->Maximum(), maximum);
        EXPECT_EQ(upDown->Step(), step);
    }
    EXPECT_EQ(window.BPMUpDown->Buddy(), window.BPMText);
    EXPECT_EQ(window.KeyboardOctaveUpDown->Buddy(), window.KeyboardOctaveText);

    EXPECT_EQ(window.NoteLengthCombo->count(), 5);
    EXPECT_EQ(window.NoteLengthCombo->currentText(), "1/8");
    EXPECT_EQ(window.NoteLengthCombo->itemText(2), "1/4 (Quarter)");

    for (QCheckBox* ticked :
         {window.PlayNote1Check, window.PlayNote2Check, window.ClickPlayNote1Check,
          window.ClickPlayNote2Check, window.NoteClickPlayCheck, window.NoteClickAddCheck}) {
        EXPECT_TRUE(ticked->isChecked()) << ticked->objectName().toStdString();
    }
    EXPECT_FALSE(window.NoUpdateCheck->isChecked());
    EXPECT_TRUE(window.AddNote1Option->isChecked());
    EXPECT_FALSE(window.NoteLengthReplaceCheck->isEnabled());
    EXPECT_FALSE(window.IsBeepLit());
    EXPECT_TRUE(window.lblDebug->isHidden());
}

TEST_F(MainWindowTest, UpDownArrowsAndArrowKeysAskForOneStepEach) {
    QSignalSpy up(window.BPMUpDown, &UpDownButtons::StepUp);
    QSignalSpy down(window.BPMUpDown, &UpDownButtons::StepDown);
    QTest::mouseClick(window.BPMUpDown->UpButton(), Qt::LeftButton);
    QTest::mouseClick(window.BPMUpDown->DownButton(), Qt::LeftButton);
    QTest::mouseClick(window.BPMUpDown->DownButton(), Qt::LeftButton);
    QTest::keyClick(window.BPMText, Qt::Key_Up);
    EXPECT_EQ(up.count(), 2);
    EXPECT_EQ(down.count(), 2);
    // The up-down leaves the text to its owner.
    EXPECT_EQ(window.BPMText->text(), "140");
}

TEST_F(MainWindowTest, StateColoursFollowTheHelpers) {
    const QColor systemBase = QApplication::palette(window.BPMText).color(QPalette::Base);
    MainWindow::SetTextBoxValid(window.BPMText, false);
    EXPECT_EQ(window.BPMText->palette().color(QPalette::Base), QColor(255, 128, 0));
    MainWindow::SetTextBoxValid(window.BPMText, true);
    EXPECT_EQ(window.BPMText->palette().color(QPalette::Base), systemBase);

    window.SetMetronomeButtonLit(true);
    EXPECT_EQ(window.MetronomeButton->palette().color(QPalette::Button), QColor(192, 255, 192));
    window.SetMetronomeButtonLit(false);
    EXPECT_EQ(window.MetronomeButton->palette().color(QPalette::Button),
              QApplication::palette(window.MetronomeButton).color(QPalette::Button));

    EXPECT_EQ(window.lblPlayPos->palette().color(QPalette::Window), QColor(0, 128, 0));
    window.SetPlayPosError(true);
    EXPECT_EQ(window.lblPlayPos->palette().color(QPalette::Window), QColor(255, 0, 0));
    window.SetPlayPosError(false);
    EXPECT_EQ(window.lblPlayPos->palette().color(QPalette::Window), QColor(0, 128, 0));
}

TEST_F(MainWindowTest, ListColumnsFillTheListInTheirProportions) {
    QStandardItemModel model(3, 4);
    window.MainList->setModel(&model);
    window.resize(1280, 800);
    window.show();
    QCoreApplication::processEvents();
    const int units[4] = {49, 44, 44, 39};
    const int available = window.MainList->viewport()->width();
    int total = 0;
    for (int c = 0; c < 4; ++c) {
        const int width = window.MainList->columnWidth(c);
        EXPECT_NEAR(width, available * units[c] / 176.0, 2.0) << c;
        total += width;
    }
    EXPECT_EQ(total, available);
    EXPECT_EQ(window.MainList->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

TEST_F(MainWindowTest, AtTheDesignSizeEveryControlIsWholeInsideTheWindowAndApart) {
    const QSize design(1280, 800);
    EXPECT_LE(window.minimumSizeHint().width(), design.width());
    EXPECT_LE(window.minimumSizeHint().height(), design.height());
    window.SetBeepLit(true);
    window.lblDebug->show();
    window.resize(design);
    window.show();
    QCoreApplication::processEvents();
    ASSERT_EQ(window.size(), design);

    std::vector<std::pair<const char*, QRect>> placed;
    for (const Member& m : Members()) {
        QWidget* widget = m.get(window);
        if (qobject_cast<QGroupBox*>(widget) != nullptr) {
            continue; // frames hold other controls
        }
        const QRect rect(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        EXPECT_TRUE(widget->isVisible()) << m.name;
        EXPECT_TRUE(window.rect().contains(rect)) << m.name;
        const QSize least = widget->minimumSizeHint();
        EXPECT_GE(rect.width(), least.width()) << m.name;
        EXPECT_GE(rect.height(), least.height()) << m.name;
        placed.emplace_back(m.name, rect);
    }
    placed.emplace_back(
        "Keyboard", QRect(window.Keyboard->mapTo(&window, QPoint(0, 0)), window.Keyboard->size()));
    for (std::size_t a = 0; a < placed.size(); ++a) {
        for (std::size_t b = a + 1; b < placed.size(); ++b) {
            EXPECT_FALSE(placed[a].second.intersects(placed[b].second))
                << placed[a].first << " overlaps " << placed[b].first;
        }
    }
    EXPECT_GE(window.Keyboard->height(), window.Keyboard->sizeHint().height());
}

TEST_F(MainWindowTest, AtItsLeastSizeNothingOverlapsNoCaptionIsCutAndItFitsASmallLaptopScreen) {
    window.SetBeepLit(true);
    window.lblDebug->show();
    window.show();
    window.resize(1, 1);
    QCoreApplication::processEvents();
    ASSERT_EQ(window.size(), window.minimumSizeHint());
    EXPECT_TRUE(QRect(0, 0, 1280, 650).contains(window.rect())); // 1280x720 less panel and title

    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets << &window;
    for (QWidget* widget : widgets) {
        std::vector<QWidget*> placed;
        if (widget->layout() != nullptr && widget->isVisible()) {
            AddLaidOut(widget->layout(), placed);
        }
        for (std::size_t a = 0; a < placed.size(); ++a) {
            EXPECT_TRUE(widget->rect().contains(placed[a]->geometry()))
                << placed[a]->objectName().toStdString();
            for (std::size_t b = a + 1; b < placed.size(); ++b) {
                EXPECT_FALSE(placed[a]->geometry().intersects(placed[b]->geometry()))
                    << placed[a]->objectName().toStdString() << " overlaps "
                    << placed[b]->objectName().toStdString();
            }
        }
        const bool captioned = qobject_cast<QAbstractButton*>(widget) ||
                               qobject_cast<QLabel*>(widget) || qobject_cast<QGroupBox*>(widget);
        if (captioned && widget->isVisible() && !Caption(widget).isEmpty()) {
            const QSize least = widget->minimumSizeHint();
            EXPECT_GE(widget->width(), least.width()) << Caption(widget).toStdString();
            EXPECT_GE(widget->height(), widget->hasHeightForWidth()
                                            ? widget->heightForWidth(widget->width())
                                            : least.height())
                << Caption(widget).toStdString();
        }
    }
    // The ratio is the note's share: "Silence" at the low end, "Note" at the high end.
    EXPECT_LT(window.Label5->x(), window.NoteSilenceRatioSlider->x());
    EXPECT_GT(window.Label6->x(), window.NoteSilenceRatioSlider->x());
}

} // namespace
} // namespace tq
