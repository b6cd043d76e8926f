#include "editor/PackedLines.h"

namespace tq {

MusicLine PackedLines::At(size_t index) const {
    const Row& row = rows_[index];
    return {texts_[row[0]], texts_[row[1]], texts_[row[2]], texts_[row[3]]};
}

void PackedLines::Insert(size_t at, const std::vector<MusicLine>& lines) {
    std::vector<Row> packed;
    packed.reserve(lines.size());
    for (const MusicLine& line : lines) {
        packed.push_back(Pack(line));
    }
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), packed.begin(), packed.end());
}

void PackedLines::Erase(size_t first, size_t count) {
    const auto begin = rows_.begin() + static_cast<std::ptrdiff_t>(first);
    rows_.erase(begin, begin + static_cast<std::ptrdiff_t>(count));
}

std::vector<MusicLine> PackedLines::Range(size_t first, size_t count) const {
    std::vector<MusicLine> out;
    out.reserve(count);
    for (size_t i = first; i < first + count; ++i) {
        out.push_back(At(i));
    }
    return out;
}

void PackedLines::Clear() {
    std::vector<Row>().swap(rows_);
    texts_.assign(1, QString());
    numbers_.clear();
}

PackedLines::Row PackedLines::Pack(const MusicLine& line) {
    return {TextNumber(line.Length), TextNumber(line.Note1), TextNumber(line.Note2),
            TextNumber(line.Mod)};
}

uint32_t PackedLines::TextNumber(const QString& text) {
    if (text.isEmpty()) {
        return 0;
    }
    if (const auto found = numbers_.constFind(text); found != numbers_.cend()) {
        return *found;
    }
    const auto number = static_cast<uint32_t>(texts_.size());
    texts_.push_back(text);
    if (numbers_.size() < kMostLookedUp) {
        numbers_.insert(text, number);
    }
    return number;
}

} // namespace tq
