#include "midiin/MIDIFileForm.h"
#include "EditorRig.h"
#include "platform/MidiFileReader.h"
#include "platform/QtNamedTimers.h"
#include "platform/ScriptedFileDialogs.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tq {
namespace {

// One track at 1 ms a tick: a tempo of 500000 us a quarter note, 500 ticks to it.
class OneTrackReader final : public MidiFileReader {
public:
    std::vector<MidiFileEvent> events;
    bool Parse(const QByteArray& bytes, QString* why) override {
        if (bytes.startsWith("bad")) {
            *why = QStringLiteral("not a MIDI file");
            return false;
        }
        return true;
    }
    int TrackCount() const override { return 1; }
    int TicksPerQuarterNote() const override { return 500; }
    double SmpteMillisecondsPerTick() const override { return 0; }
    int EventCount(int track) const override {
        return track == 1 ? static_cast<int>(events.size()) : 0;
    }
    MidiFileEvent Event(int track, int index) const override {
        if (track != 1 || index < 1 || index > static_cast<int>(events.size())) {
            return {};
        }
        return events[static_cast<size_t>(index - 1)];
    }
};

MidiFileEvent Note(uint32_t delta, uint8_t status, uint8_t note, uint8_t velocity) {
    return {delta, 500000, status, note, velocity};
}

class MIDIFileFormTest : public testing::Test {
protected:
    EditorRig rig;
    VirtualNamedTimers timers{rig.clock, rig.pump};
    ScriptedFileDialogs dialogs;
    OneTrackReader reader;
    MIDIFileForm file{rig.form, timers, rig.clock, dialogs};
    QTemporaryDir dir;

    void SetUp() override {
        timers.SetTickHandler([this](const QString& key) { file.cTmr_Timer(key); });
        file.SetReaderProvider([this] { return &reader; });
        // A: 0-100 ms, then A and C together 200-300 ms.
        reader.events = {Note(0, 0x90, 69, 100), Note(100, 0x80, 69, 0), Note(100, 0x90, 69, 100),
                         Note(0, 0x91, 72, 100), Note(100, 0x80, 69, 0), Note(0, 0x81, 72, 0)};
        file.UseMIDIFileCheck_Click(true);
        QFile f(dir.filePath("song.mid"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("MThd");
        f.close();
        ASSERT_TRUE(file.OpenFile(f.fileName()));
    }
    void RunMs(int ms) { rig.sleep.MsgWaitObj(ms); }
    QList<int> Frequencies() const {
        QList<int> out;
        for (const auto& t : rig.speaker.SoundedTones()) {
            out << t.frequency;
        }
        return out;
    }
};

TEST_F(MIDIFileFormTest, PlayingSoundsWhatTheFileHoldsAndStopsAtTheEnd) {
    // The empty place before the 6 events and the 20 after them; the last note ends at
    // 300 ms.
    EXPECT_EQ(file.TotalEvents(), 1 + 6 + 20);
    EXPECT_EQ(file.SongLength(), 300);
    file.cmdPlay_Click();
    RunMs(400);
    EXPECT_FALSE(file.IsPlaying());
    EXPECT_EQ(file.PosPercent(), "100.00%");
    EXPECT_EQ(file.PosSecs(), "00:00.30");
    const QList<int> f = Frequencies();
    ASSERT_FALSE(f.isEmpty());
    EXPECT_EQ(f.first(), 880);     // note 69 is "A5"
    EXPECT_TRUE(f.contains(1046)); // note 72, "C6", only in the chord
    // Play at the end starts again from the beginning.
    file.cmdPlay_Click();
    EXPECT_TRUE(file.IsPlaying());
    EXPECT_EQ(file.PlayPos(), 0);
}

TEST_F(MIDIFileFormTest, TheSliderMovesThePositionAndPlayGoesOnFromThereOnlyIfItWasPlaying) {
    file.sldPosition_Change(500); // stopped: only the position moves
    EXPECT_FALSE(file.IsPlaying());
    EXPECT_EQ(file.PlayPos(), 13); // 500 / 1000 x 26
    EXPECT_EQ(file.PosSecs(), "00:00.30");
    file.sldPosition_Change(0);
    file.cmdPlay_Click();
    RunMs(50);
    file.sldPosition_Change(80); // playing: play goes on from event 2, at 100 ms
    EXPECT_TRUE(file.IsPlaying());
    EXPECT_EQ(file.PlayPos(), 2);
    RunMs(20);
    EXPECT_EQ(rig.speaker.SoundedTones().back().frequency, 880);
}

TEST_F(MIDIFileFormTest, LoopPlaysAgainAndUntickingAChannelReleasesEveryNote) {
    file.chkLoop_Click(true);
    file.cmdPlay_Click();
    RunMs(250); // A and C held
    EXPECT_EQ(file.HeldState(72), 1);
    file.ListenChannelCheck_Click(1, false);
    EXPECT_EQ(file.HeldState(69), 0);
    EXPECT_EQ(file.HeldState(72), 0);
    RunMs(400); // past the end: rewound and playing again
    EXPECT_TRUE(file.IsPlaying());
    EXPECT_LT(file.PlayPos(), file.TotalEvents());
}

TEST_F(MIDIFileFormTest, AFileTheReaderRefusesIsReportedAndDisablesPlayback) {
    QFile f(dir.filePath("bad.mid"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("bad");
    f.close();
    EXPECT_FALSE(file.OpenFile(f.fileName()));
    ASSERT_EQ(rig.boxes.Boxes().size(), 1u);
    EXPECT_EQ(rig.boxes.Boxes()[0].title, "Failed to open MIDI file!");
    EXPECT_FALSE(file.PlaybackControlsEnabled());
}

} // namespace
} // namespace tq
