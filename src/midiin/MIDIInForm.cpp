#include "midiin/MIDIInForm.h"

#include "core/LogSink.h"
#include "editor/MainForm.h"
#include "platform/MessageBoxes.h"
#include "platform/MidiInput.h"
#include "platform/NamedTimers.h"

#include <algorithm>

namespace tq {

namespace {

constexpr uint8_t kActiveSensing = 254;

QString Quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

} // namespace

MIDIInForm::MIDIInForm(MainForm& main, NamedTimers& timers, QObject* parent)
    : HeldNoteWindow(main, timers, kTimerKey, parent) {}

void MIDIInForm::UseMIDIInCheck_Click(bool ticked) {
    if (!ticked) {
        main_.FMODBeepStop();
        // The player's timer stops with the box, as with the window's close box: a tick
        // with nothing held would still set the pulse time and restart the cycle.
        timers_.SetEnabled(kTimerKey, false);
        CloseInputDevice();
        main_.ReturnAlternateTime();
        visible_ = false;
        emit Changed();
        main_.UseMIDIIn = false;
        main_.SetUseMIDIFileCheckEnabled(true);
        return;
    }
    MidiInput* in = provider_ ? provider_() : nullptr;
    if (in == nullptr) {
        return; // the component could not be had, and the user has been told why
    }
    if (in != in_) {
        in_ = in;
        in_->SetMessagesWaiting([this] { MIDIIn_Message(); });
    }
    main_.SetUseMIDIFileCheckEnabled(false,
                                     QStringLiteral("Not while 'Use live MIDI input' is ticked."));
    visible_ = true;
    if (loaded_) {
        // A keyboard may have been plugged in or out while the window was hidden.
        ListAgain();
        emit Changed();
    } else {
        Load();
    }
    main_.UseMIDIIn = true;
    OpenInputDevice();
}

void MIDIInForm::Load() {
    loaded_ = true;
    visible_ = true;
    emit Changed();
    SetUpComboBox();
    SetAutoTimeCheck(true);
    timers_.Add(kTimerKey, 2, true);
}

void MIDIInForm::SetUpComboBox() {
    LogSink& log = main_.Log();
    log.LogIndentInc(QStringLiteral("MIDIInForm.SetUpComboBox() - START"));
    if (main_.ShuttingDown || open_) {
        log.LogText(QStringLiteral("Shutting down, or MIDI In already open - exiting sub"));
    } else {
        const QStringList names = in_ ? in_->PortNames() : QStringList();
        if (names.isEmpty()) {
            log.LogText(QStringLiteral("No MIDI input devices - exiting sub"));
        } else {
            ListDevices(names);
            cmbMIDIInDevice_Click(0);
            emit Changed();
            OpenInputDevice();
        }
    }
    log.LogIndentDec(QStringLiteral("MIDIInForm.SetUpComboBox() - END"));
}

void MIDIInForm::ListDevices(const QStringList& names) {
    LogSink& log = main_.Log();
    deviceItems_.clear();
    const int count = static_cast<int>(names.size());
    for (int id = 0; id < count; ++id) {
        log.LogText(QStringLiteral("Scanning input devices - -1 to %1").arg(count - 1));
        log.LogText(QStringLiteral("DEVICEID:%1, PRODUCTNAME:%2").arg(id).arg(names[id]));
        deviceItems_ << names[id];
    }
}

bool MIDIInForm::ListAgain() {
    LogSink& log = main_.Log();
    log.LogIndentInc(QStringLiteral("MIDIInForm.ListAgain() - START"));
    const QStringList names = in_ ? in_->PortNames() : QStringList();
    ListDevices(names);
    deviceIndex_ = -1;
    if (names.isEmpty()) {
        log.LogText(QStringLiteral("No MIDI input devices"));
    } else {
        deviceIndex_ = std::max(0, static_cast<int>(names.indexOf(wantedPort_)));
        if (wantedPort_.isEmpty()) {
            wantedPort_ = names[deviceIndex_]; // none was listed before: the first is chosen
        } else if (names[deviceIndex_] != wantedPort_) {
            log.LogText(QStringLiteral("Chosen device ") + Quoted(wantedPort_) +
                        QStringLiteral(" is not there - using the first"));
        }
    }
    log.LogIndentDec(QStringLiteral("MIDIInForm.ListAgain() - END"));
    return !(open_ && in_ != nullptr && in_->IsOpen() && deviceIndex_ >= 0 &&
             deviceItems_[deviceIndex_] == openPort_);
}

void MIDIInForm::cmdRefresh_Click() {
    const bool reopen = ListAgain();
    emit Changed();
    if (reopen) {
        CloseInputDevice();
        OpenInputDevice();
    }
}

void MIDIInForm::CheckForDevices() {
    const CheckBoxState& box = main_.UseMIDIInCheck;
    if (box.Enabled || box.DisabledWhy != kNoDeviceWhy || in_ == nullptr ||
        in_->PortNames().isEmpty()) {
        return;
    }
    main_.Log().LogText(QStringLiteral("A MIDI input device has appeared - UseMIDIInCheck usable"));
    main_.SetUseMIDIInCheckEnabled(true);
}

void MIDIInForm::OpenInputDevice() {
    LogSink& log = main_.Log();
    log.LogIndentInc(QStringLiteral("MIDIInForm.OpenInputDevice() - START"));
    if (main_.ShuttingDown || open_) {
        log.LogText(QStringLiteral("Shutting down, or MIDI In already open - exiting sub"));
    } else {
        const QString selected = deviceIndex_ >= 0 ? deviceItems_[deviceIndex_] : QString();
        log.LogText(QStringLiteral("Selected device is ") + Quoted(selected));
        if (deviceIndex_ < 0) {
            log.LogText(QStringLiteral(
                "Can't open non-existing device - showing 'No MIDI input' message."));
            main_.Boxes().Show(
                QStringLiteral("Can't use MIDI input!"),
                QStringLiteral("No MIDI input device can be found - can't use MIDI input.\r\n\r\n"
                               "If you're simply trying to play a MIDI file through this "
                               "program, please use the 'Play a MIDI file' checkbox instead."),
                MsgButtons::Ok, MsgIcon::Exclamation);
            main_.SetUseMIDIInCheckEnabled(false, kNoDeviceWhy);
            main_.SetUseMIDIInCheck(false);
            main_.SetUseMIDIFileCheckEnabled(true);
            timers_.SetEnabled(kTimerKey, false);
        } else {
            open_ = true;
            QString why;
            if (in_ != nullptr && in_->Open(deviceIndex_, &why)) {
                openPort_ = deviceItems_[deviceIndex_];
                in_->Start();
                in_->SetFiltered(kActiveSensing, true);
                timers_.SetEnabled(kTimerKey, true);
            } else {
                log.LogText(QStringLiteral("Couldn't open device"));
                if (!why.isEmpty()) {
                    log.LogText(why);
                }
                main_.Boxes().Show(QStringLiteral("Can't use MIDI in"),
                                   QStringLiteral("Couldn't initialize the MIDI input device "
                                                  "which you chose to use."),
                                   MsgButtons::Ok, MsgIcon::Exclamation);
                log.LogText(QStringLiteral("MainForm.MusicIsPlaying -> FALSE"));
                main_.State().MusicIsPlaying = false;
            }
        }
    }
    log.LogIndentDec(QStringLiteral("MIDIInForm.OpenInputDevice() - END"));
}

void MIDIInForm::CloseInputDevice() {
    main_.Log().LogText(QStringLiteral("MIDIInForm.CloseInputDevice()"));
    AllNotesOff();
    if (in_ != nullptr) {
        in_->Stop();
        in_->Close();
    }
    open_ = false;
    openPort_.clear();
}

void MIDIInForm::cmbMIDIInDevice_Click(int index) {
    deviceIndex_ = index;
    wantedPort_ = index >= 0 && index < deviceItems_.size() ? deviceItems_[index] : QString();
    CloseInputDevice();
    OpenInputDevice();
}

void MIDIInForm::MIDIIn_Message() {
    if (in_ == nullptr) {
        return;
    }
    MidiMessage m;
    bool pressed = false;
    while (in_->TakeMessage(&m)) {
        const bool wasHeld = HeldState(m.data1) != 0;
        NoteMessage(m.status, m.data1, m.data2);
        pressed = pressed || (!wasHeld && HeldState(m.data1) == 1);
    }
    if (const QString why = in_->TakeFailure(); !why.isEmpty()) {
        ReportLostDevice(why);
    }
    if (pressed) {
        PlayNewNoteSoon();
    }
}

void MIDIInForm::ReportLostDevice(const QString& why) {
    // Told once; the notes it held are released, so nothing goes on sounding.
    main_.Log().LogText(QStringLiteral("MIDI input device lost: ") + why);
    CloseInputDevice();
    main_.Boxes().Notify(QStringLiteral("MIDI input"),
                         QStringLiteral("The MIDI input device stopped working:\r\n") + why +
                             QStringLiteral("\r\n\r\nChoose a device in 'Live MIDI Input "
                                            "Settings' to try again."),
                         MsgIcon::Exclamation);
}

void MIDIInForm::CloseBoxClick() {
    if (open_) {
        timers_.SetEnabled(kTimerKey, false);
        main_.SetUseMIDIInCheck(false);
        CloseInputDevice();
    }
    visible_ = false;
    emit Changed();
}

void MIDIInForm::Step() {
    main_.PlayLiveMIDIInput(*this);
}

} // namespace tq
