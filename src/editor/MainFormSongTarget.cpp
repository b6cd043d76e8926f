#include "editor/MainFormSongTarget.h"

#include "editor/MainForm.h"

namespace tq {

uint8_t MainFormSongTarget::KeyboardOctave() const {
    return form_.KeyboardOctave;
}
int32_t MainFormSongTarget::BPM() const {
    return form_.Settings().BPM;
}
int32_t MainFormSongTarget::TimeSig() const {
    return form_.Settings().TimeSig;
}
int MainFormSongTarget::NoteSilenceRatio() const {
    return form_.NoteSilenceRatioSlider;
}
int MainFormSongTarget::NoteLengthIndex() const {
    return form_.NoteLengthComboIndex;
}
QString MainFormSongTarget::AlternateTimeText() const {
    return form_.SongAlternateTimeText();
}
int32_t MainFormSongTarget::LineCount() const {
    return form_.List().LineCount();
}
MusicLine MainFormSongTarget::Line(int32_t index) const {
    return form_.List().Line(index);
}

const CheckBoxState& MainFormSongTarget::Box(SongCheck box) const {
    switch (box) {
    case SongCheck::NoteClickPlay:
        return form_.NoteClickPlayCheck;
    case SongCheck::NoteClickAdd:
        return form_.NoteClickAddCheck;
    case SongCheck::NoteReplace:
        return form_.NoteReplaceCheck;
    case SongCheck::NoteLengthReplace:
        return form_.NoteLengthReplaceCheck;
    case SongCheck::ClickPlayNote1:
        return form_.ClickPlayNote1Check;
    case SongCheck::ClickPlayNote2:
        return form_.ClickPlayNote2Check;
    case SongCheck::PlayNote1:
        return form_.PlayNote1Check;
    case SongCheck::PlayNote2:
        break;
    }
    return form_.PlayNote2Check;
}

int MainFormSongTarget::Check(SongCheck box) const {
    return Box(box).Checked ? 1 : 0;
}

bool MainFormSongTarget::Option(SongOption option) const {
    return option == SongOption::AddNote1 ? form_.AddNote1Option : form_.AddNote2Option;
}

void MainFormSongTarget::SetKeyboardOctave(uint8_t octave) {
    form_.KeyboardOctave = octave;
}

// Like a real text box, the change handler runs only when the text changes.
void MainFormSongTarget::SetKeyboardOctaveText(const QString& text) {
    if (text != form_.KeyboardOctaveText.Text) {
        form_.SetKeyboardOctaveText(text);
    }
}

void MainFormSongTarget::UpdateOctaveLabels() {
    form_.UpdateOctaveLabels();
}
void MainFormSongTarget::SetBPMVariable(int32_t bpm) {
    form_.Settings().BPM = bpm;
}

void MainFormSongTarget::SetBPMText(const QString& text) {
    if (text != form_.BPMText.Text) {
        form_.SetBPMText(text);
    }
}

void MainFormSongTarget::SetTimeSig(int32_t beats) {
    form_.SetTimeSigSlider(beats);
}
void MainFormSongTarget::SetNoteSilenceRatio(int percent) {
    form_.SetNoteSilenceRatio(percent);
}
void MainFormSongTarget::SetNoteLengthIndex(int index) {
    form_.SetNoteLengthComboIndex(index);
}
void MainFormSongTarget::SetAlternateTime(int16_t ms) {
    form_.Settings().AlternateTime = ms;
    form_.KeepSongAlternateTime();
}

void MainFormSongTarget::SetAlternateTimeText(const QString& text) {
    if (text != form_.AlternateTimeText.Text) {
        form_.SetAlternateTimeText(text);
    }
}

void MainFormSongTarget::SetCheck(SongCheck box, int state) {
    const bool ticked = state != 0;
    if (Box(box).Checked == ticked) {
        return; // a check box set to its own value runs no handler
    }
    switch (box) {
    case SongCheck::NoteClickPlay:
        return form_.SetNoteClickPlayCheck(ticked);
    case SongCheck::NoteClickAdd:
        return form_.SetNoteClickAddCheck(ticked);
    case SongCheck::NoteReplace:
        return form_.SetNoteReplaceCheck(ticked);
    case SongCheck::NoteLengthReplace:
        return form_.SetNoteLengthReplaceCheck(ticked);
    case SongCheck::ClickPlayNote1:
        return form_.SetClickPlayNote1Check(ticked);
    case SongCheck::ClickPlayNote2:
        return form_.SetClickPlayNote2Check(ticked);
    case SongCheck::PlayNote1:
        return form_.SetPlayNote1Check(ticked);
    case SongCheck::PlayNote2:
        return form_.SetPlayNote2Check(ticked);
    }
}

void MainFormSongTarget::SetOption(SongOption option, bool selected) {
    if (option == SongOption::AddNote1) {
        form_.SetAddNote1Option(selected);
    } else {
        form_.SetAddNote2Option(selected);
    }
}

void MainFormSongTarget::ClearLines() {
    form_.List().ClearLines();
}
void MainFormSongTarget::AppendLines(std::vector<MusicLine> lines) {
    form_.List().AppendLines(std::move(lines));
}
void MainFormSongTarget::StopPlaying() {
    form_.StopPlayButton_Click();
}
void MainFormSongTarget::SongLoaded(const QString& path) {
    form_.SongLoaded(path);
}
void MainFormSongTarget::SongSaved(const QString& path) {
    form_.SongSaved(path);
}

} // namespace tq
