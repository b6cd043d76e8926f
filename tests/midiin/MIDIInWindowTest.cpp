#include "midiin/MIDIInWindow.h"
#include "EditorRig.h"
#include "MidiFileBytes.h"
#include "editor/MainFormSongTarget.h"
#include "midifile/SmfReader.h"
#include "midiin/HeldNotesPanel.h"
#include "midiin/MIDIFileForm.h"
#include "midiin/MIDIFileWindow.h"
#include "midiin/MIDIInForm.h"
#include "platform/MidiInput.h"
#include "platform/QtNamedTimers.h"
#include "platform/ScriptedFileDialogs.h"
#include "songfile/SongFormat.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace tq {
namespace {

// Ports that open and never send: the test plays notes into the table itself.
class QuietMidiInput final : public MidiInput {
public:
    QStringList ports{QStringLiteral("JACK: keys:out")};
    int openedPort = -1; // -1: not opened since the test last set it

    QStringList PortNames() override { return ports; }
    bool Open(int port, QString*) override {
        openedPort = port;
        return open_ = true;
    }
    bool IsOpen() const override { return open_; }
    void Start() override {}
    void Stop() override {}
    void Close() override { open_ = false; }
    void SetFiltered(uint8_t, bool) override {}
    void SetMessagesWaiting(std::function<void()>) override {}
    bool TakeMessage(MidiMessage*) override { return false; }
    QString TakeFailure() override { return {}; }

private:
    bool open_ = false;
};

struct Shown {
    QStringList captions;
    int playing = -1;
    bool coloursRight = true;
};

Shown ShownGrid(const HeldNotesPanel& panel) {
    Shown shown;
    for (int i = 0; i < HeldNoteGrid::kLabels; ++i) {
        const QLabel* label = panel.lblOnNotes[static_cast<size_t>(i)];
        if (!label->isVisible()) {
            continue;
        }
        shown.captions << label->text();
        const QColor back = label->palette().color(QPalette::Window);
        if (back == QColor(255, 0, 0)) {
            shown.playing = i;
        } else if (back != QColor(128, 0, 0)) {
            shown.coloursRight = false;
        }
        shown.coloursRight &= label->palette().color(QPalette::WindowText) == Qt::white;
    }
    return shown;
}

TEST(MIDIInWindow, TheGridShowsTheHeldNotesThePlayingOneBrightAndHowManyMoreThereAre) {
    EditorRig rig;
    VirtualNamedTimers timers{rig.clock, rig.pump}; // no tick handler: the test steps
    QuietMidiInput in;
    MIDIInForm form(rig.form, timers);
    form.SetInputProvider([&in] { return &in; });
    MIDIInWindow window(form);
    form.UseMIDIInCheck_Click(true);
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.cmbMIDIInDevice->currentText(), "JACK: keys:out");
    const HeldNotesPanel& panel = *window.HeldNotes;
    const QRect lastCell = panel.lblOnNotes[31]->geometry();

    std::vector<int> forty(40);
    std::iota(forty.begin(), forty.end(), 20);
    struct Step {
        std::vector<int> held;
        QStringList firstCaptions;
        int visible;
        int playing;
        QString more; // empty: hidden
        QString count;
    };
    const std::vector<Step> steps = {
        {{48, 52, 55}, {"C4", "E4", "G4"}, 3, 0, "", " (3)"},
        {{48, 52, 55}, {"C4", "E4", "G4"}, 3, 1, "", " (3)"},
        {{49, 61}, {"C#4", "C#5"}, 2, 0, "", " (2)"}, // the cycle wraps for fewer notes
        {forty, {"G#1", "A1"}, 32, 1, "(8 more)", " (40)"},
        {{}, {}, 0, -1, "", " (0)"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.count.toStdString());
        form.AllNotesOff();
        for (int note : step.held) {
            form.NoteMessage(0x90, note, 100);
        }
        rig.form.PlayLiveMIDIInput(form);
        const Shown shown = ShownGrid(panel);
        EXPECT_EQ(shown.captions.size(), step.visible);
        EXPECT_EQ(shown.captions.mid(0, step.firstCaptions.size()), step.firstCaptions);
        EXPECT_EQ(shown.playing, step.playing);
        EXPECT_TRUE(shown.coloursRight);
        EXPECT_EQ(panel.lblMoreOnNotes->isVisible(), !step.more.isEmpty());
        if (!step.more.isEmpty()) {
            EXPECT_EQ(panel.lblMoreOnNotes->text(), step.more);
        }
        EXPECT_EQ(panel.lblHeldCount->text(), step.count);
        EXPECT_EQ(panel.lblOnNotes[31]->geometry(), lastCell);
    }
}

