// Note entry from the piano keyboard and editing of the music list.
#include "editor/MainForm.h"

#include "core/LogSink.h"
#include "core/NoteFrequencies.h"
#include "core/NoteLengths.h"
#include "core/Rounding.h"
#include "editor/EditCommands.h"
#include "playback/ToneDispatcher.h"

#include <algorithm>

namespace tq {

namespace {

constexpr int kOctaveMin = 2; // the up-down control's range
constexpr int kOctaveMax = 9;
constexpr int kShiftCtrl = 2;
constexpr int kKeyUp = 38;
constexpr int kKeyDown = 40;

QString TrueFalse(bool b) {
    return b ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

} // namespace

void MainForm::PianoKey_Click(int index) {
    LogSink& log = d_.log;
    log.LogIndentInc(QStringLiteral("PianoKey clicked - START"));
    static const char* const regions[] = {"orange", "blue", "green"};
    const int group = std::clamp(index / 12, 0, 2);
    log.LogText(
        QStringLiteral("Index is %1 (%2 region)").arg(index).arg(QLatin1String(regions[group])));
    const int note = index - group * 12;
    // The octave is an unsigned byte: the orange group of octave 0 stays at 0.
    const int octave = std::clamp(int{KeyboardOctave} + group - 1, 0, 255);
    log.LogText(QStringLiteral("Index:%1, CurrentOctave:%2").arg(note).arg(octave));
    if (NoteClickPlayCheck.Checked) {
        d_.tones.UniBeepValue(NoteNumToNoteString(note, octave, true), 50, false, false, true,
                              false);
    }
    if (NoteClickAddCheck.Checked) {
        AddNote(note, octave, NoteLengthComboIndex);
    }
    ShowEditPosition();
    log.LogIndentDec(QStringLiteral("PianoKey clicked - END"));
}

void MainForm::PianoKey_KeyDown(int /*index*/, int keyCode, int shift) {
    if (shift != kShiftCtrl || (keyCode != kKeyUp && keyCode != kKeyDown)) {
        return;
    }
    if (keyCode == kKeyUp && KeyboardOctave < kOctaveMax) {
        ++KeyboardOctave;
    } else if (keyCode == kKeyDown && KeyboardOctave > kOctaveMin) {
        --KeyboardOctave;
    }
    SetKeyboardOctaveText(QString::number(KeyboardOctave));
}

void MainForm::SetKeyboardOctaveText(const QString& text) {
    KeyboardOctaveText.Text = text;
    Changed("KeyboardOctaveText");
    if (text.isEmpty() || IsNumberBeingTyped(text)) {
        return;
    }
    if (!IsNumeric(text)) {
        SetKeyboardOctaveText(QString::number(KeyboardOctave));
        return;
    }
    if (LeadingNumber(text) < kOctaveMin) {
        SetKeyboardOctaveText(QString::number(kOctaveMin));
        return;
    }
    // No upper check: typed octaves above 9 are taken, but must fit a byte.
    KeyboardOctave =
        static_cast<uint8_t>(std::clamp<int64_t>(RoundHalfEven(LeadingNumber(text)), 0, 255));
    UpdateOctaveLabels();
}

void MainForm::KeyboardOctaveUpDown_Step(int delta) {
    const int value = std::clamp(int{KeyboardOctave} + delta, kOctaveMin, kOctaveMax);
    SetKeyboardOctaveText(QString::number(value));
}

void MainForm::UpdateOctaveLabels() {
    for (int i = 0; i < 3; ++i) {
        OctLabel[static_cast<size_t>(i)] = QString::number(int{KeyboardOctave} - 1 + i);
    }
    Changed("OctLabel");
}

void MainForm::SetNoteLengthComboIndex(int index) {
    NoteLengthComboIndex = std::clamp(index, 0, 4);
    Changed("NoteLengthCombo");
}

int MainForm::InsertPointForNewNote() {
    LogSink& log = d_.log;
    const int selected = list_.GetSelectedIndex();
    int insertPoint = list_.LineCount() + 1;
    if (selected == -1) {
        log.LogText(
            QStringLiteral("GetSelectedIndex(MainList) returned -1 - inserting at end of list."));
    } else {
        log.LogText(QStringLiteral("GetSelectedIndex(MainList) returned %1 - asking item to see "
                                   "if it's actually selected.")
                        .arg(selected));
        if (list_.IsLineSelected(selected)) {
            log.LogText(QStringLiteral("It is! Inserting here."));
            insertPoint = selected;
        } else {
            log.LogText(QStringLiteral("It's not - inserting at end of list."));
        }
    }
    log.LogText(QStringLiteral("InsertPoint = %1").arg(insertPoint));
    return insertPoint;
}

void MainForm::AddNote(int noteNumber, int octave, int lengthIndex) {
    LogSink& log = d_.log;
    const QString lengthText = GetLengthAsWritten(lengthIndex);
    log.LogIndentInc(QStringLiteral("AddNote(%1, %2, %3 (%4)) - START")
                         .arg(noteNumber)
                         .arg(octave)
                         .arg(lengthIndex)
                         .arg(lengthText));
    QString noteLetter = NoteNumToLetter(noteNumber);
    if (noteLetter.isEmpty()) {
        noteLetter = QStringLiteral("Err%1-").arg(noteNumber);
    }
    log.LogText(QStringLiteral("NoteLetter = ") + noteLetter);

    const int insertPoint = InsertPointForNewNote();
    bool replace = false;
    if (insertPoint == list_.LineCount() + 1) {
        log.LogText(QStringLiteral("Not possible to replace as-of-yet unmade note."));
    } else if (NoteReplaceCheck.Checked) {
        log.LogText(QStringLiteral("Possible to replace note, and replacing is wanted."));
        replace = true;
    }
    log.LogText(QStringLiteral("Replace = ") + TrueFalse(replace));

    const QString modText = ModDottedCheck.Checked    ? QStringLiteral("Dot")
                            : ModTripletCheck.Checked ? QStringLiteral("Tri")
                                                      : QString();
    // The line is made whole first and then goes in as one undo step.
    MusicLine line;
    if (replace) {
        log.LogText(QStringLiteral("REPLACING (doing nothing here)..."));
        line = list_.Line(insertPoint);
    } else {
        log.LogText(QStringLiteral("INSERTING (creating list item)..."));
        line = MusicLine{lengthText, {}, {}, modText};
    }

    log.LogText(QStringLiteral("Setting note's text..."));
    const bool silent = noteLetter == QLatin1String("-");
    if (!silent) {
        log.LogText(QStringLiteral("It's not meant to be silent - setting text for "));
        log.LogText(AddNote1Option ? QStringLiteral("NOTE1.") : QStringLiteral("NOTE2."), true);
        (AddNote1Option ? line.Note1 : line.Note2) = noteLetter + QString::number(octave);
    } else {
        log.LogText(QStringLiteral("It's meant to be silent."));
    }

    if (NoteLengthReplaceCheck.Checked) {
        log.LogText(QStringLiteral("Also changing main text (i.e. Length)..."));
        line.Length = lengthText;
        log.LogText(ModDottedCheck.Checked    ? QStringLiteral("Modifier: Dotted")
                    : ModTripletCheck.Checked ? QStringLiteral("Modifier: Triplet")
                                              : QStringLiteral("Modifier: None"));
        line.Mod = modText;
    }
    auto select = [this, insertPoint] { SelectAfterAdding(insertPoint); };
    if (replace) {
        ReplaceLine(insertPoint, line, QStringLiteral("Replace line %1").arg(insertPoint), select);
    } else {
        Record(new InsertLinesCommand(
            *this,
            (silent ? QStringLiteral("Insert blank line %1") : QStringLiteral("Insert line %1"))
                .arg(insertPoint),
            insertPoint, {line}, select));
    }
    log.LogIndentDec(QStringLiteral("AddNote() - END"));
}

void MainForm::SelectAfterAdding(int insertPoint) {
    // The next note goes in front of the line that was selected (insert) or over the
    // following line (replace); after the last line, it is appended.
    if (insertPoint < list_.LineCount()) {
        list_.SelectLine(insertPoint + 1);
    } else {
        list_.DeselectSelected();
    }
}

void MainForm::MainList_ItemClick(int index) {
    list_.SelectLine(index);
    UpdateModButtons();
    sequencer_.PlayMusic(index, index, true);
}

void MainForm::ReplaceLine(int index, const MusicLine& line, const QString& text,
                           std::function<void()> select) {
    if (line == list_.Line(index)) {
        if (select) {
            select();
        }
        return;
    }
    Record(new ReplaceLineCommand(*this, text, index, line, std::move(select)));
}

void MainForm::ClearNote1Button_Click() {
    if (LineIsSelected()) {
        const int index = list_.GetSelectedIndex();
        MusicLine line = list_.Line(index);
        line.Note1.clear();
        ReplaceLine(index, line, QStringLiteral("Clear Note 1 of line %1").arg(index));
    }
}

void MainForm::ClearNote2Button_Click() {
    if (LineIsSelected()) {
        const int index = list_.GetSelectedIndex();
        MusicLine line = list_.Line(index);
        line.Note2.clear();
        ReplaceLine(index, line, QStringLiteral("Clear Note 2 of line %1").arg(index));
    }
}

void MainForm::Command1_Click() {
    if (!LineIsSelected()) {
        return;
    }
    const int index = list_.GetSelectedIndex();
    Record(new RemoveLinesCommand(*this, QStringLiteral("Erase line %1").arg(index), {index, index},
                                  [this, index] {
                                      if (list_.DoesIndexExist(index)) {
                                          list_.SelectLine(index);
                                      }
                                  }));
    ShowEditPosition();
}

void MainForm::SilentLineButton_Click() {
    AddNote(-1, 0, NoteLengthComboIndex);
    ShowEditPosition();
}

void MainForm::UnselectButton_Click() {
    list_.DeselectSelected();
    int start = 0;
    position_.ShowPlayPos(position_.WorkOutPlayPos(start));
}

void MainForm::UpdateModButtons() {
    if (!LineIsSelected()) {
        return;
    }
    // The boxes only show the line's modifier: setting them through their click handlers
    // would write it back into the line, and selecting or playing must never edit.
    const QString mod = list_.Line(list_.GetSelectedIndex()).Mod.toLower();
    const bool dotted = mod.contains(QLatin1String("dot"));
    const bool triplet = !dotted && mod.contains(QLatin1String("tri"));
    if (dotted) {
        d_.log.LogText(QStringLiteral("UpdateModButtons() - Dotted"));
    } else if (triplet) {
        d_.log.LogText(QStringLiteral("UpdateModButtons() - Triplet"));
    }
    SetCheck(ModDottedCheck, "ModDottedCheck", dotted);
    SetCheck(ModTripletCheck, "ModTripletCheck", triplet);
}

void MainForm::SetModDottedCheck(bool ticked) {
    SetModCheck(true, ticked);
}

void MainForm::SetModTripletCheck(bool ticked) {
    SetModCheck(false, ticked);
}

void MainForm::SetModCheck(bool dotted, bool ticked) {
    CheckBoxState& box = dotted ? ModDottedCheck : ModTripletCheck;
    // Like a check box set from code, the handler runs only when the value changes.
    if (box.Checked == ticked) {
        return;
    }
    SetCheck(box, dotted ? "ModDottedCheck" : "ModTripletCheck", ticked);
    if (!modGuard_) {
        modGuard_ = true;
        SetModCheck(!dotted, false);
        modGuard_ = false;
    }
    if (LineIsSelected()) {
        const int index = list_.GetSelectedIndex();
        MusicLine line = list_.Line(index);
        line.Mod = ticked ? (dotted ? QStringLiteral("Dot") : QStringLiteral("Tri")) : QString();
        ReplaceLine(index, line, QStringLiteral("Mod change on line %1").arg(index));
    }
}

void MainForm::SetNoteClickAddCheck(bool ticked) {
    SetCheck(NoteClickAddCheck, "NoteClickAddCheck", ticked);
    AddNoteOptionsEnabled = ticked;
    NoteReplaceCheck.Enabled = ticked;
    Changed("AddNote1Option");
    Changed("NoteReplaceCheck");
    if (ticked) {
        SetNoteReplaceCheck(NoteReplaceCheck.Checked);
    } else {
        NoteLengthReplaceCheck.Enabled = false;
        Changed("NoteLengthReplaceCheck");
    }
}

void MainForm::SetNoteReplaceCheck(bool ticked) {
    SetCheck(NoteReplaceCheck, "NoteReplaceCheck", ticked);
    // Its tick stays when it is disabled.
    NoteLengthReplaceCheck.Enabled = ticked;
    Changed("NoteLengthReplaceCheck");
}

void MainForm::SetNoteLengthReplaceCheck(bool ticked) {
    SetCheck(NoteLengthReplaceCheck, "NoteLengthReplaceCheck", ticked);
}

void MainForm::SetAddNote1Option(bool selected) {
    AddNote1Option = selected;
    if (selected) {
        AddNote2Option = false;
    }
    Changed("AddNote1Option");
}

void MainForm::SetAddNote2Option(bool selected) {
    AddNote2Option = selected;
    if (selected) {
        AddNote1Option = false;
    }
    Changed("AddNote1Option");
}

void MainForm::SetNoteClickPlayCheck(bool ticked) {
    SetCheck(NoteClickPlayCheck, "NoteClickPlayCheck", ticked);
}

} // namespace tq
