#include "editor/view/MainFormBinding.h"

#include "editor/MainForm.h"
#include "editor/view/EditingBinding.h"
#include "editor/view/MainWindow.h"
#include "editor/view/MusicListView.h"
#include "editor/view/PianoKeyboard.h"
#include "editor/view/UpDownButtons.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <algorithm>

namespace tq {

namespace {

void ShowCheck(QCheckBox* box, const CheckBoxState& state) {
    const QSignalBlocker block(box);
    box->setChecked(state.Checked);
    box->setEnabled(state.Enabled);
    // A greyed-out box says why, after its own tooltip.
    const char* const designTip = "designToolTip";
    if (!box->property(designTip).isValid()) {
        box->setProperty(designTip, box->toolTip());
    }
    const QString tip = box->property(designTip).toString();
    if (state.Enabled || state.DisabledWhy.isEmpty()) {
        box->setToolTip(tip);
    } else {
        box->setToolTip(tip.isEmpty() ? state.DisabledWhy
                                      : tip + QStringLiteral("\n\n") + state.DisabledWhy);
    }
}

void ShowText(QLineEdit* edit, const TextBoxState& state) {
    // Rewriting an unchanged text would move the cursor under the user's fingers.
    if (edit->text() != state.Text) {
        const QSignalBlocker block(edit);
        edit->setText(state.Text);
    }
    MainWindow::SetTextBoxValid(edit, !state.Invalid);
}

// Key codes and shift state as the key-down handler expects them.
int KeyCodeOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Right:
        return 39;
    default:
        return qtKey;
    }
}

int ShiftStateOf(Qt::KeyboardModifiers mods) {
    return (mods & Qt::ShiftModifier ? 1 : 0) | (mods & Qt::ControlModifier ? 2 : 0) |
           (mods & Qt::AltModifier ? 4 : 0);
}

} // namespace

MainFormBinding::MainFormBinding(MainForm& form, MainWindow& window)
    : QObject(&window), form_(form), w_(window) {
    BuildRefreshers();
    ConnectList();
    ConnectNoteEntry();
    ConnectSettings();
    ConnectPlayback();
    connect(&form_, &MainForm::ControlChanged, this, &MainFormBinding::Refresh);
    connect(&form_, &MainForm::PositionChanged, this, [this] {
        positionDirty_ = true;
        ScheduleViewSync();
    });
    viewSync_.setSingleShot(true);
    connect(&viewSync_, &QTimer::timeout, this, &MainFormBinding::SyncView);
    lampOff_.setSingleShot(true);
    lampOff_.setInterval(kLampHoldMs);
    connect(&lampOff_, &QTimer::timeout, this, [this] { w_.SetBeepLit(false); });
    w_.installEventFilter(this);
    new EditingBinding(form_, w_);
    RefreshAll();
}

void MainFormBinding::ConnectCheck(QCheckBox* box, const std::function<void(bool)>& handler) {
    connect(box, &QCheckBox::clicked, this, handler);
}

void MainFormBinding::ConnectSongCheck(QCheckBox* box, void (MainForm::*setter)(bool)) {
    connect(box, &QCheckBox::clicked, this, [&form = form_, setter](bool on) {
        form.UserChange(SettingKind::Option, [&form, setter, on] { (form.*setter)(on); });
    });
}

void MainFormBinding::ConnectList() {
    w_.MainList->setModel(&form_.List());
    MusicList& list = form_.List();
    connect(&list, &MusicList::SelectionChanged, this, [this] {
        listDirty_ = true;
        ScheduleViewSync();
    });
    connect(&list, &MusicList::ScrollTo, this, [this](int line) {
        scrollLine_ = line;
        listDirty_ = true;
        ScheduleViewSync();
    });
    connect(&list, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int, int last) {
                insertedLine_ = last + 1;
                listDirty_ = true;
                ScheduleViewSync();
            });
    connect(w_.MainList, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { form_.MainList_ItemClick(index.row() + 1); });
    // Moving through the list with the keyboard selects without playing.
    connect(w_.MainList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!syncingSelection_ && current.isValid()) {
                    form_.List().SelectLine(current.row() + 1);
                    form_.UpdateModButtons();
                    if (!form_.State().MusicIsPlaying) {
                        form_.ShowEditPosition(); // the display shows where the selection is
                    }
                }
            });
}

