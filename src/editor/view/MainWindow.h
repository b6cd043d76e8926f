#pragma once

#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QToolButton;

namespace tq {

class MusicListView;
class PianoKeyboard;
class UpDownButtons;

// The main window's widgets, each under its given name (member and object name alike), with
// their design-time captions, tooltips and start values. It has no behaviour: the main
// window's logic binds to these members, writes them and listens to their signals.
class MainWindow final : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // The size the window opens at: the comfortable design size, cut down to what the
    // screen's free area leaves for the window inside its frame, and never below the least
    // size the layout allows.
    QSize DefaultSize() const;

    // Orange when the typed value is out of range, the normal text-box colour otherwise.
    static void SetTextBoxValid(QLineEdit* box, bool valid);
    // The "BEEP" lamp: red with its text while a tone sounds, blank otherwise.
    void SetBeepLit(bool lit);
    bool IsBeepLit() const { return beepLit_; }
    // Light green while the metronome is on, the normal button face otherwise.
    void SetMetronomeButtonLit(bool lit);
    // Red while the position text holds an error, green otherwise.
    void SetPlayPosError(bool error);

    // The menu bar, File (when the file commands add it) before Edit.
    QMenuBar* MenuBar;
    QMenu* EditMenu;
    QAction* UndoAction;
    QAction* RedoAction;
    QAction* CutAction;
    QAction* CopyAction;
    QAction* PasteAction;
    QAction* ClearListAction;

    // The music list and the keyboard (PianoKey and OctLabel are reached through it).
    MusicListView* MainList;
    PianoKeyboard* Keyboard;

    // Note entry.
    QLabel* Label1;
    QLineEdit* KeyboardOctaveText;
    UpDownButtons* KeyboardOctaveUpDown;
    QLabel* Label2;
    QComboBox* NoteLengthCombo;
    QCheckBox* ModDottedCheck;
    QCheckBox* ModTripletCheck;
    QGroupBox* NoteClickFrame;
    QCheckBox* NoteClickPlayCheck;
    QGroupBox* AddingNoteFrame;
    QCheckBox* NoteClickAddCheck;
    QRadioButton* AddNote1Option;
    QRadioButton* AddNote2Option;
    QCheckBox* NoteReplaceCheck;
    QCheckBox* NoteLengthReplaceCheck;

    // List editing.
    QPushButton* SilentLineButton;
    QPushButton* ClearNote1Button;
    QPushButton* ClearNote2Button;
    QPushButton* Command1;
    QPushButton* UnselectButton;

    // Tempo and timing.
    QLabel* Label3;
    QLineEdit* BPMText;
    UpDownButtons* BPMUpDown;
    QLabel* AlternateTimeLabel;
    QLineEdit* AlternateTimeText;
    QLabel* mSLabel;
    QLabel* Label4;
    QLabel* Label6;
    QSlider* NoteSilenceRatioSlider;
    QLabel* Label5;
    QLabel* NoteSilenceRatioLabel;
    QLabel* Label8;
    QSlider* TimeSigSlider;
    QLabel* lblTimeSig;

    // Which notes play.
    QGroupBox* NotesToPlayFrame;
    QGroupBox* LineClickFrame;
    QCheckBox* ClickPlayNote1Check;
    QCheckBox* ClickPlayNote2Check;
    QGroupBox* MusicPlayFrame;
    QCheckBox* PlayNote1Check;
    QCheckBox* PlayNote2Check;

    // Playing.
    QPushButton* PlayAllButton;
    QPushButton* PlayFromLineButton;
    QPushButton* StopPlayButton;
    QPushButton* MetronomeButton;
    QPushButton* SaveLoadButton;

    // Position display.
    QLabel* lblPlayBar;
    QLabel* lblPlayPos;
    QLabel* lblPlaySig;
    QCheckBox* NoUpdateCheck;
    QToolButton* NoUpdateHButton;
    QLabel* BeepTextLabel;
    QLabel* lblDebug;

    // Mods.
    QLabel* ModsLabel;
    QCheckBox* MutePiptoneCheck;
    QCheckBox* UseFMODCheck;
    QToolButton* UseFMODHButton;
    QCheckBox* UseVoiceCheck;
    QToolButton* UseVoiceHButton;
    QCheckBox* UseMIDIOutCheck;
    QToolButton* UseMIDIOutHButton;
    QCheckBox* UseMIDIInCheck;
    QToolButton* UseMIDIInHButton;
    QCheckBox* UseMIDIFileCheck;
    QToolButton* UseMIDIFileHButton;
    QCheckBox* UseSynchroCheck;
    QToolButton* UseSynchroHButton;
    QCheckBox* UsePortaCheck;
    QToolButton* UsePortaHButton;
    QCheckBox* UseMotorCheck;
    QLabel* Label7;
    QSlider* MotorOctSlider;
    QCheckBox* UseBeatCheck;
    QToolButton* UseBeatHButton;
    QCheckBox* UseCircuitBentCheck;
    QToolButton* UseCircuitBentHButton;

private:
    bool beepLit_ = false;
    QWidget* BuildNoteEntry();
    QWidget* BuildTiming();
    QWidget* BuildEditButtons(QWidget* parent);
    QWidget* BuildMods();
    QWidget* BuildPlayer();
    void BuildMenus();
};

} // namespace tq
