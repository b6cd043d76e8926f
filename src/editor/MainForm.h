#pragma once

#include "editor/MusicList.h"
#include "editor/SongSettings.h"
#include "playback/BeatSound.h"
#include "playback/HeldNoteSource.h"
#include "playback/Metronome.h"
#include "playback/PlayPositionDisplay.h"
#include "playback/PlayerState.h"
#include "playback/Sequencer.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>

namespace tq {

class Clipboard;
class LogSink;
class MessageBoxes;
class NonLockingSleep;
class SongTarget;
class ToneDispatcher;
struct OutputSwitches;

struct CheckBoxState {
    CheckBoxState(bool checked = false, bool enabled = true, QString disabledWhy = {})
        : Checked(checked), Enabled(enabled), DisabledWhy(std::move(disabledWhy)) {}
    bool Checked = false;
    bool Enabled = true;
    QString DisabledWhy; // shown in the tooltip while the box is greyed out
};

// Why a mod box is greyed out.
inline const QString kNoSerialPortYet = QStringLiteral("No serial port has been opened yet.");
inline const QString kNoAudioOutput =
    QStringLiteral("No audio output could be opened; see the README.");

struct TextBoxState {
    QString Text;
    bool Invalid = false; // shown on an orange background
};

// The main window's logic: the music list, every setting and control state, and the
// handlers of the controls. The window only mirrors this state and forwards input; a
// control's setter is its change or click handler, so code that changes a setting runs
// the same validation a user's change does. ControlChanged names the control to redraw.
class MainForm final : public QObject, public SequencerHost {
    Q_OBJECT
public:
    struct Deps {
        LogSink& log;
        MessageBoxes& boxes;
        NonLockingSleep& sleep;
        ToneDispatcher& tones;
        OutputSwitches& switches;
    };
    explicit MainForm(Deps deps, QObject* parent = nullptr);
    ~MainForm() override;

    MusicList& List() { return list_; }
    PlaySettings& Settings() { return settings_; }
    PlayerState& State() { return state_; }
    PlayPositionDisplay& Position() { return position_; }
    Sequencer& TheSequencer() { return sequencer_; }
    OutputSwitches& Switches() { return d_.switches; }
    NonLockingSleep& Sleep() { return d_.sleep; }
    LogSink& Log() { return d_.log; }
    MessageBoxes& Boxes() { return d_.boxes; }

    // --- Control state, read by the window ---
    uint8_t KeyboardOctave = 4;
    TextBoxState KeyboardOctaveText{QStringLiteral("4")};
    std::array<QString, 3> OctLabel = {QStringLiteral("3"), QStringLiteral("4"),
                                       QStringLiteral("5")};
    int NoteLengthComboIndex = 3;
    CheckBoxState NoteClickPlayCheck{true};
    CheckBoxState NoteClickAddCheck{true};
    bool AddNote1Option = true;
    bool AddNote2Option = false;
    bool AddNoteOptionsEnabled = true;
    CheckBoxState NoteReplaceCheck;
    CheckBoxState NoteLengthReplaceCheck{false, false};
    CheckBoxState ModDottedCheck;
    CheckBoxState ModTripletCheck;
    CheckBoxState ClickPlayNote1Check{true};
    CheckBoxState ClickPlayNote2Check{true};
    CheckBoxState PlayNote1Check{true};
    CheckBoxState PlayNote2Check{true};
    TextBoxState BPMText{QStringLiteral("140")};
    TextBoxState AlternateTimeText{QStringLiteral("30")};
    int NoteSilenceRatioSlider = 50;
    QString NoteSilenceRatioLabel = QStringLiteral("50%");
    int TimeSigSlider = 4;
    QString lblTimeSig = QStringLiteral("4");
    CheckBoxState NoUpdateCheck;
    CheckBoxState MutePiptoneCheck;
    CheckBoxState UseFMODCheck{false, false, kNoAudioOutput};  // until the soundcard opens
    CheckBoxState UseVoiceCheck{false, false, kNoAudioOutput}; // until the soundcard opens
    CheckBoxState UseMIDIOutCheck;
    CheckBoxState UseMIDIInCheck;
    CheckBoxState UseMIDIFileCheck;
    CheckBoxState UseSynchroCheck;
    CheckBoxState UsePortaCheck;
    // Until the start-up finds a serial port it can open.
    CheckBoxState UseMotorCheck{false, false, kNoSerialPortYet};
    bool MotorOctSliderEnabled = false;
    int MotorOctSlider = 2;
    CheckBoxState UseBeatCheck;
    CheckBoxState UseCircuitBentCheck;
    bool BeepTextLabelVisible = false;
    bool lblDebugVisible = false;
    bool PianoKeysEnabled = true;
    bool PlayButtonsEnabled = true; // PlayAllButton and PlayFromLineButton
    bool StopPlayButtonEnabled = false;
    bool MetronomeLit = false;
    QString Caption = QStringLiteral("Tonquill by Vellomar");
    // Set by the shut-down: from then on no MIDI device is opened.
    bool ShuttingDown = false;
    // Live MIDI input is in use (its box ticked and its component loaded).
    bool UseMIDIIn = false;
    bool UseBeat = false;
    bool UseCircuitBent = false;

