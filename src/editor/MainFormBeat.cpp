// The beat sound, the circuit-bent mode and the portamento box of the main window.
#include "editor/MainForm.h"

#include "core/LogSink.h"
#include "core/Rounding.h"
#include "platform/MessageBoxes.h"
#include "playback/ToneDispatcher.h"

namespace tq {

void MainForm::PlayBeatIfDue() {
    if (UseBeat && BeatIsDue(position_.Labels().PlaySig, beat_.BeatEvenOnly)) {
        PlayTheBeat(d_.tones);
    }
}

void MainForm::SetUseBeatCheck(bool ticked) {
    SetCheck(UseBeatCheck, "UseBeatCheck", ticked);
    if (!ticked) {
        beat_.Hide();
        UseBeat = false;
        return;
    }
    if (NoUpdateCheck.Checked) {
        const MsgAnswer a = d_.boxes.Show(
            QStringLiteral("Info about playing a beat sound"),
            QStringLiteral("This requires the green position indicators to be updated during "
                           "playback. However, this can use a LOT of CPU power and cause music "
                           "to skip or stutter. Currently, 'Do not update' (in the bottom-right "
                           "corner) is ticked to prevent the position from being updated during "
                           "playback.\r\n\r\nUn-tick it?"),
            MsgButtons::YesNo, MsgIcon::Question);
        if (a != MsgAnswer::Yes) {
            SetCheck(UseBeatCheck, "UseBeatCheck", false);
            return;
        }
        SetNoUpdateCheck(false);
    }
    beat_.Show();
    UseBeat = true;
}

void MainForm::SetUseCircuitBentCheck(bool ticked) {
    SetCheck(UseCircuitBentCheck, "UseCircuitBentCheck", ticked);
    UseCircuitBent = ticked;
}

void MainForm::SetUsePortaCheck(bool ticked) {
    SetCheck(UsePortaCheck, "UsePortaCheck", ticked);
    if (usePortaClicked_) {
        usePortaClicked_(ticked);
    }
}

void MainForm::BendTimer_Timer() {
    // A muted speaker waits with the event loop running, where the next tick would
    // otherwise start a burst inside this one.
    if (!UseCircuitBent || inBend_ || !midiToNoteString_) {
        return;
    }
    inBend_ = true;
    for (int i = 0; i < 15; ++i) {
        const float r = static_cast<float>(random_ ? random_() : uniform_(generator_));
        const int note = static_cast<int>(RoundHalfEven(r * 127.0f));
        d_.tones.UniBeepValue(midiToNoteString_(note), 15, false, false, false, false);
    }
    inBend_ = false;
}

} // namespace tq
