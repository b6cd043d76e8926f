// Undo, cut, copy and paste of lines, and the question about unsaved changes.
#include "editor/MainForm.h"

#include "core/LogSink.h"
#include "editor/EditCommands.h"
#include "editor/MainFormSongTarget.h"
#include "platform/Clipboard.h"
#include "platform/MessageBoxes.h"
#include "songfile/SongFormat.h"

#include <QFileInfo>

#include <memory>

namespace tq {

namespace {

QString Lines(int count) {
    return count == 1 ? QStringLiteral("1 line") : QStringLiteral("%1 lines").arg(count);
}

QString ClipboardText(const std::vector<MusicLine>& lines) {
    QString text;
    for (const MusicLine& line : lines) {
        text += MusicListLineText(line);
        text += QLatin1Char('\n');
    }
    return text;
}

// The clipboard's text read as the song reader reads the music list: blank lines and
// "//" comments skipped, every other line a music line the program could have written
// (ordinary text would otherwise paste as lines that play nothing). False with the first
// line that is not one (empty when there are no lines at all).
bool ParseClipboardText(const QString& text, std::vector<MusicLine>& lines, QString& badLine) {
    MusicLine line;
    for (QString row : text.split(QLatin1Char('\n'))) {
        if (row.endsWith(QLatin1Char('\r'))) {
            row.chop(1);
        }
        if (row.isEmpty() || row.startsWith(QLatin1String("//"))) {
            continue;
        }
        if (!ParseMusicListLine(row, line) || !IsMusicLine(line)) {
            badLine = row;
            return false;
        }
        lines.push_back(line);
    }
    return !lines.empty();
}

} // namespace

void MainForm::UserChange(SettingKind kind, const std::function<void()>& change) {
    if (userChangeDepth_ > 0) {
        change();
        return;
    }
    const SongSettings before = CaptureSongSettings(*this);
    ++userChangeDepth_;
    change();
    --userChangeDepth_;
    SongSettings after = CaptureSongSettings(*this);
    if (after != before) {
        Record(new SettingsCommand(*this, kind, before, std::move(after)));
    }
}

void MainForm::Replay(const std::function<void()>& step) {
    ++userChangeDepth_;
    step();
    --userChangeDepth_;
}

void MainForm::CopyLines() {
    const MusicList::Range range = list_.SelectedRange();
    if (range.Count() > 0 && clipboard_ != nullptr) {
        clipboard_->SetText(ClipboardText(list_.Lines(range)));
    }
}

void MainForm::CutLines() {
    const MusicList::Range range = list_.SelectedRange();
    if (range.Count() <= 0) {
        return;
    }
    CopyLines();
    const QString text = range.Count() == 1 ? QStringLiteral("Cut line %1").arg(range.First)
                                            : QStringLiteral("Cut ") + Lines(range.Count());
    // Like erasing a line: the line that moves up into the gap is selected.
    Record(new RemoveLinesCommand(*this, text, range, [this, first = range.First] {
        if (list_.DoesIndexExist(first)) {
            list_.SelectLine(first);
        }
    }));
    ShowEditPosition();
}

void MainForm::PasteLines() {
    std::vector<MusicLine> lines;
    QString badLine;
    if (!ParseClipboardText(clipboard_ ? clipboard_->Text() : QString(), lines, badLine)) {
        constexpr int kShown = 80;
        if (badLine.size() > kShown) {
            badLine = badLine.left(kShown) + QStringLiteral("...");
        }
        d_.boxes.Show(
            QStringLiteral("Can't paste"),
            QStringLiteral("The clipboard doesn't hold lines of the music list. Each line "
                           "should be\nLength Note1 Note2\nOR: Length Note1 Note2 Mod\nwith - "
                           "for an empty note.") +
                (badLine.isEmpty() ? QString()
                                   : QStringLiteral("\n\nThis line isn't:\n") + badLine),
            MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    const int count = static_cast<int>(lines.size());
    // Where a clicked note would go: before the selected line, which stays selected.
    const int index = LineIsSelected() ? list_.GetSelectedIndex() : list_.LineCount() + 1;
    Record(new InsertLinesCommand(*this, QStringLiteral("Paste ") + Lines(count), index,
                                  std::move(lines)));
    ShowEditPosition();
}

void MainForm::ClearList() {
    if (list_.LineCount() == 0 || !AskToSaveChanges()) {
        return;
    }
    Record(new ClearListCommand(*this));
    ShowEditPosition();
}

void MainForm::ImportSong(const QString& name, const std::function<void(SongTarget&)>& apply) {
    auto command = std::make_unique<ReplaceSongCommand>(*this, QStringLiteral("Import ") + name);
    MainFormSongTarget target(*this);
    apply(target);
    command->Finish();
    ShowEditPosition();
    Record(command.release());
}

bool MainForm::AskToSaveChanges() {
    if (!IsModified()) {
        return true;
    }
    const MsgAnswer answer =
        d_.boxes.Show(QString(), QStringLiteral("Save changes to %1?").arg(SongName()),
                      MsgButtons::SaveDiscardCancel, MsgIcon::Question);
    if (answer == MsgAnswer::Discard) {
        return true;
    }
    if (answer != MsgAnswer::Save || !saveSong_) {
        return false;
    }
    saveSong_();
    // The Save dialog may have been cancelled, or the file not written.
    return !IsModified();
}

void MainForm::SongLoaded(const QString& path) {
    songPath_ = path;
    history_.clear();
    ShowEditPosition();
    emit SongFileChanged(path);
    emit WindowTitleChanged();
}

void MainForm::SongSaved(const QString& path) {
    songPath_ = path;
    history_.setClean();
    emit SongFileChanged(path);
    emit WindowTitleChanged();
}

void MainForm::NewSong() {
    if (!AskToSaveChanges()) {
        return;
    }
    StopPlayButton_Click();
    list_.ClearLines();
    SongLoaded(QString());
}

void MainForm::SetWindowCaption(const QString& caption) {
    windowCaption_ = caption;
    emit WindowTitleChanged();
}

QString MainForm::WindowTitle() const {
    return (IsModified() ? QStringLiteral("*") : QString()) + SongName() + QStringLiteral(" - ") +
           windowCaption_;
}

QString MainForm::SongName() const {
    return songPath_.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(songPath_).fileName();
}

} // namespace tq
