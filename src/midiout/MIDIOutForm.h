#pragma once

#include "playback/ToneOutputs.h"

#include <QObject>
#include <QStringList>

#include <bitset>
#include <cstdint>
#include <functional>

namespace tq {

class LogSink;
class MessageBoxes;
class MidiOutput;
struct PlayerState;

// The logic of the "MIDI Output Settings" window: the device, channel and instrument
// lists, opening and closing the device, and the messages every tone sends through it.
// The device is reached through the MIDI ports component, which is installed and loaded
// only when the mod is first switched on.
class MIDIOutForm final : public QObject, public MidiToneOutput {
    Q_OBJECT
public:
    struct Deps {
        LogSink& log;
        MessageBoxes& boxes;
        PlayerState& state;       // MusicIsPlaying, cleared when a device will not open
        OutputSwitches& switches; // UseMIDIOut
        const bool& shuttingDown; // the program is closing: nothing is opened any more
    };
    explicit MIDIOutForm(Deps deps, QObject* parent = nullptr);

    // Makes sure the MIDI ports component is installed and loaded, and gives its output
    // (null when it cannot be had; whoever installs it has then said why).
    void SetOutputProvider(std::function<MidiOutput*()> provider) {
        provider_ = std::move(provider);
    }
    // No device at all: the main window greys out and clears its "Use MIDI output" box.
    void SetNoDeviceHandler(std::function<void()> handler) { noDevice_ = std::move(handler); }
    // A port has appeared since the box was greyed out for want of one: it can be ticked.
    void SetDeviceBackHandler(std::function<void()> handler) { deviceBack_ = std::move(handler); }

    // UseMIDIOutCheck's click on the main window.
    void UseMIDIOutCheck_Click(bool ticked);

    // The window start-up, run when the window is first shown.
    void Load();
    void SetUpComboBox();
    void OpenOutputDevice();
    void CloseOutputDevice();

    void cmbMIDIOutDevice_Click(int index);
    void cmbChannel_Click(int index);
    void cmbInstrument_Click(int index);
    // Lists the ports again. The chosen port is found by its name wherever it is now; when
    // it has gone the default port is used until it comes back. The device is reopened
    // only when the port to use is not the one open.
    void cmdRefresh_Click();
    // Moves every note sent by whole octaves (kMinOctaveOffset to kMaxOctaveOffset); notes
    // sounding are switched off first, as their note-offs would go to the new numbers.
    void spnOctaveOffset_Change(int offset);
    // The ports may have changed (the main window was activated): when the box is greyed
    // out for want of a device and a port is there now, the box becomes usable again.
    void CheckForDevices();
    // The close box hides the window.
    void CloseBoxClick();

    // The velocity of every note-on, and the channel (0-based) until one is chosen.
    static constexpr int kNoteOnVelocity = 96;
    static constexpr int32_t kDefaultChannel = 0;
    // A note (0 = C .. 11 = B) in an octave as the program numbers it.
    static int MIDINoteNumber(int noteNum, int octave) { return octave * 12 + noteNum; }

    // MidiToneOutput: the program's number moved by the octave offset.
    int NoteToMIDI(int noteNum, int octave) override;
    void MIDINoteOn(int midiNote) override;
    // A channel outside 0 to 15 means MIDIChannel.
    void MIDINoteOff(int midiNote, int midiSendChannel) override;

    // What the window mirrors.
    bool IsLoaded() const { return loaded_; }
    bool IsVisible() const { return visible_; }
    bool MIDIOutIsOpen() const { return open_; }
    int32_t MIDIChannel() const { return channel_; }
    const QStringList& DeviceItems() const { return deviceItems_; }
    int DeviceIndex() const { return deviceIndex_; }
    const QStringList& ChannelItems() const { return channelItems_; }
    const QStringList& InstrumentItems() const { return instrumentItems_; }
    int InstrumentIndex() const { return instrumentIndex_; }
    int OctaveOffset() const { return octaveOffset_; }

signals:
    // A list, a selection or the visibility changed.
    void Changed();
    // Show the status label with this text and paint the window now; the label is
    // hidden again at once, its painting staying until the next repaint.
    void ShowInfoText(const QString& text);

private:
    void ListDevices(const QStringList& names);
    // Lists the ports and selects the chosen one; true when that is not the port open.
    bool ListAgain();
    // The port a list entry opens: the default entry opens the first port.
    QString PortOfItem(int index) const;
    void SelectDevice(int index);
    void SelectChannel(int index);
    void SelectInstrument(int index);
    void SendInstrumentChange();
    void Send(int status, int data1, int data2);
    void ReportLostDevice();

    Deps d_;
    std::function<MidiOutput*()> provider_;
    std::function<void()> noDevice_;
    std::function<void()> deviceBack_;
    bool greyedForWantOfDevice_ = false;
    MidiOutput* out_ = nullptr;
    bool loaded_ = false;
    bool visible_ = false;
    bool open_ = false;
    int32_t deviceNumber_ = -1;
    int32_t channel_ = kDefaultChannel;
    QStringList deviceItems_;
    int deviceIndex_ = -1;
    QStringList channelItems_;
    int channelIndex_ = -1;
    QStringList instrumentItems_;
    int instrumentIndex_ = -1;
    QString wantedPort_; // the port the user chose; empty: the default
    QString openPort_;   // the port opened last
    int octaveOffset_ = 0;
    std::bitset<128> sounding_; // notes switched on and not yet off
};

} // namespace tq