    // --- Note entry and list editing ---
    void PianoKey_Click(int index);
    void PianoKey_KeyDown(int index, int keyCode, int shift);
    void SetKeyboardOctaveText(const QString& text);
    void KeyboardOctaveUpDown_Step(int delta);
    void SetNoteLengthComboIndex(int index);
    void AddNote(int noteNumber, int octave, int lengthIndex);
    void MainList_ItemClick(int index);
    void ClearNote1Button_Click();
    void ClearNote2Button_Click();
    void Command1_Click();
    void SilentLineButton_Click();
    void UnselectButton_Click();
    void SetModDottedCheck(bool ticked);
    void SetModTripletCheck(bool ticked);
    void SetNoteClickAddCheck(bool ticked);
    void SetNoteReplaceCheck(bool ticked);
    void SetNoteLengthReplaceCheck(bool ticked);
    void SetAddNote1Option(bool selected);
    void SetAddNote2Option(bool selected);
    void SetNoteClickPlayCheck(bool ticked);
    void UpdateOctaveLabels();
    void UpdateModButtons() override;

    // --- Settings ---
    void SetBPMText(const QString& text);
    void BPMUpDown_Step(int delta);
    void SetAlternateTimeText(const QString& text);
    void SetNoteSilenceRatio(int value); // runs NoteSilenceRatioSlider_Scroll
    void NoteSilenceRatioSlider_Scroll();
    void SetTimeSigSlider(int value);
    void SetClickPlayNote1Check(bool ticked);
    void SetClickPlayNote2Check(bool ticked);
    void SetPlayNote1Check(bool ticked);
    void SetPlayNote2Check(bool ticked);
    void SetNoUpdateCheck(bool ticked);
    void SetMutePiptoneCheck(bool ticked);
    void SetUseFMODCheck(bool ticked);
    // The soundcard beep found an audio output: its box can be ticked.
    void EnableUseFMODCheck();
    void SetUseVoiceCheck(bool ticked);
    void EnableUseVoiceCheck();
    void SetUseMIDIOutCheck(bool ticked);
    void SetUseSynchroCheck(bool ticked);
    // No MIDI output device at all: the box is greyed out and cleared (its handler runs).
    void DisableUseMIDIOutCheck(const QString& why);
    // A MIDI output device has appeared since: the box can be ticked again.
    void EnableUseMIDIOutCheck();
    // A MIDI component could not be installed: every MIDI mod is switched off.
    void UntickMIDIBoxes();
    void SetUseMIDIInCheck(bool ticked);
    void SetUseMIDIFileCheck(bool ticked);
    // Live input and file playback exclude each other: each greys out the other's box.
    void SetUseMIDIInCheckEnabled(bool enabled, const QString& why = {});
    void SetUseMIDIFileCheckEnabled(bool enabled, const QString& why = {});
    // No serial port opened at start-up: the motor mod's controls are greyed out.
    void DisableMotorControls(const QString& why);
    // The start-up probe opened the serial port: the motor mod's controls can be used.
    void EnableMotorControls();
    void SetUseMotorCheck(bool ticked);
    void SetMotorOctSlider(int value); // runs MotorOctSlider_Scroll
    void MotorOctSlider_Scroll();
    // The beat sound: its question about the frozen display, and its settings window.
    void SetUseBeatCheck(bool ticked);
    BeatForm& Beat() { return beat_; }
    void SetUseCircuitBentCheck(bool ticked);
    // The portamento glide: its window shows while the box is ticked.
    void SetUsePortaCheck(bool ticked);
    void SetUsePortaClicked(std::function<void(bool)> clicked) {
        usePortaClicked_ = std::move(clicked);
    }
    // BendTimer's tick (15 ms, always running): in circuit-bent mode a burst of 15 random
    // notes of 15 ms, named as the held-note player names MIDI notes.
    void BendTimer_Timer();
    void SetMIDIToNoteString(std::function<QString(int)> name) {
        midiToNoteString_ = std::move(name);
    }
    // Numbers in [0, 1) for the random notes (tests make them repeatable).
    void SetRandomSource(std::function<double()> random) { random_ = std::move(random); }
    // Shows the information box of a "?" button, named as the button ("UseFMODHButton").
    void HelpButton_Click(const QString& buttonName);

