#include "app/Program.h"

#include "core/FileGate.h"
#include "core/TickTime.h"
#include "diag/DataFolder.h"
#include "diag/FileExists.h"
#include "diag/ProcPriority.h"
#include "fmodtone/EmulatedSpeaker.h"
#include "interchange/InterchangeFiles.h"
#include "songfile/SongFileMenu.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

namespace tq {

namespace {

const QString kVersion = QStringLiteral("0.9.148");
const QString kContact = QStringLiteral("tonquill@example.org");

QString Quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The note/silence slider as the soundcard options move it.
class RatioSlider final : public RatioSliderAccess {
public:
    explicit RatioSlider(MainForm& form) : form_(form) {}
    int Value() override { return form_.NoteSilenceRatioSlider; }
    // Moved by the user's click in the options window: an undo step of the song.
    void SetValueAndRunHandler(int value) override {
        form_.UserChange(SettingKind::NoteSilenceRatio,
                         [this, value] { form_.SetNoteSilenceRatio(value); });
    }

private:
    MainForm& form_;
};

// Sees the main window's close before the window does; onClose false keeps it open.
class CloseWatcher final : public QObject {
public:
    CloseWatcher(QObject* parent, std::function<bool()> onClose)
        : QObject(parent), onClose_(std::move(onClose)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Close && !onClose_()) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    std::function<bool()> onClose_;
};

void EndProcessNow(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

} // namespace

Program::Program(const QString& folder)
    : folder_(folder), dataFolder_(DataFolder(folder)), log_(dataFolder_) {
    SpeakerOptions speakerOptions = SpeakerOptions::FromEnvironment();
    speakerOptions.makeEmulated = EmulatedSpeakerMaker(sound_);
    speaker_ = OpenSpeaker(speakerOptions);
    tones_ = std::make_unique<ToneDispatcher>(log_, boxes_, sleep_, *speaker_.speaker, switches_);
    form_ = std::make_unique<MainForm>(MainForm::Deps{log_, boxes_, sleep_, *tones_, switches_});
    window_ = std::make_unique<MainWindow>();
    binding_ = new MainFormBinding(*form_, *window_);
    processEnd_ = EndProcessNow;
    // The settings windows, the Save/Load window (which leaves the main window disabled
    // but closable) or a play running in a handler would otherwise outlive the window.
    window_->installEventFilter(
        new CloseWatcher(window_.get(), [this] { return MainWindowClosed(); }));
    boxes_.SetParent(window_.get());
    dialogs_.SetParent(window_.get());

    songTarget_ = std::make_unique<MainFormSongTarget>(*form_);
    saveLoad_ = std::make_unique<SaveLoadForm>(*this, *songTarget_, boxes_, dialogs_, log_);
    // Not a child of the main window, which is disabled while this one is open.
    saveLoadWindow_ = std::make_unique<SaveLoadWindow>(*saveLoad_);
    songFiles_ = std::make_unique<SongFileCommands>(*saveLoad_, recent_,
                                                    [this] { return form_->SongPath(); });
    QObject::connect(window_->SaveLoadButton, &QPushButton::clicked, window_.get(),
                     [this] { saveLoad_->ShowForm(); });

    beep_ = std::make_unique<FmodBeep>(sound_, log_, boxes_, sleep_, switches_);
    fmodOptions_ = std::make_unique<FmodOptions>(*beep_, switches_);
    ratioSlider_ = std::make_unique<RatioSlider>(*form_);
    beep_->SetOptions(fmodOptions_.get());
    fmodOptions_->SetRatioSlider(ratioSlider_.get());
    tones_->SetFmodOutput(beep_.get());
    form_->SetFmodBeepStop([this] { beep_->FMODBeepStop(); });
    form_->SetUseFMODClicked([this](bool ticked) { beep_->UseFMODCheckClicked(ticked); });
    form_->SetRatioObserver([this](int value) { fmodOptions_->OnRatioSliderChanged(value); });
    SetUpVoice();
    SetUpSynchro();
    SetUpMidi();
    beatWindow_ = std::make_unique<BeatWindow>(form_->Beat());
    // In the program's own numbering: the live input window's octave offset is its own.
    form_->SetMIDIToNoteString(&HeldNoteWindow::NoteStringOfMIDI);
    bendTimers_.SetTickHandler([this](const QString&) { form_->BendTimer_Timer(); });
    bendTimers_.Add(QStringLiteral("BendTimer"), 15, true);
    portamento_ = std::make_unique<PortamentoForm>(
        PortamentoForm::Deps{*speaker_.speaker, portaTimers_, switches_, log_});
    portamentoWindow_ = std::make_unique<PortamentoWindow>(*portamento_);
    tones_->SetPortamentoOutput(portamento_.get());
    form_->SetUsePortaClicked([this](bool ticked) { portamento_->UsePortaCheck_Click(ticked); });
    QObject::connect(portamento_.get(), &PortamentoForm::UntickRequested, window_.get(),
                     [this] { form_->SetUsePortaCheck(false); });
    SetUpMotor();
    SetUpEditing();
    SetUpFileMenu();
    PlaceWindows();
}

void Program::PlaceWindows() {
    placement_ = new WindowPlacement(*window_, settings_);
    for (QWidget* w : std::initializer_list<QWidget*>{saveLoadWindow_.get(), beatWindow_.get(),
                                                      portamentoWindow_.get(), synchroWindow_.get(),
                                                      midiOutWindow_.get(), midiInWindow_.get(),
                                                      midiFileWindow_.get()}) {
        placement_->Manage(*w);
    }
    // Shown behind the main window on purpose: it must not be kept above it.
    placement_->Manage(*voiceWindow_, WindowPlacement::Stacking::Free);
}

void Program::SetUpEditing() {
    form_->SetClipboard(&clipboard_);
    // Into the song's own file when it has one.
    form_->SetSaveSong([this] { songFiles_->Save(); });
    saveLoad_->SetBeforeLoad([this] { return form_->AskToSaveChanges(); });
}

void Program::SetUpFileMenu() {
    fileMenu_ = new InterchangeMenu(*window_);
    interchange_ = std::make_unique<InterchangeForm>(
        InterchangeForm::Deps{*form_, dialogs_, boxes_, log_, *fileMenu_, *fileMenu_, portamento_.get()});
    fileMenu_->Connect(*interchange_);
    auto* songMenu = new SongFileMenu(*fileMenu_->FileMenu, *songFiles_,
                                      {[this] { form_->NewSong(); }, [this] { window_->close(); }});
    QObject::connect(form_.get(), &MainForm::SongFileChanged, songMenu,
                     [this, songMenu](const QString& path) {
                         if (!path.isEmpty()) {
                             recent_.Add(path);
                         }
                         songMenu->FillRecentMenu();
                     });
}

void Program::SetUpMotor() {
    motor_ = std::make_unique<MotorModModule>(
        MotorModModule::Deps{log_, boxes_, sleep_, motorPort_, switches_, form_->Settings()});
    tones_->SetMotorOutput(motor_.get());
    beep_->SetMotorNeutral([this] { motor_->SendNeutral(); });
    form_->SetUseMotorClicked([this](bool ticked) { return motor_->UseMotorCheckClicked(ticked); });
    motor_->SetSwitchedOff([this] { form_->SetUseMotorCheck(false); });
}

void Program::SetUpSynchro() {
    synchro_ = std::make_unique<SynchroForm>(SynchroForm::Deps{
        clock_, sleep_, synchroTimers_, log_, [this] { return beep_->GetFMODBufferLength(); },
        [this] { form_->PlayAllButton_Click(); }, [this] { form_->PlayFromLineButton_Click(); },
        &urgency_});
    synchro_->Form_Load();
    // Hidden until UseSynchroCheck is ticked; its close box unticks it.
    synchroWindow_ = std::make_unique<SynchroWindow>(*synchro_);
    synchroWindow_->SetOnClosed([this] { form_->SetUseSynchroCheck(false); });
    form_->SetSynchroHooks({[this](bool ticked) {
                                if (!ticked) {
                                    synchroWindow_->hide();
                                    return;
                                }
                                synchro_->WindowShown(beep_->FMODAvailable());
                                synchroWindow_->show();
                                synchroWindow_->raise();
                                synchroWindow_->activateWindow();
                            },
                            [this] { synchro_->ReenableWaitButton(); },
                            [this] { synchro_->AfterPlayButtons(); }});
}

void Program::SetUpVoice() {
    voiceControls_ = std::make_unique<VoiceInternalForm>();
    // Hidden until the voice is switched on.
    voiceWindow_ = std::make_unique<VoiceInternalWindow>(*voiceControls_);
    voice_ = std::make_unique<VoiceMainForm>(
        VoiceMainForm::Deps{sound_, boxes_, log_, voiceTimers_, *voiceControls_});
    form_->SetVoiceHooks({[this](bool ticked) { voice_->UseVoiceCheckClicked(ticked); },
                          [this](const QString& note2) { voice_->SetVoiceForLine(note2); },
                          [this] {
                              if (voice_->IsLoaded()) {
                                  voice_->ChangeVoiceVol(0);
                              }
                          }});
}

void Program::SetUpSoundcardBeep() {
    if (beep_->SetUp()) {
        form_->EnableUseFMODCheck();
        form_->EnableUseVoiceCheck();
    }
    // Loaded now, shown when the mod is switched on.
    fmodOptionsForm_ = std::make_unique<FMODOptionsForm>(*fmodOptions_);
    placement_->Manage(*fmodOptionsForm_);
}

Program::~Program() {
    ShutDown();
}

bool Program::RefuseLinkedLog(const QString& path) {
    if (!IsLink(path)) {
        return false;
    }
    log_.LogText(QStringLiteral("Log file is a link, not written: ") + path);
    boxes_.Show(QStringLiteral("Log file not written"),
                QStringLiteral("This log file is a link to another file:\r\n") + path +
                    QStringLiteral("\r\n\r\nThe program does not write through links, so "
                                   "this log will not be written. Delete the link to get the "
                                   "log."),
                MsgButtons::Ok, MsgIcon::Exclamation);
    return true;
}

void Program::ShowMarkerFileBoxes() {
    if (FileExists(dataFolder_ + QStringLiteral("/logenable"), log_)) {
        log_.SetLogEnabled(true);
        form_->lblDebugVisible = true;
        binding_->RefreshAll();
        // An installed copy keeps its marker files and logs in its data folder: name it.
        const QString where = dataFolder_ == folder_
                                  ? QStringLiteral("in the same folder as this program")
                                  : QStringLiteral("in the folder ") + dataFolder_;
        boxes_.Show(
            QStringLiteral("Debug logging is enabled"),
            QStringLiteral("Because there is a file called 'logenable' ") + where +
                QStringLiteral(", the program will make a log file which you can send to me "
                               "(") +
                kContact +
                QStringLiteral(
                    ") in order to help me debug any problems.\r\n\r\n"
                    "Program performance might be decreased due to the additional CPU power "
                    "required.\r\nNavigating Explorer out of the program's folder can often help "
                    "to speed things up.\r\n\r\nAny existing 'debuglog.txt'") +
                (dataFolder_ == folder_ ? QString() : QStringLiteral(" there")) +
                QStringLiteral(
                    " will be appended to.\r\n\r\nPlease try to use playback as little as "
                    "possible, because playback causes the log file to get very big very "
                    "quickly."),
            MsgButtons::Ok, MsgIcon::Information);
        RefuseLinkedLog(log_.DebugLogPath());
    }
    log_.LogText(QStringLiteral("[PROGRAM STARTED]"));
    log_.LogText(QStringLiteral("App.Path = ") + folder_);
    if (dataFolder_ != folder_) {
        log_.LogText(QStringLiteral("Marker files and logs are in ") + dataFolder_);
    }
    log_.LogText(QStringLiteral("Version info: ") + kVersion);
    log_.LogText(QStringLiteral("WinFolder is ") + Quoted(winFolder_));
    if (FileExists(log_.ToneCodePath(), log_) && !RefuseLinkedLog(log_.ToneCodePath())) {
        log_.SetUseWriteCode(true);
        boxes_.Show(
            QStringLiteral("Writing of tone/silence code is enabled"),
            QStringLiteral(
                "Because there is a file called 'tonecode.txt' in the same folder as this program, "
                "the program will write (append) all code used to create tones and silence, during "
                "live MIDI input or playback of a TQL file or MIDI file, to that text file. Code "
                "for "
                "tones made by the metronome and clicking on keys on the keyboard will also be "
                "written to the text file.\r\n\r\nProgram performance might be decreased due to "
                "the additional CPU power required.\r\nNavigating Explorer out of the program's "
                "folder can often help to speed things up.\r\n\r\nPlease be aware that the text "
                "file can become big quickly. Also please note that codes for silence will be "
                "written repeatedly, even if playback is stopped, for as long as 'Play a MIDI "
                "file' or 'Use live MIDI input' is ticked."),
            MsgButtons::Ok, MsgIcon::Information);
    }
    log_.LogText(QStringLiteral("UseWriteCode is ") +
                 (log_.UseWriteCode() ? QStringLiteral("TRUE") : QStringLiteral("FALSE")));
}

void Program::StartUp(const QStringList& arguments) {
    ShowMarkerFileBoxes();
    for (const QString& note : speaker_.notes) {
        log_.LogText(note);
    }
    MainForm& f = *form_;
    f.KeyboardOctave = 4;
    f.UpdateOctaveLabels();
    f.SetNoteLengthComboIndex(3);
    f.State().MetronomeOn = false;
    f.Settings().BPM = 140;
    f.State().TickFreq = clock_.PerformanceFrequency();
    log_.LogText(QStringLiteral("QueryPerformanceFrequency returned ") +
                 RawCountText(f.State().TickFreq) + QStringLiteral(" (TickFreq set to this)"));
    f.SetWindowCaption(f.Caption + QStringLiteral(" (v") + kVersion + QStringLiteral(" BETA)"));
    f.Settings().AlternateTime = 30;
    f.SetTimeSigSlider(4);
    f.MotorOctSlider_Scroll();
    LoadCommandLineSong(arguments);
    SetUpSoundcardBeep();
    // The position display starts frozen during playback.
    f.SetNoUpdateCheck(true);
    ProbeSerialPort();
    SetProcessPriority(0, PriorityClass::Normal);
    window_->resize(window_->DefaultSize());
    window_->show();
}

void Program::LoadCommandLineSong(const QStringList& arguments) {
    const QString command = arguments.join(QLatin1Char(' '));
    if (command.isEmpty()) {
        return;
    }
    log_.LogText(QStringLiteral("Command string given - Command = ") + Quoted(command));
    QString path = command;
    path.remove(QLatin1Char('"'));
    if (FileExists(path, log_) && IsImportable(path)) {
        // Opened from the desktop or a terminal as a song is: a MIDI file or a tune comes
        // in as File > Import brings it.
        interchange_->ImportFile(path);
    } else if (FileExists(path, log_)) {
        saveLoad_->Songs().ActuallyLoadMusic(path);
    } else {
        boxes_.Show(
            QStringLiteral("Can't load the file"),
            QStringLiteral("You gave this text to this program as you were starting it:\n") +
                command +
                QStringLiteral("\nThis program can only try to load text given to it as "
                               "a file.\nIn other words, it expects that text to be a file "
                               "name.\nBut that file can't be seen, so it can't load it."),
            MsgButtons::Ok, MsgIcon::Exclamation);
    }
}

void Program::SetMainWindowEnabled(bool enabled) {
    window_->setEnabled(enabled);
}

void Program::BringMainWindowToFront() {
    window_->raise();
    window_->activateWindow();
}

void Program::ProbeSerialPort() {
    QString why;
    if (!motorPort_.Open(&why)) {
        log_.LogText(QStringLiteral("No (available) com port can be seen"));
        form_->DisableMotorControls(QStringLiteral("No serial port could be opened (") + why +
                                    QStringLiteral("); see the README."));
        return;
    }
    log_.LogText(QStringLiteral("A com port exists"));
    motorPort_.Close();
    form_->EnableMotorControls();
}

bool Program::MainWindowClosed() {
    if (form_->IsModified()) {
        // A song playing under the question would stand still until it is answered.
        form_->StopPlayButton_Click();
        if (!form_->AskToSaveChanges()) {
            return false;
        }
    }
    ShutDown();
    processEnd_(0);
    return true;
}

void Program::ShutDown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    placement_->SaveAll();
    log_.LogText(QStringLiteral("[REQUEST TO CLOSE PROGRAM]"));
    voice_->VoiceDoShutDownStuff();
    log_.LogIndentInc(QStringLiteral("DoShutDownStuff() - START"));
    form_->StopPlayButton_Click();
    if (switches_.UseMotor) {
        form_->SetUseMotorCheck(false); // stops the motor and closes the port
    }
    beep_->CloseSystem();
    form_->ShuttingDown = true;
    if (switches_.UseMIDIOut) {
        midiOut_->CloseOutputDevice();
    }
    if (form_->UseMIDIIn) {
        midiIn_->CloseInputDevice();
    }
    speaker_.speaker->Silence();
    log_.LogIndentDec(QStringLiteral("DoShutDownStuff() - END"));
    log_.LogText(QStringLiteral("KILLING PROCESS (should be last line in log)"));
}

} // namespace tq
