// The pitch, timing and playing settings of the main window and their validation.
#include "editor/MainForm.h"

#include "core/LogSink.h"
#include "core/NoteLengths.h"
#include "core/Rounding.h"
#include "editor/HelpTexts.h"
#include "platform/MessageBoxes.h"
#include "playback/ToneDispatcher.h"

#include <algorithm>

namespace tq {

namespace {

constexpr int kBPMMin = 40;
constexpr int kBPMMax = 600;
constexpr int kBPMStep = 5;
constexpr int kAlternateMin = 15;
constexpr int kAlternateMax = 2000;

} // namespace

void MainForm::SetBPMText(const QString& text) {
    BPMText.Text = text;
    Changed("BPMText");
    if (text.isEmpty() || IsNumberBeingTyped(text)) {
        return;
    }
    if (!IsNumeric(text)) {
        SetBPMText(QString::number(settings_.BPM));
    } else {
        const double value = LeadingNumber(text);
        BPMText.Invalid = value < kBPMMin || value > kBPMMax;
        if (!BPMText.Invalid) {
            settings_.BPM = RoundToInt32(value);
        }
        Changed("BPMText");
        if (state_.MetronomeOn) {
            metronome_.RestartTimeBase();
        }
    }
    StopPlaying();
}

void MainForm::BPMUpDown_Step(int delta) {
    const int value = std::clamp(settings_.BPM + delta * kBPMStep, kBPMMin, kBPMMax);
    SetBPMText(QString::number(value));
}

void MainForm::SetAlternateTimeText(const QString& text) {
    AlternateTimeText.Text = text;
    Changed("AlternateTimeText");
    if (text.isEmpty() || IsNumberBeingTyped(text)) {
        KeepSongAlternateTime();
        return;
    }
    if (!IsNumeric(text)) {
        SetAlternateTimeText(QString::number(settings_.AlternateTime));
        return;
    }
    const double value = LeadingNumber(text);
    AlternateTimeText.Invalid = value < kAlternateMin || value > kAlternateMax;
    if (!AlternateTimeText.Invalid) {
        settings_.AlternateTime = RoundToInt16(value);
    }
    Changed("AlternateTimeText");
    KeepSongAlternateTime();
}

void MainForm::SetNoteSilenceRatio(int value) {
    NoteSilenceRatioSlider = std::clamp(value, 5, 100);
    settings_.NoteSilenceRatio = NoteSilenceRatioSlider;
    Changed("NoteSilenceRatioSlider");
    NoteSilenceRatioSlider_Scroll();
}

void MainForm::NoteSilenceRatioSlider_Scroll() {
    NoteSilenceRatioLabel = NumPad(NoteSilenceRatioSlider, QLatin1Char('0'), 2) + QLatin1Char('%');
    Changed("NoteSilenceRatioLabel");
    if (ratioObserver_) {
        ratioObserver_(NoteSilenceRatioSlider);
    }
}

void MainForm::SetTimeSigSlider(int value) {
    TimeSigSlider = std::clamp(value, kMinTimeSig, kMaxTimeSig);
    settings_.TimeSig = TimeSigSlider;
    lblTimeSig = QString::number(TimeSigSlider);
    Changed("TimeSigSlider");
    Changed("lblTimeSig");
}

void MainForm::SetClickPlayNote1Check(bool ticked) {
    SetCheck(ClickPlayNote1Check, "ClickPlayNote1Check", ticked);
    settings_.ClickPlayNote1 = ticked;
}

void MainForm::SetClickPlayNote2Check(bool ticked) {
    SetCheck(ClickPlayNote2Check, "ClickPlayNote2Check", ticked);
    settings_.ClickPlayNote2 = ticked;
}

void MainForm::SetPlayNote1Check(bool ticked) {
    SetCheck(PlayNote1Check, "PlayNote1Check", ticked);
    settings_.PlayNote1 = ticked;
}

void MainForm::SetPlayNote2Check(bool ticked) {
    SetCheck(PlayNote2Check, "PlayNote2Check", ticked);
    settings_.PlayNote2 = ticked;
}

void MainForm::SetNoUpdateCheck(bool ticked) {
    SetCheck(NoUpdateCheck, "NoUpdateCheck", ticked);
    if (ticked && UseBeatCheck.Checked) {
        const MsgAnswer a = d_.boxes.Show(
            QStringLiteral("Disable 'Play a beat sound'?"),
            QStringLiteral("Currently, 'Play a beat sound' is ticked, which requires the green "
                           "position indicators to be updated during playback. If you tick 'Do "
                           "not update', then the beat sound won't be able to be played.\r\n\r\n"
                           "Do you still want to stop them from being updated?"),
            MsgButtons::YesNo, MsgIcon::Question);
        if (a != MsgAnswer::Yes) {
            SetCheck(NoUpdateCheck, "NoUpdateCheck", false);
            return;
        }
    }
    d_.log.LogText(QStringLiteral("NoUpdateCheck clicked - UseNoUpdate -> ") +
                   (ticked ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
    settings_.UseNoUpdate = ticked;
    if (ticked && UseBeatCheck.Checked) {
        SetUseBeatCheck(false);
    }
    beat_.SetDisabledNoteVisible(ticked);
}

void MainForm::SetMutePiptoneCheck(bool ticked) {
    SetCheck(MutePiptoneCheck, "MutePiptoneCheck", ticked);
    d_.tones.MutePiptoneClicked(ticked);
}

void MainForm::SetUseFMODCheck(bool ticked) {
    SetCheck(UseFMODCheck, "UseFMODCheck", ticked);
    if (useFmodClicked_) {
        useFmodClicked_(ticked);
    }
}

void MainForm::EnableUseFMODCheck() {
    UseFMODCheck.Enabled = true;
    Changed("UseFMODCheck");
}

void MainForm::SetUseVoiceCheck(bool ticked) {
    SetCheck(UseVoiceCheck, "UseVoiceCheck", ticked);
    settings_.UseVoice = ticked;
    if (voice_.clicked) {
        voice_.clicked(ticked);
    }
}

void MainForm::EnableUseVoiceCheck() {
    UseVoiceCheck.Enabled = true;
    Changed("UseVoiceCheck");
}

void MainForm::SetVoiceForLine(const QString& note2) {
    if (voice_.forLine) {
        voice_.forLine(note2);
    }
}

void MainForm::SilenceVoice() {
    if (voice_.silence) {
        voice_.silence();
    }
}

void MainForm::SetUseSynchroCheck(bool ticked) {
    SetCheck(UseSynchroCheck, "UseSynchroCheck", ticked);
    if (synchro_.clicked) {
        synchro_.clicked(ticked);
    }
}

void MainForm::ReenableSynchroWaitButton() {
    if (synchro_.reenableWaitButton) {
        synchro_.reenableWaitButton();
    }
}

void MainForm::AfterPlayButtons() {
    if (synchro_.afterPlayButtons) {
        synchro_.afterPlayButtons();
    }
}

void MainForm::SetUseMIDIOutCheck(bool ticked) {
    SetCheck(UseMIDIOutCheck, "UseMIDIOutCheck", ticked);
    if (useMidiOutClicked_) {
        useMidiOutClicked_(ticked);
    }
}

void MainForm::DisableUseMIDIOutCheck(const QString& why) {
    UseMIDIOutCheck.Enabled = false;
    UseMIDIOutCheck.DisabledWhy = why;
    SetUseMIDIOutCheck(false);
}

void MainForm::EnableUseMIDIOutCheck() {
    UseMIDIOutCheck.Enabled = true;
    UseMIDIOutCheck.DisabledWhy.clear();
    Changed("UseMIDIOutCheck");
}

void MainForm::UntickMIDIBoxes() {
    if (UseMIDIFileCheck.Checked) {
        SetUseMIDIFileCheck(false);
    }
    if (UseMIDIOutCheck.Checked) {
        SetUseMIDIOutCheck(false);
    }
    if (UseMIDIInCheck.Checked) {
        SetUseMIDIInCheck(false);
    }
    d_.switches.UseMIDIOut = false;
    UseMIDIIn = false;
}

void MainForm::SetUseMIDIInCheck(bool ticked) {
    SetCheck(UseMIDIInCheck, "UseMIDIInCheck", ticked);
    if (useMidiInClicked_) {
        useMidiInClicked_(ticked);
    }
}

void MainForm::SetUseMIDIFileCheck(bool ticked) {
    SetCheck(UseMIDIFileCheck, "UseMIDIFileCheck", ticked);
    if (useMidiFileClicked_) {
        useMidiFileClicked_(ticked);
    }
}

void MainForm::SetUseMIDIInCheckEnabled(bool enabled, const QString& why) {
    UseMIDIInCheck.Enabled = enabled;
    UseMIDIInCheck.DisabledWhy = why;
    Changed("UseMIDIInCheck");
}

void MainForm::SetUseMIDIFileCheckEnabled(bool enabled, const QString& why) {
    UseMIDIFileCheck.Enabled = enabled;
    UseMIDIFileCheck.DisabledWhy = why;
    Changed("UseMIDIFileCheck");
}

void MainForm::DisableMotorControls(const QString& why) {
    UseMotorCheck.Enabled = false;
    UseMotorCheck.DisabledWhy = why;
    MotorOctSliderEnabled = false;
    Changed("UseMotorCheck");
}

void MainForm::EnableMotorControls() {
    UseMotorCheck.Enabled = true;
    MotorOctSliderEnabled = true;
    Changed("UseMotorCheck");
}

void MainForm::SetUseMotorCheck(bool ticked) {
    SetCheck(UseMotorCheck, "UseMotorCheck", ticked);
    const bool on = useMotorClicked_ ? useMotorClicked_(ticked) : ticked;
    if (on != ticked) {
        SetCheck(UseMotorCheck, "UseMotorCheck", on);
    }
}

void MainForm::SetMotorOctSlider(int value) {
    MotorOctSlider = std::clamp(value, 0, 5);
    Changed("MotorOctSlider");
    MotorOctSlider_Scroll();
}

void MainForm::MotorOctSlider_Scroll() {
    d_.switches.MotorOctave = MotorOctSlider;
}

void MainForm::HelpButton_Click(const QString& buttonName) {
    const HelpText* help = FindHelpText(buttonName);
    if (help) {
        d_.boxes.Show(help->title, help->text, MsgButtons::Ok, MsgIcon::Information);
    }
}

} // namespace tq
