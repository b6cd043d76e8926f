#pragma once

#include "core/MusicLine.h"
#include "playback/SongLines.h"

#include <QAbstractTableModel>

#include <functional>
#include <utility>
#include <vector>

namespace tq {

// The music list: the song itself, one row per line with the four cells Length, Note 1,
// Note 2 and Mod. Rows are addressed from 1. Like a list control it has a current item
// (what GetSelectedIndex reports) and, separately, whether that item is selected: a
// line counts as selected only when both hold.
class MusicList final : public QAbstractTableModel, public SongLines {
    Q_OBJECT
public:
    enum Column { LengthColumn = 0, Note1Column, Note2Column, ModColumn };

    explicit MusicList(QObject* parent = nullptr);

    // SongLines
    int LineCount() const override { return static_cast<int>(lines_.size()); }
    MusicLine Line(int index) const override;
    bool DoesIndexExist(int index) const override;
    int GetSelectedIndex() const override { return current_; }
    bool IsLineSelected(int index) const override;
    void SelectLine(int index) override;

    // A line counts as selected: the current item exists and is selected.
    bool HasSelectedLine() const { return current_ != -1 && IsLineSelected(current_); }
    void DeselectSelected();

    // Editing. Inserting at index shifts that line and the later ones down by one.
    void InsertLine(int index, const MusicLine& line);
    void SetLine(int index, const MusicLine& line);
    void SetCell(int index, Column column, const QString& text);
    void RemoveLine(int index);
    void ClearLines();
    void AppendLines(std::vector<MusicLine> lines);

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
    static const QString& Cell(const MusicLine& line, Column column);
    static QString& Cell(MusicLine& line, Column column) {
        return const_cast<QString&>(Cell(std::as_const(line), column));
    }

    std::vector<MusicLine> lines_;
    int current_ = -1;
    bool selected_ = false;
    std::function<void(int)> observer_;
};

} // namespace tq
