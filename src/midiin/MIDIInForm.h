#pragma once

#include "midiin/HeldNoteWindow.h"

#include <QStringList>

#include <functional>

namespace tq {

class MidiInput;

// The logic of the "Live MIDI Input Settings" window: the input device, and the notes
// held on it, which the cycling player plays while they are held.
class MIDIInForm final : public HeldNoteWindow {
    Q_OBJECT
public:
    static inline const QString kTimerKey = QStringLiteral("intimer");
    // Why the main window's box is greyed out when no input port can be found.
    static inline const QString kNoDeviceWhy =
        QStringLiteral("No MIDI input device could be found.");

    MIDIInForm(MainForm& main, NamedTimers& timers, QObject* parent = nullptr);

    // Makes sure the MIDI ports component is installed and loaded and gives its input
    // (null when it cannot be had; whoever installs it has then said why).
    void SetInputProvider(std::function<MidiInput*()> provider) { provider_ = std::move(provider); }

    // UseMIDIInCheck's click on the main window.
    void UseMIDIInCheck_Click(bool ticked);

    void Load();
    void SetUpComboBox();
    void OpenInputDevice();
    void CloseInputDevice();
    void cmbMIDIInDevice_Click(int index);
    // Lists the ports again. The chosen port is found by its name wherever it is now; when
    // it has gone the first port is used until it comes back. The device is reopened only
    // when the port to use is not the one open.
    void cmdRefresh_Click();
    // The ports may have changed (the main window was activated): when the main window's
    // box is greyed out for want of a device and a port is there now, it is enabled.
    void CheckForDevices();
    // Takes every waiting message off the input's queue and decodes it.
    void MIDIIn_Message();
    // The close box: switches live input off and hides the window.
    void CloseBoxClick();

    bool IsLoaded() const { return loaded_; }
    bool IsVisible() const { return visible_; }
    bool MIDIInIsOpen() const { return open_; }
    const QStringList& DeviceItems() const { return deviceItems_; }
    int DeviceIndex() const { return deviceIndex_; }

protected:
    void Step() override;

private:
    void ListDevices(const QStringList& names);
    // Lists the ports and selects the chosen one; true when that is not the port open.
    bool ListAgain();
    void ReportLostDevice(const QString& why);

    std::function<MidiInput*()> provider_;
    MidiInput* in_ = nullptr;
    bool loaded_ = false;
    bool visible_ = false;
    bool open_ = false;
    QStringList deviceItems_;
    int deviceIndex_ = -1;
    QString wantedPort_; // the port chosen last
    QString openPort_;   // the port opened last
};

} // namespace tq