void MainFormBinding::ScheduleViewSync() {
    if (!form_.State().MusicIsPlaying) {
        // While editing, the position is drawn at once and the list follows at the next
        // pass of the event loop.
        if (positionDirty_) {
            positionDirty_ = false;
            RefreshPosition();
        }
        if (listDirty_ && !syncQueued_) {
            syncQueued_ = true;
            QMetaObject::invokeMethod(this, &MainFormBinding::SyncView, Qt::QueuedConnection);
        }
        return;
    }
    // While playing, the list and the position follow at most every kPlayFrameMs: the
    // player moves them right before each tone, a piptone tone leaves no chance to paint
    // until it is over anyway, and fast songs would otherwise repaint for every line. The
    // redraw is queued for the pass of the event loop right after the tone, the point
    // furthest from the next line's start; a change that comes too soon waits for the
    // next one, or for a late catch-up when no further change comes.
    if (!sinceSync_.isValid() || sinceSync_.elapsed() >= kPlayFrameMs) {
        if (!syncQueued_) {
            syncQueued_ = true;
            QMetaObject::invokeMethod(this, &MainFormBinding::SyncView, Qt::QueuedConnection);
        }
    } else if (!viewSync_.isActive()) {
        viewSync_.start(2 * kPlayFrameMs);
    }
}

void MainFormBinding::SyncView() {
    syncQueued_ = false;
    viewSync_.stop();
    sinceSync_.start();
    if (positionDirty_) {
        positionDirty_ = false;
        RefreshPosition();
    }
    if (listDirty_) {
        listDirty_ = false;
        SyncListSelection();
        if (scrollLine_ > 0) {
            w_.MainList->scrollTo(form_.List().index(scrollLine_ - 1, 0));
            scrollLine_ = 0;
        }
        if (!form_.State().MusicIsPlaying) {
            // The insertion point stays in sight through inserts, pastes, undo and redo: the
            // selected line, or without one the end, where new lines go.
            const int line =
                form_.List().HasSelectedLine() ? form_.List().GetSelectedIndex() : insertedLine_;
            if (line > 0) {
                w_.MainList->doItemsLayout(); // the scroll range takes in new rows first
                w_.MainList->scrollTo(form_.List().index(line - 1, 0),
                                      QAbstractItemView::EnsureVisible);
            }
        }
        insertedLine_ = 0;
    }
}

