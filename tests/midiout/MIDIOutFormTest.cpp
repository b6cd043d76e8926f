#include "midiout/MIDIOutForm.h"
#include "EditorRig.h"
#include "FakeMidiOutput.h"
#include "midiout/MIDIInstrumentModule.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

class MIDIOutTest : public testing::Test {
protected:
    EditorRig rig;
    bool shuttingDown = false;
    FakeMidiOutput out;
    MIDIOutForm midi{{rig.log, rig.boxes, rig.form.State(), rig.switches, shuttingDown}};
    int noDevice = 0;

    void SetUp() override {
        out.ports = {"JACK: synth:in", "ALSA: Midi Through Port-0"};
        midi.SetOutputProvider([this] { return &out; });
        midi.SetNoDeviceHandler([this] { ++noDevice; });
        rig.tones.SetMidiOutput(&midi);
    }
    QStringList BoxTitles() const {
        QStringList titles;
        for (const auto& b : rig.boxes.Boxes()) {
            titles << b.title;
        }
        return titles;
    }
};

TEST(MIDIInstrumentModule, NamesKeepTheirSpellingsAndPlaces) {
    const std::pair<int, const char*> cases[] = {{0, "Grand Piano"},
                                                 {21, "Accordian"},
                                                 {43, "Contrabassoon"},
                                                 {46, "Orchestral Strings"},
                                                 {77, "Skakuhachi"},
                                                 {127, "Gunshot"},
                                                 {-1, ""},
                                                 {128, ""}};
    for (const auto& [index, name] : cases) {
        EXPECT_EQ(InstrumentName(index), name) << index;
    }
}

TEST_F(MIDIOutTest, SwitchingOnLoadsTheWindowSilencesEveryChannelAndSetsTheInstrument) {
    midi.UseMIDIOutCheck_Click(true);
    EXPECT_TRUE(midi.IsVisible());
    EXPECT_TRUE(rig.switches.UseMIDIOut);
    EXPECT_EQ(midi.DeviceItems(), QStringList({"Default (JACK: synth:in)", "JACK: synth:in",
                                               "ALSA: Midi Through Port-0"}));
    EXPECT_EQ(out.openedPort, -1); // the default port, the first
    ASSERT_EQ(out.sent.size(), 2048 + 2);
    EXPECT_EQ(out.sent.first(), "80 00 00");
    EXPECT_EQ(out.sent[127], "80 7F 00");
    EXPECT_EQ(out.sent[2047], "8F 7F 00");
    // Program 0 twice: chosen in the list, then sent once more by the start-up.
    EXPECT_EQ(out.sent.mid(2048), QStringList({"C0 00", "C0 00"}));
    EXPECT_EQ(midi.InstrumentItems().first(), "1 - Grand Piano");
    // Already open: the switch's own open is refused.
    EXPECT_TRUE(
        rig.log.Trimmed().contains("Shutting down, or MIDI Out already open - exiting sub"));

    out.sent.clear();
    midi.cmbInstrument_Click(40);
    midi.cmbChannel_Click(9);
    EXPECT_EQ(out.sent.mid(0, 2), QStringList({"C0 28", "C9 28"}));
    EXPECT_EQ(out.sent.size(), 2 + 2048);
}

