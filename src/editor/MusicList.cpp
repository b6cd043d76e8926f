#include "editor/MusicList.h"

#include <algorithm>

namespace tq {

MusicList::MusicList(QObject* parent) : QAbstractTableModel(parent) {}

MusicLine MusicList::Line(int index) const {
    return DoesIndexExist(index) ? lines_.At(static_cast<size_t>(index - 1)) : MusicLine{};
}

bool MusicList::DoesIndexExist(int index) const {
    return index >= 1 && index <= LineCount();
}

bool MusicList::IsLineSelected(int index) const {
    return DoesIndexExist(index) && index == current_ && selected_;
}

void MusicList::SelectLine(int index) {
    if (!DoesIndexExist(index)) {
        return;
    }
    current_ = index;
    selected_ = true;
    rangeEnd_ = 0;
    emit SelectionChanged(current_, selected_);
    emit ScrollTo(index);
}

void MusicList::DeselectSelected() {
    if (current_ != -1 && selected_) {
        selected_ = false;
        rangeEnd_ = 0;
        emit SelectionChanged(current_, selected_);
    }
}

void MusicList::RestoreSelection(Selection selection) {
    current_ = DoesIndexExist(selection.Current) ? selection.Current : -1;
    selected_ = current_ != -1 && selection.Selected;
    rangeEnd_ = 0;
    emit SelectionChanged(current_, selected_);
    if (current_ != -1) {
        emit ScrollTo(current_);
    }
}

void MusicList::ExtendRangeTo(int index) {
    if (!HasSelectedLine() || LineCount() == 0) {
        return;
    }
    rangeEnd_ = std::clamp(index, 1, LineCount());
    emit SelectionChanged(current_, selected_);
    emit ScrollTo(rangeEnd_);
}

MusicList::Range MusicList::SelectedRange() const {
    if (!HasSelectedLine()) {
        return {};
    }
    const int end = RangeEnd();
    return {std::min(current_, end), std::max(current_, end)};
}

bool MusicList::DropRange() {
    const bool had = rangeEnd_ != 0;
    rangeEnd_ = 0;
    return had;
}

void MusicList::InsertLine(int index, const MusicLine& line) {
    index = std::clamp(index, 1, LineCount() + 1);
    beginInsertRows({}, index - 1, index - 1);
    lines_.Insert(static_cast<size_t>(index - 1), {line});
    endInsertRows();
    const bool hadRange = DropRange();
    if (current_ >= index) {
        ++current_;
    }
    if (current_ >= index || hadRange) {
        emit SelectionChanged(current_, selected_);
    }
    Edited(index);
}

void MusicList::SetLine(int index, const MusicLine& line) {
    if (!DoesIndexExist(index)) {
        return;
    }
    lines_.Set(static_cast<size_t>(index - 1), line);
    emit dataChanged(createIndex(index - 1, 0), createIndex(index - 1, ModColumn));
    Edited(index);
}

void MusicList::SetCell(int index, Column column, const QString& text) {
    if (!DoesIndexExist(index)) {
        return;
    }
    if (lines_.CellAt(static_cast<size_t>(index - 1), column) == text) {
        return;
    }
    lines_.SetCell(static_cast<size_t>(index - 1), column, text);
    emit dataChanged(createIndex(index - 1, column), createIndex(index - 1, column));
    if (column == LengthColumn || column == ModColumn) {
        Edited(index);
    }
}

void MusicList::RemoveLine(int index) {
    if (!DoesIndexExist(index)) {
        return;
    }
    beginRemoveRows({}, index - 1, index - 1);
    lines_.Erase(static_cast<size_t>(index - 1), 1);
    endRemoveRows();
    const bool hadRange = DropRange();
    if (current_ == index) {
        current_ = -1;
        selected_ = false;
        emit SelectionChanged(current_, selected_);
    } else if (current_ > index || hadRange) {
        current_ -= current_ > index ? 1 : 0;
        emit SelectionChanged(current_, selected_);
    }
    Edited(index);
}

void MusicList::ClearLines() {
    beginResetModel();
    lines_.Clear();
    endResetModel();
    current_ = -1;
    selected_ = false;
    rangeEnd_ = 0;
    emit SelectionChanged(current_, selected_);
    Edited(1);
}

void MusicList::AppendLines(std::vector<MusicLine> lines) {
    if (lines.empty()) {
        return;
    }
    const int first = LineCount() + 1;
    beginInsertRows({}, first - 1, first - 1 + static_cast<int>(lines.size()) - 1);
    lines_.Insert(lines_.Size(), lines);
    endInsertRows();
    Edited(first);
}

void MusicList::InsertLines(int index, std::vector<MusicLine> lines) {
    if (lines.empty()) {
        return;
    }
    index = std::clamp(index, 1, LineCount() + 1);
    const int count = static_cast<int>(lines.size());
    beginInsertRows({}, index - 1, index - 1 + count - 1);
    lines_.Insert(static_cast<size_t>(index - 1), lines);
    endInsertRows();
    DropRange();
    if (current_ >= index) {
        current_ += count;
    }
    emit SelectionChanged(current_, selected_);
    Edited(index);
}

void MusicList::RemoveLines(int index, int count) {
    count = std::min(count, LineCount() - index + 1);
    if (!DoesIndexExist(index) || count <= 0) {
        return;
    }
    const int last = index + count - 1;
    beginRemoveRows({}, index - 1, last - 1);
    lines_.Erase(static_cast<size_t>(index - 1), static_cast<size_t>(count));
    endRemoveRows();
    DropRange();
    if (current_ >= index && current_ <= last) {
        current_ = -1;
        selected_ = false;
    } else if (current_ > last) {
        current_ -= count;
    }
    emit SelectionChanged(current_, selected_);
    Edited(index);
}

std::vector<MusicLine> MusicList::Lines(Range range) const {
    range.First = std::max(range.First, 1);
    range.Last = std::min(range.Last, LineCount());
    if (range.Count() <= 0) {
        return {};
    }
    return lines_.Range(static_cast<size_t>(range.First - 1), static_cast<size_t>(range.Count()));
}

void MusicList::Edited(int index) {
    if (observer_) {
        observer_(index);
    }
}

int MusicList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : LineCount();
}

int MusicList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant MusicList::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= LineCount()) {
        return {};
    }
    return lines_.CellAt(static_cast<size_t>(index.row()), index.column());
}

QVariant MusicList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) {
        return {};
    }
    static const char* const headers[] = {"Length", "Note 1", "Note 2", "Mod"};
    return section >= 0 && section < 4 ? QString::fromLatin1(headers[section]) : QVariant();
}

} // namespace tq
