#include "midiout/MIDIOutWindow.h"
#include "EditorRig.h"
#include "FakeMidiOutput.h"
#include "midiout/MIDIOutForm.h"

#include <QComboBox>
#include <QLabel>

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(MIDIOutWindow, ShowsTheChoicesOfTheStartUpAndItsCloseBoxHides) {
    EditorRig rig;
    bool shuttingDown = false;
    FakeMidiOutput out;
    out.ports = {"JACK: synth:in"};
    MIDIOutForm form{{rig.log, rig.boxes, rig.form.State(), rig.switches, shuttingDown}};
    form.SetOutputProvider([&out] { return &out; });
    MIDIOutWindow window(form);

    form.UseMIDIOutCheck_Click(true);
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "MIDI Output Settings");
    EXPECT_EQ(window.cmbMIDIOutDevice->currentText(), "Default (JACK: synth:in)");
    EXPECT_EQ(window.cmbChannel->currentText(), "1");
    EXPECT_EQ(window.cmbInstrument->count(), 128);
    EXPECT_EQ(window.cmbInstrument->currentText(), "1 - Grand Piano");
    EXPECT_FALSE(window.lblInfoText->isVisible());

    window.cmbChannel->setCurrentIndex(3);
    emit window.cmbChannel->activated(3);
    EXPECT_EQ(form.MIDIChannel(), 3);
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(form.IsVisible());
    EXPECT_TRUE(form.MIDIOutIsOpen()); // hiding the window leaves the mod on
}

} // namespace
} // namespace tq