TEST_F(MIDIOutTest, EveryToneGoesOutAsANoteOnAndOffOnTheChosenChannel) {
    midi.UseMIDIOutCheck_Click(true);
    midi.cmbChannel_Click(2);
    struct Case {
        const char* note;
        bool isFrequency;
        const char* on;
        const char* off;
    };
    const Case cases[] = {
        {"C4", false, "92 30 60", "82 30 00"},  {"A4", false, "92 39 60", "82 39 00"},
        {"1000", true, "92 47 60", "82 47 00"}, {"500", true, "92 3B 60", "82 3B 00"},
        {"123", true, "92 24 60", "82 24 00"},
    };
    for (const Case& c : cases) {
        out.sent.clear();
        rig.tones.UniBeepValue(c.note, 10, c.isFrequency, false, false, false);
        EXPECT_EQ(out.sent, QStringList({c.on, c.off})) << c.note;
    }
    // A channel outside 1 to 16 is the chosen one, and the log says so.
    out.sent.clear();
    for (int channel : {16, -1, 5}) {
        midi.MIDINoteOff(60, channel);
    }
    EXPECT_EQ(out.sent, QStringList({"82 3C 00", "82 3C 00", "85 3C 00"}));
    EXPECT_TRUE(rig.log.Trimmed().contains(
        "MIDINoteOff(MIDINOTENUM:60, MIDISENDCHANNEL:16) (MIDISendChannel = MIDIChannel)"));
}

TEST_F(MIDIOutTest, NoDeviceOrOneThatWillNotOpenIsReported) {
    out.ports.clear();
    midi.UseMIDIOutCheck_Click(true);
    EXPECT_EQ(BoxTitles(), QStringList({"Can't use MIDI output!"}));
    EXPECT_EQ(noDevice, 1);

    FakeMidiOutput refusing;
    refusing.ports = {"ALSA: synth"};
    refusing.opens = false;
    EditorRig r;
    MIDIOutForm m{{r.log, r.boxes, r.form.State(), r.switches, shuttingDown}};
    m.SetOutputProvider([&refusing] { return &refusing; });
    r.form.State().MusicIsPlaying = true;
    m.UseMIDIOutCheck_Click(true);
    ASSERT_EQ(r.boxes.Boxes().size(), 1u);
    EXPECT_EQ(r.boxes.Boxes()[0].text,
              "Couldn't initialize the MIDI output device which you chose to use.");
    EXPECT_FALSE(r.form.State().MusicIsPlaying);
    EXPECT_TRUE(m.MIDIOutIsOpen()); // refused again until it is closed
}

// The message does not wait for the user, who takes 5 s to read one: the tones keep time.
TEST_F(MIDIOutTest, ADeviceThatGoesAwayIsReportedOnceAndPlayGoesOnWithoutIt) {
    midi.UseMIDIOutCheck_Click(true);
    rig.boxes.WhileShown([this] { rig.clock.AdvanceMs(5000); });
    out.failAfter = 3;
    const int64_t start = rig.clock.NowNs();
    for (int i = 0; i < 5; ++i) {
        rig.tones.UniBeepValue("C4", 10, false, false, false, false);
    }
    EXPECT_EQ(BoxTitles(), QStringList({"MIDI output"}));
    EXPECT_FALSE(midi.MIDIOutIsOpen());
    const auto& tones = rig.speaker.SoundedTones(); // the speaker played every tone
    ASSERT_EQ(tones.size(), 5u);
    EXPECT_EQ(tones.back().startNs - start, 40 * EditorRig::kMs);
}

TEST_F(MIDIOutTest, WithoutItsComponentNothingLoadsAndSwitchingOffClosesAndHides) {
    midi.SetOutputProvider([] { return nullptr; });
    midi.UseMIDIOutCheck_Click(true);
    EXPECT_FALSE(midi.IsLoaded());
    EXPECT_FALSE(rig.switches.UseMIDIOut);

    midi.SetOutputProvider([this] { return &out; });
    midi.UseMIDIOutCheck_Click(true);
    midi.UseMIDIOutCheck_Click(false);
    EXPECT_FALSE(midi.IsVisible());
    EXPECT_FALSE(midi.MIDIOutIsOpen());
    EXPECT_FALSE(out.IsOpen());
    EXPECT_FALSE(rig.switches.UseMIDIOut);
}