TEST(MIDIInWindow, LiveInputLendsTheSongItsPulseTimeAndGivesTheSongsOwnBack) {
    EditorRig rig;
    MainFormSongTarget song(rig.form);
    song.SetAlternateTime(25);
    song.SetAlternateTimeText("25");
    VirtualNamedTimers timers{rig.clock, rig.pump};
    QuietMidiInput in;
    MIDIInForm form(rig.form, timers);
    form.SetInputProvider([&in] { return &in; });
    form.UseMIDIInCheck_Click(true);
    ASSERT_TRUE(timers.IsEnabled(MIDIInForm::kTimerKey));
    form.NoteMessage(0x90, 60, 100);
    rig.form.PlayLiveMIDIInput(form);
    EXPECT_EQ(rig.form.Settings().AlternateTime, 15); // the automatic pulse time
    EXPECT_EQ(song.AlternateTimeText(), "25");        // what a save writes
    EXPECT_TRUE(SongText(song).contains("AlternateTime 25\r\n"));
    form.UseMIDIInCheck_Click(false);
    EXPECT_FALSE(timers.IsEnabled(MIDIInForm::kTimerKey));
    EXPECT_EQ(rig.form.Settings().AlternateTime, 25);
    EXPECT_EQ(rig.form.AlternateTimeText.Text, "25");
    EXPECT_FALSE(rig.form.IsModified());
}

// A keyboard plugged in after the box was greyed out for want of one makes it usable; the
// Refresh button then finds the chosen keyboard by its name wherever the list puts it.
TEST(MIDIInWindow, AKeyboardPluggedInLaterIsFoundAndKeptByName) {
    EditorRig rig;
    VirtualNamedTimers timers{rig.clock, rig.pump};
    QuietMidiInput in;
    in.ports.clear();
    MIDIInForm form(rig.form, timers);
    form.SetInputProvider([&in] { return &in; });
    rig.form.SetUseMIDIInClicked([&form](bool ticked) { form.UseMIDIInCheck_Click(ticked); });
    MIDIInWindow window(form);
    rig.form.SetUseMIDIInCheck(true);
    ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
    EXPECT_EQ(rig.boxes.Boxes()[0].title, "Can't use MIDI input!");
    ASSERT_FALSE(rig.form.UseMIDIInCheck.Enabled);

    const QStringList keys = {"JACK: keys:out"};
    const struct {
        QString greyedBecause;
        QStringList ports;
        bool usable;
    } checks[] = {
        {MIDIInForm::kNoDeviceWhy, {}, false},
        {"Not while 'Play a MIDI file' is ticked.", keys, false},
        {MIDIInForm::kNoDeviceWhy, keys, true},
    };
    for (const auto& c : checks) {
        in.ports = c.ports;
        rig.form.SetUseMIDIInCheckEnabled(false, c.greyedBecause);
        form.CheckForDevices();
        EXPECT_EQ(rig.form.UseMIDIInCheck.Enabled, c.usable) << c.greyedBecause.toStdString();
    }

    rig.form.SetUseMIDIInCheck(true);
    ASSERT_TRUE(form.MIDIInIsOpen());
    ASSERT_TRUE(window.isVisible());
    const struct {
        QStringList ports;
        int index;
        int openedPort;
    } refreshes[] = {
        {{"ALSA: piano", "JACK: keys:out"}, 1, -1}, // moved: still open, not reopened
        {{"ALSA: piano"}, 0, 0},                    // gone: the first port meanwhile
        {{"JACK: keys:out", "ALSA: piano"}, 0, 0},  // back
    };
    for (const auto& r : refreshes) {
        in.ports = r.ports;
        in.openedPort = -1;
        window.cmdRefresh->click();
        EXPECT_EQ(window.cmbMIDIInDevice->currentIndex(), r.index);
        EXPECT_EQ(in.openedPort, r.openedPort);
        EXPECT_TRUE(form.MIDIInIsOpen());
    }
    EXPECT_EQ(window.cmbMIDIInDevice->currentText(), "JACK: keys:out");
    EXPECT_EQ(rig.boxes.Boxes().size(), 1u);
}