    // --- The cycling player of held notes ---
    // One step: rebuilds the held list of the window, shows it in its grid, sets the
    // automatic pulse time and gives the next held note one pulse of AlternateTime.
    void PlayLiveMIDIInput(HeldNoteSource& usingForm);
    // Position in the held list of the next note to pulse, for both feeding windows.
    int16_t CycleIndex = 0;
    // The automatic pulse time borrows the alternation time: the song's own value is kept
    // meanwhile (it is what is saved and undone) and given back here, when the live input
    // or MIDI file mod is switched off.
    void ReturnAlternateTime();
    int16_t SongAlternateTime() const {
        return songAlternate_ ? songAlternate_->ms : settings_.AlternateTime;
    }
    QString SongAlternateTimeText() const {
        return songAlternate_ ? songAlternate_->text : AlternateTimeText.Text;
    }
    // Takes the alternation time in force as the song's own, unless the cycling player
    // set it.
    void KeepSongAlternateTime();

    // --- Playback ---
    void PlayMusic(int startPoint, int endPoint, bool singleLine) {
        sequencer_.PlayMusic(startPoint, endPoint, singleLine);
    }
    void PlayAllButton_Click() { sequencer_.PlayAllButton_Click(); }
    void PlayFromLineButton_Click() { sequencer_.PlayFromLineButton_Click(); }
    void StopPlayButton_Click() { sequencer_.StopPlayButton_Click(); }
    void MetronomeButton_Click() { metronome_.MetronomeButton_Click(); }

    // Called when the note/silence slider moves, after its label (the soundcard options
    // window follows the slider).
    void SetFmodBeepStop(std::function<void()> stop) { fmodBeepStop_ = std::move(stop); }
    void SetUseFMODClicked(std::function<void(bool)> clicked) {
        useFmodClicked_ = std::move(clicked);
    }
    // The voice: UseVoiceCheck's click, and the sequencer's per-line and end-of-play calls.
    struct VoiceHooks {
        std::function<void(bool)> clicked;
        std::function<void(const QString&)> forLine;
        std::function<void()> silence;
    };
    void SetVoiceHooks(VoiceHooks hooks) { voice_ = std::move(hooks); }
    // Synchronized play: UseSynchroCheck's click, and the sequencer's calls after play.
    struct SynchroHooks {
        std::function<void(bool)> clicked;
        std::function<void()> reenableWaitButton;
        std::function<void()> afterPlayButtons;
    };
    void SetSynchroHooks(SynchroHooks hooks) { synchro_ = std::move(hooks); }
    void SetUseMIDIOutClicked(std::function<void(bool)> clicked) {
        useMidiOutClicked_ = std::move(clicked);
    }
    void SetUseMIDIInClicked(std::function<void(bool)> clicked) {
        useMidiInClicked_ = std::move(clicked);
    }
    void SetUseMIDIFileClicked(std::function<void(bool)> clicked) {
        useMidiFileClicked_ = std::move(clicked);
    }
    // UseMotorCheck's click; returns whether the mod is on (the port may not open).
    void SetUseMotorClicked(std::function<bool(bool)> clicked) {
        useMotorClicked_ = std::move(clicked);
    }
    void SetRatioObserver(std::function<void(int)> observer) {
        ratioObserver_ = std::move(observer);
    }
    // Shows the current position in the labels (after editing).
    void ShowEditPosition();

