#pragma once

#include "core/NonLockingSleep.h"
#include "diag/ComponentInstaller.h"
#include "diag/DebugLog.h"
#include "editor/MainForm.h"
#include "editor/MainFormSongTarget.h"
#include "editor/view/MainFormBinding.h"
#include "editor/view/MainWindow.h"
#include "fmodtone/FMODOptionsForm.h"
#include "fmodtone/FmodBeep.h"
#include "fmodtone/FmodOptions.h"
#include "fmodtone/engine/SoundEngine.h"
#include "interchange/InterchangeForm.h"
#include "interchange/view/InterchangeMenu.h"
#include "midiin/MIDIFileForm.h"
#include "midiin/MIDIFileWindow.h"
#include "midiin/MIDIInForm.h"
#include "midiin/MIDIInWindow.h"
#include "midiout/MIDIOutForm.h"
#include "midiout/MIDIOutWindow.h"
#include "mods/MotorModModule.h"
#include "mods/PortamentoForm.h"
#include "mods/PortamentoWindow.h"
#include "mods/SynchroForm.h"
#include "mods/SynchroWindow.h"
#include "platform/Components.h"
#include "platform/MidiFileReader.h"
#include "platform/MidiInput.h"
#include "platform/MidiOutput.h"
#include "platform/QtClipboard.h"
#include "platform/QtEventPump.h"
#include "platform/QtFileDialogs.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtNamedTimers.h"
#include "platform/QtProcessLauncher.h"
#include "platform/QtSerialPort.h"
#include "platform/RealtimeUrgency.h"
#include "platform/SpeakerFactory.h"
#include "platform/SteadyClock.h"
#include "platform/WindowPlacement.h"
#include "platform/audio/RtAudioOutput.h"
#include "playback/BeatWindow.h"
#include "playback/ToneDispatcher.h"
#include "songfile/RecentSongs.h"
#include "songfile/SaveLoadForm.h"
#include "songfile/SaveLoadWindow.h"
#include "songfile/SongFileCommands.h"
#include "voice/VoiceInternalForm.h"
#include "voice/VoiceInternalWindow.h"
#include "voice/VoiceMainForm.h"

#include <QSettings>
#include <QStringList>

#include <functional>
#include <memory>

namespace tq {

class MidiIoComponent;

// The whole program: its platform services, the main window with its logic, and the
// start-up and shut-down sequences.
class Program final : public SaveLoadHost {
public:
    explicit Program(const QString& folder);
    ~Program() override;

    // Runs the start-up sequence with the command-line arguments (a song file name, which
    // may be given in quotes or in several words) and shows the window.
    void StartUp(const QStringList& arguments);
    // Releases the devices and silences the speaker.
    void ShutDown();
    // How the process ends once the main window is closed and the shut-down has run. By
    // default at once, whatever other windows are open or whatever handler is running.
    void SetProcessEnd(std::function<void(int)> end) { processEnd_ = std::move(end); }

    MainForm& Form() { return *form_; }
    MainWindow& Window() { return *window_; }
    DebugLog& Log() { return log_; }

    // SaveLoadHost
    void SetMainWindowEnabled(bool enabled) override;
    void BringMainWindowToFront() override;

private:
    void ShowMarkerFileBoxes();
    // A link planted in a log's place is never written through; true when path is one,
    // after a box has said so.
    bool RefuseLinkedLog(const QString& path);
    void LoadCommandLineSong(const QStringList& arguments);
    void ProbeSerialPort();
    void SetUpMotor();
    void SetUpSoundcardBeep();
    void SetUpVoice();
    void SetUpSynchro();
    // Undo, the clipboard and the question about unsaved changes before a load.
    void SetUpEditing();
    // The File menu: the song's file (New, Open, recent songs, Save, Save As), export as
    // WAV or MIDI, import from MIDI, Quit.
    void SetUpFileMenu();
    // False when the user keeps the window open, to save unsaved changes first.
    bool MainWindowClosed();
    void SetUpMidi();
    // The secondary windows open over the main window and stay above it.
    void PlaceWindows();
    // A component installed into the system folder and loaded from there; null when it
    // cannot be had (the user has been told, and the MIDI boxes are unticked).
    std::unique_ptr<LoadedComponent> InstallAndLoad(const ComponentKind& kind);
    MidiIoComponent* MidiIo();
    MidiFileReader* MidiFileComponentReader();

