#pragma once

#include "core/MusicLine.h"
#include "editor/PackedLines.h"
#include "playback/SongLines.h"

#include <QAbstractTableModel>

#include <functional>
#include <utility>
#include <vector>

namespace tq {

// The music list: the song itself, one row per line with the four cells Length, Note 1,
// Note 2 and Mod. Rows are addressed from 1. Like a list control it has a current item
// (what GetSelectedIndex reports) and, separately, whether that item is selected: a
// line counts as selected only when both hold. Cut and copy take a range that runs from
// the selected line to another one; the selected line stays what it was.
class MusicList final : public QAbstractTableModel, public SongLines {
    Q_OBJECT
public:
    enum Column { LengthColumn = 0, Note1Column, Note2Column, ModColumn };

    // The current item and whether it is selected, as undo puts them back.
    struct Selection {
        int Current = -1;
        bool Selected = false;
        friend bool operator==(const Selection&, const Selection&) = default;
    };
    // Lines First..Last; empty when Last < First.
    struct Range {
        int First = 1;
        int Last = 0;
        int Count() const { return Last - First + 1; }
    };

    explicit MusicList(QObject* parent = nullptr);

    // SongLines
    int LineCount() const override { return static_cast<int>(lines_.Size()); }
    MusicLine Line(int index) const override;
    bool DoesIndexExist(int index) const override;
    int GetSelectedIndex() const override { return current_; }
    bool IsLineSelected(int index) const override;
    void SelectLine(int index) override;

    // A line counts as selected: the current item exists and is selected.
    bool HasSelectedLine() const { return current_ != -1 && IsLineSelected(current_); }
    void DeselectSelected();
    Selection CurrentSelection() const { return {current_, selected_}; }
    void RestoreSelection(Selection selection);

    // Stretches the range from the selected line to index (clamped to the list); nothing
    // without a selected line. Any other change of the selection or the lines drops it.
    void ExtendRangeTo(int index);
    // The other end of the range: the selected line itself when there is no range.
    int RangeEnd() const { return rangeEnd_ != 0 ? rangeEnd_ : current_; }
    // The selected line and the lines up to the range's other end; empty without a
    // selected line.
    Range SelectedRange() const;

    // Editing. Inserting at index shifts that line and the later ones down by one.
    void InsertLine(int index, const MusicLine& line);
    void SetLine(int index, const MusicLine& line);
    void SetCell(int index, Column column, const QString& text);
    void RemoveLine(int index);
    void ClearLines();
    void AppendLines(std::vector<MusicLine> lines);
    void InsertLines(int index, std::vector<MusicLine> lines);
    void RemoveLines(int index, int count);
    std::vector<MusicLine> Lines(Range range) const;
    std::vector<MusicLine> AllLines() const { return lines_.Range(0, lines_.Size()); }

    // Called with the first 1-based line index whose contents or position changed.
    void SetEditObserver(std::function<void(int)> observer) { observer_ = std::move(observer); }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The current item or its selected state changed.
    void SelectionChanged(int currentIndex, bool selected);
    // A line should be scrolled into view.
    void ScrollTo(int index);

private:
    void Edited(int index);
    // Drops the range; true when there was one.
    bool DropRange();
    PackedLines lines_;
    int current_ = -1;
    bool selected_ = false;
    int rangeEnd_ = 0; // 0: no range
    std::function<void(int)> observer_;
};

} // namespace tq
