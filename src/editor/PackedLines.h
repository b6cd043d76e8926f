#pragma once

#include "core/MusicLine.h"

#include <QHash>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace tq {

// The music list's lines, held compactly: a line is four numbers, each naming its cell's
// text in one table of texts. A song repeats a few dozen lengths, notes and modifiers, so
// a line takes 16 bytes however long the song, where four strings of its own would take
// 96. Texts are found again for the first kMostLookedUp different ones; past that a new
// text is simply added, so a file of nonsense cannot grow the lookup without end.
class PackedLines {
public:
    static constexpr int kMostLookedUp = 65536;

    PackedLines() { Clear(); }

    size_t Size() const { return rows_.size(); }
    MusicLine At(size_t index) const;
    // Column 0 Length, 1 Note 1, 2 Note 2, 3 Mod.
    const QString& CellAt(size_t index, int column) const {
        return texts_[rows_[index][static_cast<size_t>(column)]];
    }
    void Set(size_t index, const MusicLine& line) { rows_[index] = Pack(line); }
    void SetCell(size_t index, int column, const QString& text) {
        rows_[index][static_cast<size_t>(column)] = TextNumber(text);
    }
    void Insert(size_t at, const std::vector<MusicLine>& lines);
    void Erase(size_t first, size_t count);
    std::vector<MusicLine> Range(size_t first, size_t count) const;
    // Empties the list and its table of texts.
    void Clear();

private:
    using Row = std::array<uint32_t, 4>;
    Row Pack(const MusicLine& line);
    uint32_t TextNumber(const QString& text);

    std::vector<Row> rows_;
    std::vector<QString> texts_; // texts_[0] is the empty cell
    QHash<QString, uint32_t> numbers_;
};

} // namespace tq