    // --- Undo, lines through the clipboard, unsaved changes ---
    // Every change to the list and to the song's settings is one step of this history.
    // Loading a song starts it afresh; its clean state is the song as last read or written.
    QUndoStack& History() { return history_; }
    bool IsModified() const { return !history_.isClean(); }
    // A user's change of the song's settings (typing, a slider, a box): runs it and records
    // what it changed as one step. Code that sets a control directly records nothing.
    void UserChange(SettingKind kind, const std::function<void()>& change);
    // Runs an undo or redo step: what its handlers set off (the soundcard options
    // following the ratio, say) is part of the step, not a new one.
    void Replay(const std::function<void()>& step);
    void SetClipboard(Clipboard* clipboard) { clipboard_ = clipboard; }
    // The selected line and the range Shift extends from it, as song-file music lines.
    void CutLines();
    void CopyLines();
    // Inserts the clipboard's lines where a note would go; refuses text that is not
    // music lines, with a message, and changes nothing then.
    void PasteLines();
    // After the question about unsaved changes: the list emptied, as one step.
    void ClearList();
    // Replaces the song through the reader's calls (a whole list, settings) as one step,
    // "Import NAME".
    void ImportSong(const QString& name, const std::function<void(SongTarget&)>& apply);
    // While the song differs from its file, asks "Save changes to NAME?". True when the
    // caller may go on: nothing to save, saved, or discarded.
    bool AskToSaveChanges();
    // Saves the song the way the Save button does (its dialog may be cancelled).
    void SetSaveSong(std::function<void()> save) { saveSong_ = std::move(save); }
    void SongLoaded(const QString& path);
    void SongSaved(const QString& path);
    // File > New: after the question about unsaved changes, an empty untitled song. The
    // settings stay as they are, as after Clear list.
    void NewSong();
    const QString& SongPath() const { return songPath_; }
    // The song's file name, "Untitled" before it has one.
    QString SongName() const;
    // The program's caption, which follows the song's name in the window title.
    void SetWindowCaption(const QString& caption);
    const QString& WindowCaption() const { return windowCaption_; }
    // "*Name.tql - CAPTION", the star while the song differs from its file.
    QString WindowTitle() const;

    // SequencerHost
    void SetControlsForPlaying(bool playing) override;
    void SetBeepLabelVisible(bool visible) override;
    void FMODBeepStop() override;
    void SetVoiceForLine(const QString& note2) override;
    void SilenceVoice() override;
    void PlayBeatIfDue() override;
    void ReenableSynchroWaitButton() override;
    void AfterPlayButtons() override;

signals:
    void ControlChanged(const QString& name);
    void PositionChanged();
    // The song came to differ from its file, or to match it again.
    void ModifiedChanged(bool modified);
    // The song was loaded from or saved to path, or became untitled (path empty).
    void SongFileChanged(const QString& path);
    void WindowTitleChanged();

private:
    bool LineIsSelected() const { return list_.HasSelectedLine(); }
    void SetCheck(CheckBoxState& box, const char* name, bool ticked);
    void Changed(const char* name) { emit ControlChanged(QString::fromLatin1(name)); }
    void SetModCheck(bool dotted, bool ticked);
    int InsertPointForNewNote();
    void SelectAfterAdding(int insertPoint);
    void Record(QUndoCommand* command) { history_.push(command); }
    // Records a line's new cells as one step; when nothing changes, only selects.
    void ReplaceLine(int index, const MusicLine& line, const QString& text,
                     std::function<void()> select = {});
    void StopPlaying() { sequencer_.StopPlayButton_Click(); }

    Deps d_;
    MusicList list_;
    PlaySettings settings_;
    PlayerState state_;
    PlayPositionDisplay position_;
    Sequencer sequencer_;
    Metronome metronome_;
    bool modGuard_ = false;
    struct AlternateTimeValue {
        int16_t ms;
        QString text;
    };
    std::optional<AlternateTimeValue> songAlternate_;
    bool cyclingSetsTime_ = false;
    std::function<void(int)> ratioObserver_;
    std::function<void()> fmodBeepStop_;
    std::function<void(bool)> useFmodClicked_;
    VoiceHooks voice_;
    SynchroHooks synchro_;
    std::function<void(bool)> useMidiOutClicked_;
    std::function<void(bool)> useMidiInClicked_;
    std::function<void(bool)> useMidiFileClicked_;
    BeatForm beat_;
    std::function<void(bool)> usePortaClicked_;
    bool inBend_ = false;
    std::function<QString(int)> midiToNoteString_;
    std::function<double()> random_;
    std::mt19937 generator_{std::random_device{}()};
    std::uniform_real_distribution<double> uniform_{0.0, 1.0};
    std::function<bool(bool)> useMotorClicked_;
    QUndoStack history_;
    int userChangeDepth_ = 0;
    Clipboard* clipboard_ = nullptr;
    std::function<void()> saveSong_;
    QString songPath_;
    QString windowCaption_;
};

} // namespace tq
