#include "playback/PositionSums.h"

#include "core/LogSink.h"
#include "core/NoteLengths.h"
#include "playback/SongLines.h"

#include <algorithm>

namespace tq {

double PositionSums::SumOfFirst(const SongLines& lines, int count) {
    count = std::clamp(count, 0, lines.LineCount());
    sums_.reserve(static_cast<size_t>(count) + 1);
    for (int k = static_cast<int>(sums_.size()); k <= count; ++k) {
        const MusicLine line = lines.Line(k);
        double position = sums_.back() + EquivalentLengthOf(line.Length, line.Mod);
        const bool fixed = FractionalPart(position) > 0.9999;
        NullLog quiet;
        FixRoundingErrors(position, quiet);
        sums_.push_back(position);
        fixes_.push_back(fixes_.back() + (fixed ? 1 : 0));
    }
    return sums_[static_cast<size_t>(count)];
}

int PositionSums::FixesInFirst(int count) const {
    count = std::clamp(count, 0, static_cast<int>(fixes_.size()) - 1);
    return fixes_[static_cast<size_t>(count)];
}

void PositionSums::InvalidateFrom(int index) {
    const size_t keep = static_cast<size_t>(std::max(index, 1)); // sums_[0..index-1] stay
    if (sums_.size() > keep) {
        sums_.resize(keep);
        fixes_.resize(keep);
    }
}

} // namespace tq
