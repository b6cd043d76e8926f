#include "midiout/MIDIOutForm.h"

#include "core/LogSink.h"
#include "core/MidiOctave.h"
#include "midiout/MIDIInstrumentModule.h"
#include "platform/MessageBoxes.h"
#include "platform/MidiOutput.h"
#include "playback/PlayerState.h"

namespace tq {

namespace {

constexpr int kNoteOn = 144;
constexpr int kNoteOff = 128;
constexpr int kProgramChange = 192;
constexpr int kChannels = 16;
constexpr int kNotes = 128;

QString Quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

} // namespace

MIDIOutForm::MIDIOutForm(Deps deps, QObject* parent) : QObject(parent), d_(deps) {}

void MIDIOutForm::UseMIDIOutCheck_Click(bool ticked) {
    if (!ticked) {
        CloseOutputDevice();
        visible_ = false;
        emit Changed();
        d_.switches.UseMIDIOut = false;
        return;
    }
    MidiOutput* out = provider_ ? provider_() : nullptr;
    if (out == nullptr) {
        return; // the component could not be had, and the user has been told why
    }
    out_ = out;
    visible_ = true;
    if (loaded_) {
        // Ports may have come or gone while the window was hidden.
        ListAgain();
        emit Changed();
    } else {
        Load();
    }
    d_.switches.UseMIDIOut = true;
    OpenOutputDevice();
}

void MIDIOutForm::Load() {
    loaded_ = true;
    visible_ = true;
    emit Changed();
    SetUpComboBox();
    channelItems_.clear();
    for (int n = 1; n <= kChannels; ++n) {
        channelItems_ << QString::number(n);
    }
    SelectChannel(0);
    instrumentItems_.clear();
    for (int n = 1; n <= kNotes; ++n) {
        instrumentItems_ << QString::number(n) + QStringLiteral(" - ") + InstrumentName(n - 1);
    }
    SelectInstrument(0);
    SendInstrumentChange();
}

void MIDIOutForm::SetUpComboBox() {
    d_.log.LogIndentInc(QStringLiteral("MIDIOutForm.SetUpComboBox() - START"));
    emit ShowInfoText(QStringLiteral("Scanning for output devices, just a sec..."));
    if (d_.shuttingDown || open_) {
        d_.log.LogText(QStringLiteral("Shutting down, or MIDI Out already open - exiting sub"));
    } else {
        const QStringList names = out_ ? out_->PortNames() : QStringList();
        if (names.isEmpty()) {
            d_.log.LogText(QStringLiteral("No MIDI output devices - exiting sub"));
        } else {
            ListDevices(names);
            deviceNumber_ = -1;
            SelectDevice(0);
            OpenOutputDevice();
        }
    }
    d_.log.LogIndentDec(QStringLiteral("MIDIOutForm.SetUpComboBox() - END"));
}

void MIDIOutForm::ListDevices(const QStringList& names) {
    deviceItems_.clear();
    const int count = static_cast<int>(names.size());
    for (int id = -1; id < count; ++id) {
        d_.log.LogText(QStringLiteral("Scanning output devices - -1 to %1").arg(count - 1));
        deviceNumber_ = id;
        // Device -1 is the system's default port, the first one.
        const QString name =
            id < 0 ? QStringLiteral("Default (") + names.first() + QLatin1Char(')') : names[id];
        d_.log.LogText(QStringLiteral("DEVICEID:%1, PRODUCTNAME:%2").arg(id).arg(name));
        deviceItems_ << name;
    }
}

QString MIDIOutForm::PortOfItem(int index) const {
    if (index < 0 || index >= deviceItems_.size()) {
        return QString();
    }
    return deviceItems_[index == 0 ? 1 : index];
}

bool MIDIOutForm::ListAgain() {
    d_.log.LogIndentInc(QStringLiteral("MIDIOutForm.ListAgain() - START"));
    emit ShowInfoText(QStringLiteral("Scanning for output devices, just a sec..."));
    const QStringList names = out_ ? out_->PortNames() : QStringList();
    deviceItems_.clear();
    deviceIndex_ = -1;
    if (names.isEmpty()) {
        d_.log.LogText(QStringLiteral("No MIDI output devices"));
    } else {
        ListDevices(names);
        // Entry k is port k - 1; a chosen port that has gone leaves the default in use.
        deviceIndex_ = wantedPort_.isEmpty() ? 0 : static_cast<int>(names.indexOf(wantedPort_)) + 1;
        if (deviceIndex_ == 0 && !wantedPort_.isEmpty()) {
            d_.log.LogText(QStringLiteral("Chosen device ") + Quoted(wantedPort_) +
                           QStringLiteral(" is not there - using the default"));
        }
    }
    d_.log.LogIndentDec(QStringLiteral("MIDIOutForm.ListAgain() - END"));
    return !(open_ && out_ != nullptr && out_->IsOpen() && PortOfItem(deviceIndex_) == openPort_);
}

void MIDIOutForm::cmdRefresh_Click() {
    const bool reopen = ListAgain();
    emit Changed();
    if (reopen) {
        CloseOutputDevice();
        OpenOutputDevice();
    }
}

void MIDIOutForm::OpenOutputDevice() {
    d_.log.LogIndentInc(QStringLiteral("MIDIOutForm.OpenOutputDevice() - START"));
    emit ShowInfoText(QStringLiteral("Opening output device, just a sec..."));
    if (d_.shuttingDown || open_) {
        d_.log.LogText(QStringLiteral("Shutting down, or MIDI Out already open - exiting sub"));
    } else {
        const QString selected = deviceIndex_ >= 0 ? deviceItems_[deviceIndex_] : QString();
        d_.log.LogText(QStringLiteral("Selected device is ") + Quoted(selected));
        if (deviceIndex_ < 0) {
            d_.log.LogText(QStringLiteral(
                "Can't open non-existing device - showing 'No MIDI output' message."));
            d_.boxes.Show(
                QStringLiteral("Can't use MIDI output!"),
                QStringLiteral("No MIDI output device can be found - can't use MIDI output."),
                MsgButtons::Ok, MsgIcon::Exclamation);
            greyedForWantOfDevice_ = true;
            if (noDevice_) {
                noDevice_();
            }
        } else {
            deviceNumber_ = deviceIndex_ - 1;
            open_ = true;
            QString why;
            if (out_ == nullptr || !out_->Open(deviceNumber_, &why)) {
                d_.log.LogText(QStringLiteral("Couldn't open device"));
                if (!why.isEmpty()) {
                    d_.log.LogText(why);
                }
                d_.boxes.Show(QStringLiteral("Can't use MIDI out"),
                              QStringLiteral("Couldn't initialize the MIDI output device which "
                                             "you chose to use."),
                              MsgButtons::Ok, MsgIcon::Exclamation);
                d_.log.LogText(QStringLiteral("MainForm.MusicIsPlaying -> FALSE"));
                d_.state.MusicIsPlaying = false;
            } else {
                openPort_ = PortOfItem(deviceIndex_);
            }
            SendInstrumentChange();
        }
    }
    d_.log.LogIndentDec(QStringLiteral("MIDIOutForm.OpenOutputDevice() - END"));
}

void MIDIOutForm::CloseOutputDevice() {
    d_.log.LogText(QStringLiteral("MIDIOutForm.CloseOutputDevice()"));
    emit ShowInfoText(QStringLiteral("Closing output device, just a sec..."));
    if (out_) {
        out_->Close();
    }
    open_ = false;
    openPort_.clear();
    sounding_.reset();
}

void MIDIOutForm::cmbMIDIOutDevice_Click(int index) {
    deviceIndex_ = index;
    wantedPort_ = index > 0 ? PortOfItem(index) : QString();
    CloseOutputDevice();
    OpenOutputDevice();
}

void MIDIOutForm::cmbChannel_Click(int index) {
    channelIndex_ = index;
    channel_ = index;
    SendInstrumentChange();
    // Notes left sounding on any channel are silenced, not only on the new one.
    sounding_.reset();
    for (int c = 0; c < kChannels; ++c) {
        emit ShowInfoText(QStringLiteral("Silencing channel %1/16, just a sec...").arg(c + 1));
        for (int note = 0; note < kNotes; ++note) {
            Send(kNoteOff + c, note, 0);
        }
    }
}

void MIDIOutForm::cmbInstrument_Click(int index) {
    instrumentIndex_ = index;
    SendInstrumentChange();
}

void MIDIOutForm::spnOctaveOffset_Change(int offset) {
    offset = ClampOctaveOffset(offset);
    if (offset == octaveOffset_) {
        return;
    }
    d_.log.LogText(QStringLiteral("MIDIOutForm octave offset -> %1").arg(offset));
    for (int note = 0; note < kNotes; ++note) {
        if (sounding_.test(static_cast<size_t>(note))) {
            Send(kNoteOff + channel_, note, 0);
        }
    }
    sounding_.reset();
    octaveOffset_ = offset;
    emit Changed();
}

void MIDIOutForm::CheckForDevices() {
    if (!greyedForWantOfDevice_ || out_ == nullptr || out_->PortNames().isEmpty()) {
        return;
    }
    d_.log.LogText(QStringLiteral("A MIDI output device has appeared - UseMIDIOutCheck usable"));
    greyedForWantOfDevice_ = false;
    if (deviceBack_) {
        deviceBack_();
    }
}

void MIDIOutForm::CloseBoxClick() {
    visible_ = false;
    emit Changed();
}

void MIDIOutForm::SelectDevice(int index) {
    cmbMIDIOutDevice_Click(index);
    emit Changed();
}

void MIDIOutForm::SelectChannel(int index) {
    cmbChannel_Click(index);
    emit Changed();
}

void MIDIOutForm::SelectInstrument(int index) {
    cmbInstrument_Click(index);
    emit Changed();
}

int MIDIOutForm::NoteToMIDI(int noteNum, int octave) {
    return MidiNoteOfProgramNote(MIDINoteNumber(noteNum, octave), octaveOffset_);
}

void MIDIOutForm::MIDINoteOn(int midiNote) {
    d_.log.LogText(QStringLiteral("MIDINoteOn(%1)").arg(midiNote));
    Send(kNoteOn + channel_, midiNote, kNoteOnVelocity);
    if (midiNote >= 0 && midiNote < kNotes) {
        sounding_.set(static_cast<size_t>(midiNote));
    }
}

void MIDIOutForm::MIDINoteOff(int midiNote, int midiSendChannel) {
    if (midiSendChannel < 0 || midiSendChannel >= kChannels) {
        d_.log.LogText(QStringLiteral("MIDINoteOff(MIDINOTENUM:%1, MIDISENDCHANNEL:%2) "
                                      "(MIDISendChannel = MIDIChannel)")
                           .arg(midiNote)
                           .arg(midiSendChannel));
        midiSendChannel = channel_;
    }
    Send(kNoteOff + midiSendChannel, midiNote, 0);
    if (midiNote >= 0 && midiNote < kNotes) {
        sounding_.reset(static_cast<size_t>(midiNote));
    }
}

void MIDIOutForm::SendInstrumentChange() {
    // Before the instrument list is filled nothing is chosen, and nothing is sent.
    if (instrumentIndex_ >= 0) {
        Send(kProgramChange + channel_, instrumentIndex_, 0);
    }
}

void MIDIOutForm::Send(int status, int data1, int data2) {
    if (out_ == nullptr || !out_->IsOpen()) {
        return;
    }
    // A data byte of 128 or more would be read as the start of another message.
    if (data1 < 0 || data1 >= kNotes || data2 < 0 || data2 >= kNotes) {
        d_.log.LogText(QStringLiteral("MIDI data %1, %2 is outside 0 to 127 - not sent")
                           .arg(data1)
                           .arg(data2));
        return;
    }
    if (!out_->SendShortMessage(static_cast<uint8_t>(status), static_cast<uint8_t>(data1),
                                static_cast<uint8_t>(data2))) {
        ReportLostDevice();
    }
}

void MIDIOutForm::ReportLostDevice() {
    const QString why = out_->TakeFailure();
    if (why.isEmpty()) {
        return;
    }
    // Told once; the device is closed, so the song plays on without it.
    d_.log.LogText(QStringLiteral("MIDI output device lost: ") + why);
    out_->Close();
    open_ = false;
    d_.boxes.Notify(QStringLiteral("MIDI output"),
                    QStringLiteral("The MIDI output device stopped working:\r\n") + why +
                        QStringLiteral("\r\n\r\nPlaying goes on without MIDI output. Choose a "
                                       "device in 'MIDI Output Settings' to try again."),
                    MsgIcon::Exclamation);
}

} // namespace tq
