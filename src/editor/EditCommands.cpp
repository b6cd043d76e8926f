#include "editor/EditCommands.h"

#include "core/LogSink.h"
#include "editor/MainForm.h"

namespace tq {

namespace {

void LogStep(MainForm& form, const char* what, const QUndoCommand& command) {
    form.Log().LogText(QLatin1String(what) + QLatin1Char(' ') + command.text());
}

} // namespace

ListEditCommand::ListEditCommand(MainForm& form, const QString& text, std::function<void()> select)
    : QUndoCommand(text), form_(form), before_(form.List().CurrentSelection()),
      select_(std::move(select)) {}

MusicList& ListEditCommand::List() {
    return form_.List();
}

void ListEditCommand::redo() {
    if (first_) {
        first_ = false;
        Apply();
        if (select_) {
            select_();
        }
        select_ = nullptr;
        after_ = List().CurrentSelection();
        return;
    }
    LogStep(form_, "Redo", *this);
    form_.Replay([this] {
        Apply();
        List().RestoreSelection(after_);
        form_.ShowEditPosition();
        form_.UpdateModButtons();
    });
}

void ListEditCommand::undo() {
    LogStep(form_, "Undo", *this);
    form_.Replay([this] {
        Revert();
        List().RestoreSelection(before_);
        form_.ShowEditPosition();
        form_.UpdateModButtons();
    });
}

InsertLinesCommand::InsertLinesCommand(MainForm& form, const QString& text, int index,
                                       std::vector<MusicLine> lines, std::function<void()> select)
    : ListEditCommand(form, text, std::move(select)), index_(index), lines_(std::move(lines)) {}

void InsertLinesCommand::Apply() {
    List().InsertLines(index_, lines_);
}

void InsertLinesCommand::Revert() {
    List().RemoveLines(index_, static_cast<int>(lines_.size()));
}

RemoveLinesCommand::RemoveLinesCommand(MainForm& form, const QString& text, MusicList::Range range,
                                       std::function<void()> select)
    : ListEditCommand(form, text, std::move(select)), index_(range.First),
      lines_(form.List().Lines(range)) {}

void RemoveLinesCommand::Apply() {
    List().RemoveLines(index_, static_cast<int>(lines_.size()));
}

void RemoveLinesCommand::Revert() {
    List().InsertLines(index_, lines_);
}

ReplaceLineCommand::ReplaceLineCommand(MainForm& form, const QString& text, int index,
                                       MusicLine line, std::function<void()> select)
    : ListEditCommand(form, text, std::move(select)), index_(index),
      before_(form.List().Line(index)), after_(std::move(line)) {}

void ReplaceLineCommand::Apply() {
    List().SetLine(index_, after_);
}

void ReplaceLineCommand::Revert() {
    List().SetLine(index_, before_);
}

ClearListCommand::ClearListCommand(MainForm& form)
    : ListEditCommand(form, QStringLiteral("Clear list"), {}), lines_(form.List().AllLines()) {}

void ClearListCommand::Apply() {
    List().ClearLines();
}

void ClearListCommand::Revert() {
    List().AppendLines(lines_);
}

SettingsCommand::SettingsCommand(MainForm& form, SettingKind kind, SongSettings before,
                                 SongSettings after)
    : QUndoCommand(SettingKindText(kind)), form_(form), kind_(kind), before_(std::move(before)),
      after_(std::move(after)) {}

void SettingsCommand::redo() {
    if (first_) {
        first_ = false; // the user has just made the change
        return;
    }
    LogStep(form_, "Redo", *this);
    form_.Replay([this] { ApplySongSettings(form_, after_); });
}

void SettingsCommand::undo() {
    LogStep(form_, "Undo", *this);
    form_.Replay([this] { ApplySongSettings(form_, before_); });
}

int SettingsCommand::id() const {
    // Ticking boxes one after another stays a step each.
    return kind_ == SettingKind::Option ? -1 : 1 + static_cast<int>(kind_);
}

bool SettingsCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = static_cast<const SettingsCommand*>(other);
    after_ = next->after_;
    // Typed back to where it started: no step at all.
    setObsolete(after_ == before_);
    return true;
}

ReplaceSongCommand::ReplaceSongCommand(MainForm& form, const QString& text)
    : QUndoCommand(text), form_(form), before_(Take()) {}

ReplaceSongCommand::Song ReplaceSongCommand::Take() const {
    return {CaptureSongSettings(form_), form_.List().AllLines(), form_.List().CurrentSelection()};
}

void ReplaceSongCommand::Finish() {
    after_ = Take();
}

void ReplaceSongCommand::Put(const Song& song) {
    form_.Replay([this, &song] {
        ApplySongSettings(form_, song.settings);
        MusicList& list = form_.List();
        list.ClearLines();
        list.AppendLines(song.lines);
        list.RestoreSelection(song.selection);
        form_.ShowEditPosition();
        form_.UpdateModButtons();
    });
}

void ReplaceSongCommand::redo() {
    if (first_) {
        first_ = false;
        return;
    }
    LogStep(form_, "Redo", *this);
    Put(after_);
}

void ReplaceSongCommand::undo() {
    LogStep(form_, "Undo", *this);
    Put(before_);
}

} // namespace tq