void MainFormBinding::SyncListSelection() {
    const int current = form_.List().GetSelectedIndex();
    const bool selected = form_.List().HasSelectedLine();
    syncingSelection_ = true;
    QItemSelectionModel* sel = w_.MainList->selectionModel();
    if (current == -1 || !selected) {
        sel->clearSelection();
        if (current == -1) {
            sel->clearCurrentIndex();
        }
    } else {
        MusicList& list = form_.List();
        sel->setCurrentIndex(list.index(current - 1, 0),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const MusicList::Range range = list.SelectedRange();
        if (range.Count() > 1) {
            sel->select(QItemSelection(list.index(range.First - 1, 0),
                                       list.index(range.Last - 1, MusicList::ModColumn)),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    syncingSelection_ = false;
}

void MainFormBinding::ConnectNoteEntry() {
    PianoKeyboard* keys = w_.Keyboard;
    connect(keys, &PianoKeyboard::KeyClicked, this, [this](int i) { form_.PianoKey_Click(i); });
    // Changes of the song's settings go through UserChange, each an undo step.
    const auto octave = [this](const std::function<void()>& change) {
        form_.UserChange(SettingKind::Octave, change);
    };
    connect(keys, &PianoKeyboard::KeyDown, this,
            [this, octave](int i, int key, Qt::KeyboardModifiers mods) {
                octave([&] { form_.PianoKey_KeyDown(i, KeyCodeOf(key), ShiftStateOf(mods)); });
            });
    connect(w_.KeyboardOctaveText, &QLineEdit::textEdited, this,
            [this, octave](const QString& t) { octave([&] { form_.SetKeyboardOctaveText(t); }); });
    connect(w_.KeyboardOctaveUpDown, &UpDownButtons::StepUp, this,
            [this, octave] { octave([this] { form_.KeyboardOctaveUpDown_Step(+1); }); });
    connect(w_.KeyboardOctaveUpDown, &UpDownButtons::StepDown, this,
            [this, octave] { octave([this] { form_.KeyboardOctaveUpDown_Step(-1); }); });
    connect(w_.NoteLengthCombo, &QComboBox::activated, this, [this](int i) {
        form_.UserChange(SettingKind::NoteLength, [&] { form_.SetNoteLengthComboIndex(i); });
    });
    ConnectSongCheck(w_.NoteClickPlayCheck, &MainForm::SetNoteClickPlayCheck);
    ConnectSongCheck(w_.NoteClickAddCheck, &MainForm::SetNoteClickAddCheck);
    ConnectSongCheck(w_.NoteReplaceCheck, &MainForm::SetNoteReplaceCheck);
    ConnectSongCheck(w_.NoteLengthReplaceCheck, &MainForm::SetNoteLengthReplaceCheck);
    ConnectCheck(w_.ModDottedCheck, [this](bool on) { form_.SetModDottedCheck(on); });
    ConnectCheck(w_.ModTripletCheck, [this](bool on) { form_.SetModTripletCheck(on); });
    connect(w_.AddNote1Option, &QRadioButton::clicked, this, [this] {
        form_.UserChange(SettingKind::Option, [this] { form_.SetAddNote1Option(true); });
    });
    connect(w_.AddNote2Option, &QRadioButton::clicked, this, [this] {
        form_.UserChange(SettingKind::Option, [this] { form_.SetAddNote2Option(true); });
    });
    connect(w_.ClearNote1Button, &QPushButton::clicked, this,
            [this] { form_.ClearNote1Button_Click(); });
    connect(w_.ClearNote2Button, &QPushButton::clicked, this,
            [this] { form_.ClearNote2Button_Click(); });
    connect(w_.Command1, &QPushButton::clicked, this, [this] { form_.Command1_Click(); });
    connect(w_.SilentLineButton, &QPushButton::clicked, this,
            [this] { form_.SilentLineButton_Click(); });
    connect(w_.UnselectButton, &QPushButton::clicked, this,
            [this] { form_.UnselectButton_Click(); });
}

void MainFormBinding::ConnectSettings() {
    const auto user = [this](SettingKind kind, const std::function<void()>& change) {
        form_.UserChange(kind, change);
    };
    connect(w_.BPMText, &QLineEdit::textEdited, this, [this, user](const QString& t) {
        user(SettingKind::Tempo, [&] { form_.SetBPMText(t); });
    });
    connect(w_.BPMUpDown, &UpDownButtons::StepUp, this,
            [this, user] { user(SettingKind::Tempo, [this] { form_.BPMUpDown_Step(+1); }); });
    connect(w_.BPMUpDown, &UpDownButtons::StepDown, this,
            [this, user] { user(SettingKind::Tempo, [this] { form_.BPMUpDown_Step(-1); }); });
    connect(w_.AlternateTimeText, &QLineEdit::textEdited, this, [this, user](const QString& t) {
        user(SettingKind::AlternateTime, [&] { form_.SetAlternateTimeText(t); });
    });
    connect(w_.NoteSilenceRatioSlider, &QSlider::valueChanged, this, [this, user](int v) {
        user(SettingKind::NoteSilenceRatio, [&] { form_.SetNoteSilenceRatio(v); });
    });
    connect(w_.TimeSigSlider, &QSlider::valueChanged, this, [this, user](int v) {
        user(SettingKind::TimeSig, [&] { form_.SetTimeSigSlider(v); });
    });
    ConnectSongCheck(w_.ClickPlayNote1Check, &MainForm::SetClickPlayNote1Check);
    ConnectSongCheck(w_.ClickPlayNote2Check, &MainForm::SetClickPlayNote2Check);
    ConnectSongCheck(w_.PlayNote1Check, &MainForm::SetPlayNote1Check);
    ConnectSongCheck(w_.PlayNote2Check, &MainForm::SetPlayNote2Check);
    ConnectCheck(w_.NoUpdateCheck, [this](bool on) { form_.SetNoUpdateCheck(on); });
    ConnectCheck(w_.MutePiptoneCheck, [this](bool on) { form_.SetMutePiptoneCheck(on); });
    ConnectCheck(w_.UseFMODCheck, [this](bool on) { form_.SetUseFMODCheck(on); });
    ConnectCheck(w_.UseVoiceCheck, [this](bool on) { form_.SetUseVoiceCheck(on); });
    ConnectCheck(w_.UseMIDIOutCheck, [this](bool on) { form_.SetUseMIDIOutCheck(on); });
    ConnectCheck(w_.UseMIDIInCheck, [this](bool on) { form_.SetUseMIDIInCheck(on); });
    ConnectCheck(w_.UseMIDIFileCheck, [this](bool on) { form_.SetUseMIDIFileCheck(on); });
    ConnectCheck(w_.UseBeatCheck, [this](bool on) { form_.SetUseBeatCheck(on); });
    ConnectCheck(w_.UseCircuitBentCheck, [this](bool on) { form_.SetUseCircuitBentCheck(on); });
    ConnectCheck(w_.UsePortaCheck, [this](bool on) { form_.SetUsePortaCheck(on); });
    ConnectCheck(w_.UseMotorCheck, [this](bool on) { form_.SetUseMotorCheck(on); });
    connect(w_.MotorOctSlider, &QSlider::valueChanged, this,
            [this](int v) { form_.SetMotorOctSlider(v); });
    ConnectCheck(w_.UseSynchroCheck, [this](bool on) { form_.SetUseSynchroCheck(on); });
    for (QToolButton* help : w_.findChildren<QToolButton*>()) {
        if (help->objectName().endsWith(QLatin1String("HButton"))) {
            connect(help, &QToolButton::clicked, this,
                    [this, help] { form_.HelpButton_Click(help->objectName()); });
        }
    }
}

void MainFormBinding::ConnectPlayback() {
    connect(w_.PlayAllButton, &QPushButton::clicked, this, [this] { form_.PlayAllButton_Click(); });
    connect(w_.PlayFromLineButton, &QPushButton::clicked, this,
            [this] { form_.PlayFromLineButton_Click(); });
    connect(w_.StopPlayButton, &QPushButton::clicked, this,
            [this] { form_.StopPlayButton_Click(); });
    connect(w_.MetronomeButton, &QPushButton::clicked, this,
            [this] { form_.MetronomeButton_Click(); });
}

void MainFormBinding::BuildRefreshers() {
    MainForm& f = form_;
    auto& r = refreshers_;
    r["KeyboardOctaveText"] = [this, &f] { ShowText(w_.KeyboardOctaveText, f.KeyboardOctaveText); };
    r["OctLabel"] = [this, &f] {
        for (int i = 0; i < 3; ++i) {
            w_.Keyboard->SetOctLabelCaption(i, f.OctLabel[static_cast<size_t>(i)]);
        }
    };
    r["NoteLengthCombo"] = [this, &f] {
        const QSignalBlocker block(w_.NoteLengthCombo);
        w_.NoteLengthCombo->setCurrentIndex(f.NoteLengthComboIndex);
    };
    r["NoteClickPlayCheck"] = [this, &f] {
        ShowCheck(w_.NoteClickPlayCheck, f.NoteClickPlayCheck);
    };
    r["NoteClickAddCheck"] = [this, &f] { ShowCheck(w_.NoteClickAddCheck, f.NoteClickAddCheck); };
    r["AddNote1Option"] = [this, &f] {
        for (auto [button, on] : {std::pair{w_.AddNote1Option, f.AddNote1Option},
                                  std::pair{w_.AddNote2Option, f.AddNote2Option}}) {
            const QSignalBlocker block(button);
            // Option buttons of one group cannot both be off; release the group for that.
            button->setAutoExclusive(false);
            button->setChecked(on);
            button->setAutoExclusive(true);
            button->setEnabled(f.AddNoteOptionsEnabled);
        }
    };
    r["NoteReplaceCheck"] = [this, &f] { ShowCheck(w_.NoteReplaceCheck, f.NoteReplaceCheck); };
    r["NoteLengthReplaceCheck"] = [this, &f] {
        ShowCheck(w_.NoteLengthReplaceCheck, f.NoteLengthReplaceCheck);
    };
    r["ModDottedCheck"] = [this, &f] { ShowCheck(w_.ModDottedCheck, f.ModDottedCheck); };
    r["ModTripletCheck"] = [this, &f] { ShowCheck(w_.ModTripletCheck, f.ModTripletCheck); };
    r["ClickPlayNote1Check"] = [this, &f] {
        ShowCheck(w_.ClickPlayNote1Check, f.ClickPlayNote1Check);
    };
    r["ClickPlayNote2Check"] = [this, &f] {
        ShowCheck(w_.ClickPlayNote2Check, f.ClickPlayNote2Check);
    };
    r["PlayNote1Check"] = [this, &f] { ShowCheck(w_.PlayNote1Check, f.PlayNote1Check); };
    r["PlayNote2Check"] = [this, &f] { ShowCheck(w_.PlayNote2Check, f.PlayNote2Check); };
    r["BPMText"] = [this, &f] { ShowText(w_.BPMText, f.BPMText); };
    r["AlternateTimeText"] = [this, &f] { ShowText(w_.AlternateTimeText, f.AlternateTimeText); };
    r["NoteSilenceRatioSlider"] = [this, &f] {
        const QSignalBlocker block(w_.NoteSilenceRatioSlider);
        w_.NoteSilenceRatioSlider->setValue(f.NoteSilenceRatioSlider);
    };
    r["NoteSilenceRatioLabel"] = [this, &f] {
        w_.NoteSilenceRatioLabel->setText(f.NoteSilenceRatioLabel);
    };
    r["TimeSigSlider"] = [this, &f] {
        const QSignalBlocker block(w_.TimeSigSlider);
        w_.TimeSigSlider->setValue(f.TimeSigSlider);
    };
    r["lblTimeSig"] = [this, &f] { w_.lblTimeSig->setText(f.lblTimeSig); };
    r["NoUpdateCheck"] = [this, &f] { ShowCheck(w_.NoUpdateCheck, f.NoUpdateCheck); };
    r["MutePiptoneCheck"] = [this, &f] { ShowCheck(w_.MutePiptoneCheck, f.MutePiptoneCheck); };
    r["UseFMODCheck"] = [this, &f] { ShowCheck(w_.UseFMODCheck, f.UseFMODCheck); };
    r["UseBeatCheck"] = [this, &f] { ShowCheck(w_.UseBeatCheck, f.UseBeatCheck); };
    r["UseVoiceCheck"] = [this, &f] { ShowCheck(w_.UseVoiceCheck, f.UseVoiceCheck); };
    r["UseMIDIOutCheck"] = [this, &f] { ShowCheck(w_.UseMIDIOutCheck, f.UseMIDIOutCheck); };
    r["UseMIDIInCheck"] = [this, &f] { ShowCheck(w_.UseMIDIInCheck, f.UseMIDIInCheck); };
    r["UseMIDIFileCheck"] = [this, &f] { ShowCheck(w_.UseMIDIFileCheck, f.UseMIDIFileCheck); };
    r["UseSynchroCheck"] = [this, &f] { ShowCheck(w_.UseSynchroCheck, f.UseSynchroCheck); };
    r["UsePortaCheck"] = [this, &f] { ShowCheck(w_.UsePortaCheck, f.UsePortaCheck); };
    r["UseMotorCheck"] = [this, &f] {
        ShowCheck(w_.UseMotorCheck, f.UseMotorCheck);
        w_.MotorOctSlider->setEnabled(f.MotorOctSliderEnabled);
    };
    r["MotorOctSlider"] = [this, &f] {
        const QSignalBlocker block(w_.MotorOctSlider);
        w_.MotorOctSlider->setValue(f.MotorOctSlider);
    };
    r["UseCircuitBentCheck"] = [this, &f] {
        ShowCheck(w_.UseCircuitBentCheck, f.UseCircuitBentCheck);
    };
    r["BeepTextLabel"] = [this, &f] { ShowBeepLamp(f.BeepTextLabelVisible); };
    r["PianoKey"] = [this, &f] { w_.Keyboard->SetKeysEnabled(f.PianoKeysEnabled); };
    r["PlayAllButton"] = [this, &f] {
        w_.PlayAllButton->setEnabled(f.PlayButtonsEnabled);
        w_.PlayFromLineButton->setEnabled(f.PlayButtonsEnabled);
    };
    r["StopPlayButton"] = [this, &f] { w_.StopPlayButton->setEnabled(f.StopPlayButtonEnabled); };
    r["MetronomeButton"] = [this, &f] { w_.SetMetronomeButtonLit(f.MetronomeLit); };
    r["lblDebug"] = [this, &f] { w_.lblDebug->setVisible(f.lblDebugVisible); };
}

void MainFormBinding::ShowBeepLamp(bool sounding) {
    if (!sounding) {
        // Held a moment, so a run of short tones shows as one light.
        lampOff_.start();
        return;
    }
    lampOff_.stop();
    if (!w_.IsBeepLit()) {
        // A piptone tone blocks the event loop: paint before it starts.
        w_.SetBeepLit(true);
        w_.BeepTextLabel->repaint();
    }
}

void MainFormBinding::Refresh(const QString& name) {
    const auto it = refreshers_.constFind(name);
    if (it != refreshers_.constEnd()) {
        (*it)();
    }
}

void MainFormBinding::RefreshAll() {
    for (const auto& refresh : std::as_const(refreshers_)) {
        refresh();
    }
    RefreshPosition();
}

void MainFormBinding::RefreshPosition() {
    const PositionLabels& l = form_.Position().Labels();
    w_.lblPlayBar->setText(l.PlayBar);
    w_.lblPlayPos->setText(l.PlayPos);
    w_.lblPlaySig->setText(l.PlaySig);
    w_.SetPlayPosError(l.PlayPosError);
}

bool MainFormBinding::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &w_ && event->type() == QEvent::Close) {
        // A play or metronome loop may be running under this close: end them so nothing
        // goes on sounding without a window.
        form_.StopPlayButton_Click();
        if (form_.State().MetronomeOn) {
            form_.MetronomeButton_Click();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tq