    QString folder_;
    // The marker files and logs: the program folder, or the per-user data folder when the
    // program folder cannot be written to (an installed copy).
    QString dataFolder_;
    DebugLog log_;
    SteadyClock clock_;
    QtEventPump pump_;
    QtMessageBoxes boxes_;
    QtFileDialogs dialogs_;
    QtClipboard clipboard_;
    QtProcessLauncher launcher_;
    QString winFolder_;
    // The user's settings: the recent songs, where the windows were left.
    QSettings settings_{QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tonquill"),
                        QStringLiteral("Tonquill")};
    RecentSongs recent_{settings_};
    NonLockingSleep sleep_{clock_, pump_};
    // Before the speaker: the emulated speaker plays through it.
    snd::SoundEngine sound_{SystemAudioOutputFactory()};
    SpeakerChoice speaker_;
    OutputSwitches switches_;
    std::unique_ptr<ToneDispatcher> tones_;
    std::unique_ptr<MainForm> form_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<FmodBeep> beep_;
    std::unique_ptr<FmodOptions> fmodOptions_;
    std::unique_ptr<FMODOptionsForm> fmodOptionsForm_;
    std::unique_ptr<RatioSliderAccess> ratioSlider_;
    QtNamedTimers voiceTimers_;
    std::unique_ptr<VoiceInternalForm> voiceControls_;
    std::unique_ptr<VoiceInternalWindow> voiceWindow_;
    std::unique_ptr<VoiceMainForm> voice_;
    QtSerialPort motorPort_{QtSerialPort::DefaultPortName()};
    std::unique_ptr<MotorModModule> motor_;
    QtNamedTimers synchroTimers_;
    RealtimeUrgency urgency_;
    std::unique_ptr<SynchroForm> synchro_;
    std::unique_ptr<SynchroWindow> synchroWindow_;
    MainFormBinding* binding_ = nullptr;
    WindowPlacement* placement_ = nullptr;
    std::unique_ptr<MainFormSongTarget> songTarget_;
    std::unique_ptr<SaveLoadForm> saveLoad_;
    std::unique_ptr<SaveLoadWindow> saveLoadWindow_;
    std::unique_ptr<SongFileCommands> songFiles_;
    InterchangeMenu* fileMenu_ = nullptr;
    std::unique_ptr<InterchangeForm> interchange_;
    std::unique_ptr<ComponentInstaller> installer_;
    std::unique_ptr<LoadedComponent> midiIo_;
    std::unique_ptr<MidiOutput> midiOutput_;
    std::unique_ptr<MIDIOutForm> midiOut_;
    std::unique_ptr<MIDIOutWindow> midiOutWindow_;
    std::unique_ptr<MidiInput> midiInput_;
    QtNamedTimers midiInTimers_;
    std::unique_ptr<MIDIInForm> midiIn_;
    std::unique_ptr<MIDIInWindow> midiInWindow_;
    std::unique_ptr<LoadedComponent> midiFileComponent_;
    std::unique_ptr<MidiFileReader> midiFileReader_;
    QtNamedTimers midiFileTimers_;
    std::unique_ptr<MIDIFileForm> midiFile_;
    std::unique_ptr<MIDIFileWindow> midiFileWindow_;
    std::unique_ptr<BeatWindow> beatWindow_;
    QtNamedTimers bendTimers_;
    QtNamedTimers portaTimers_;
    std::unique_ptr<PortamentoForm> portamento_;
    std::unique_ptr<PortamentoWindow> portamentoWindow_;
    bool shutDown_ = false;
    std::function<void(int)> processEnd_;
};

} // namespace tq