// +1 is General MIDI's numbering: note 60, middle C, plays as "C4".
TEST(MIDIInWindow, TheOctaveOffsetNamesAndPlaysIncomingNotesOctavesLowerOrHigher) {
    EditorRig rig;
    VirtualNamedTimers timers{rig.clock, rig.pump};
    QuietMidiInput in;
    MIDIInForm form(rig.form, timers);
    form.SetInputProvider([&in] { return &in; });
    MIDIInWindow window(form);
    form.UseMIDIInCheck_Click(true);
    QSpinBox& offset = *window.HeldNotes->spnOctaveOffset;
    const struct {
        int offset;
        int note;
        const char* shown;
        QString name; // empty: the note sits out
        int hertz;
    } cases[] = {
        {0, 60, "0", "C5", 523},  {1, 60, "+1", "C4", 262}, {-1, 57, "-1", "A5", 880},
        {2, 69, "+2", "A3", 220}, {2, 23, "+2", "", 0}, // below "C0"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        offset.setValue(c.offset);
        EXPECT_EQ(form.OctaveOffset(), c.offset);
        EXPECT_EQ(offset.text(), c.shown);
        form.AllNotesOff();
        form.NoteMessage(0x90, c.note, 100);
        const qsizetype before = rig.Tones().size();
        rig.form.PlayLiveMIDIInput(form);
        if (c.name.isEmpty()) {
            EXPECT_EQ(rig.Tones().size(), before);
            EXPECT_EQ(window.HeldNotes->lblHeldCount->text(), " (0)");
        } else {
            ASSERT_EQ(rig.Tones().size(), before + 1);
            EXPECT_TRUE(rig.Tones().last().startsWith(QString::number(c.hertz) + '@'));
            EXPECT_EQ(window.HeldNotes->lblOnNotes[0]->text(), c.name);
        }
    }
}

// While the handle is held the play neither jumps at each step nor pulls the handle back;
// letting go moves the play once, to where the handle was left.
TEST(MIDIFileWindow, DraggingThePositionSliderMovesThePlayOnceWhereItIsLetGo) {
    EditorRig rig;
    VirtualNamedTimers timers{rig.clock, rig.pump};
    ScriptedFileDialogs dialogs;
    SmfReader reader;
    MIDIFileForm form(rig.form, timers, rig.clock, dialogs);
    timers.SetTickHandler([&form](const QString& key) { form.cTmr_Timer(key); });
    form.SetReaderProvider([&reader] { return &reader; });
    using namespace smf;
    QByteArray notes; // 100 notes of 50 ms at 120 BPM, 96 ticks a quarter
    for (int n = 0; n < 100; ++n) {
        notes += Ev(0, {0x90, 60, 100}) + Ev(10, {0x80, 60, 0});
    }
    QTemporaryDir dir;
    QFile file(dir.filePath("run.mid"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(File(0, 96, {notes + EndOfTrack()}));
    file.close();
    form.UseMIDIFileCheck_Click(true);
    ASSERT_TRUE(form.OpenFile(file.fileName()));
    MIDIFileWindow window(form);
    QSlider& slider = *window.sldPosition;
    form.cmdPlay_Click();
    rig.sleep.MsgWaitObj(300);
    const int before = form.PlayPos();
    ASSERT_GT(before, 0);

    slider.setSliderDown(true);
    for (int position : {300, 500, 700}) {
        slider.setSliderPosition(position);
        rig.sleep.MsgWaitObj(50);
        EXPECT_EQ(slider.sliderPosition(), position);
        EXPECT_LT(form.PlayPos(), before + 20); // play went on from where it was
    }
    slider.setSliderDown(false);
    EXPECT_EQ(form.PlayPos(), 700 * form.TotalEvents() / MIDIFileForm::kSliderMax);
    EXPECT_TRUE(form.IsPlaying());
}

} // namespace
} // namespace tq