// The list follows the ports as they come and go; the port chosen stays chosen by its name,
// and stays open unless the port to use changes.
TEST_F(MIDIOutTest, RefreshKeepsTheChosenPortByNameAndFallsBackToTheDefaultWhileItIsGone) {
    out.ports = {"ALSA: synth", "ALSA: keys"};
    midi.UseMIDIOutCheck_Click(true);
    midi.cmbMIDIOutDevice_Click(2); // ALSA: keys
    struct Step {
        QStringList ports;
        int index;
        QString shown;
        int openedPort; // -2: not opened again
    };
    const Step steps[] = {
        {{"JACK: new:in", "ALSA: synth", "ALSA: keys"}, 3, "ALSA: keys", -2},
        {{"JACK: new:in", "ALSA: synth"}, 0, "Default (JACK: new:in)", -1},
        {{"ALSA: synth"}, 0, "Default (ALSA: synth)", -1},   // the default port changed
        {{"ALSA: keys", "ALSA: synth"}, 1, "ALSA: keys", 0}, // back again
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.ports.join(", ").toStdString());
        out.ports = step.ports;
        out.openedPort = -2;
        midi.cmdRefresh_Click();
        EXPECT_EQ(midi.DeviceIndex(), step.index);
        EXPECT_EQ(midi.DeviceItems().value(step.index), step.shown);
        EXPECT_EQ(out.openedPort, step.openedPort);
        EXPECT_TRUE(out.IsOpen());
    }
    // Shown again after being switched off, the window lists what is there now.
    midi.UseMIDIOutCheck_Click(false);
    out.ports = {"ALSA: synth", "ALSA: keys"};
    midi.UseMIDIOutCheck_Click(true);
    EXPECT_EQ(midi.DeviceItems().value(midi.DeviceIndex()), "ALSA: keys");
    EXPECT_EQ(out.openedPort, 1);
    EXPECT_TRUE(BoxTitles().isEmpty());
}

TEST_F(MIDIOutTest, ABoxGreyedForWantOfADeviceIsUsableAgainOnceAPortAppears) {
    int back = 0;
    midi.SetDeviceBackHandler([&back] { ++back; });
    out.ports.clear();
    midi.UseMIDIOutCheck_Click(true);
    ASSERT_EQ(noDevice, 1);
    midi.CheckForDevices();
    EXPECT_EQ(back, 0);
    out.ports = {"ALSA: keys"};
    midi.CheckForDevices();
    midi.CheckForDevices();
    EXPECT_EQ(back, 1);
    midi.UseMIDIOutCheck_Click(true);
    EXPECT_EQ(midi.DeviceItems(), QStringList({"Default (ALSA: keys)", "ALSA: keys"}));
    EXPECT_TRUE(midi.MIDIOutIsOpen());
}

// +1 is General MIDI's numbering: "C4" goes out as note 60.
TEST_F(MIDIOutTest, TheOctaveOffsetMovesEveryNoteSentAndSilencesTheNoteSoundingAsItChanges) {
    midi.UseMIDIOutCheck_Click(true);
    struct Case {
        int offset;
        const char* note;
        QStringList sent;
    };
    const Case cases[] = {
        {0, "C4", {"90 30 60", "80 30 00"}},
        {1, "C4", {"90 3C 60", "80 3C 00"}},
        {2, "A4", {"90 51 60", "80 51 00"}},
        {-1, "C4", {"90 24 60", "80 24 00"}},
        {-2, "B0", {}},                      // below note 0: nothing is sent
        {3, "G8", {"90 7F 60", "80 7F 00"}}, // clamped to +2
    };
    for (const Case& c : cases) {
        midi.spnOctaveOffset_Change(c.offset);
        out.sent.clear();
        rig.tones.UniBeepValue(c.note, 10, false, false, false, false);
        EXPECT_EQ(out.sent, c.sent) << c.offset << " " << c.note;
    }
    EXPECT_EQ(midi.OctaveOffset(), 2);
    out.sent.clear();
    midi.MIDINoteOn(60);
    midi.spnOctaveOffset_Change(1);
    EXPECT_EQ(out.sent, QStringList({"90 3C 60", "80 3C 00"}));
}

} // namespace
} // namespace tq
