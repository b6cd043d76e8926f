#pragma once

#include "core/MusicLine.h"
#include "editor/MusicList.h"
#include "editor/SongSettings.h"

#include <QUndoCommand>

#include <functional>
#include <vector>

namespace tq {

class MainForm;

// An undo step of the music list. Undo and redo change the lines through the list, as the
// edit by hand did, put back the selection there was before or after it, and show the
// position of the edit. The first redo is the edit by hand itself: it ends with the hand
// edit's own choice of selection.
class ListEditCommand : public QUndoCommand {
public:
    ListEditCommand(MainForm& form, const QString& text, std::function<void()> select);
    void undo() final;
    void redo() final;

protected:
    virtual void Apply() = 0;
    virtual void Revert() = 0;
    MusicList& List();

private:
    MainForm& form_;
    MusicList::Selection before_;
    MusicList::Selection after_;
    std::function<void()> select_;
    bool first_ = true;
};

class InsertLinesCommand final : public ListEditCommand {
public:
    InsertLinesCommand(MainForm& form, const QString& text, int index, std::vector<MusicLine> lines,
                       std::function<void()> select = {});

private:
    void Apply() override;
    void Revert() override;
    int index_;
    std::vector<MusicLine> lines_;
};

// Erase and cut: the lines are kept for undo.
class RemoveLinesCommand final : public ListEditCommand {
public:
    RemoveLinesCommand(MainForm& form, const QString& text, MusicList::Range range,
                       std::function<void()> select = {});

private:
    void Apply() override;
    void Revert() override;
    int index_;
    std::vector<MusicLine> lines_;
};

// A note replaced, a note cleared, a modifier changed: one line's cells.
class ReplaceLineCommand final : public ListEditCommand {
public:
    ReplaceLineCommand(MainForm& form, const QString& text, int index, MusicLine line,
                       std::function<void()> select = {});

private:
    void Apply() override;
    void Revert() override;
    int index_;
    MusicLine before_;
    MusicLine after_;
};

class ClearListCommand final : public ListEditCommand {
public:
    explicit ClearListCommand(MainForm& form);

private:
    void Apply() override;
    void Revert() override;
    std::vector<MusicLine> lines_;
};

// A change the user has already made to the song's settings. Undo and redo set them the
// way the song reader does; changes of one kind in a row merge into one step.
class SettingsCommand final : public QUndoCommand {
public:
    SettingsCommand(MainForm& form, SettingKind kind, SongSettings before, SongSettings after);
    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    MainForm& form_;
    SettingKind kind_;
    SongSettings before_;
    SongSettings after_;
    bool first_ = true;
};

// The whole song replaced, settings and lines: taken before the change, and once it is
// made, after it (Finish), before it is pushed.
class ReplaceSongCommand final : public QUndoCommand {
public:
    ReplaceSongCommand(MainForm& form, const QString& text);
    void Finish();
    void undo() override;
    void redo() override;

private:
    struct Song {
        SongSettings settings;
        std::vector<MusicLine> lines;
        MusicList::Selection selection;
    };
    Song Take() const;
    void Put(const Song& song);

    MainForm& form_;
    Song before_;
    Song after_;
    bool first_ = true;
};

} // namespace tq
