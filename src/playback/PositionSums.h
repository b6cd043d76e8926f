#pragma once

#include <vector>

namespace tq {

class SongLines;

// Running sums of line lengths in whole notes, as the position display adds them up from
// the first line: each step adds a line's length and then mends a fractional part above
// 0.9999. Sums are kept until an edit invalidates them from the edited line on, so the
// position of line n costs nothing after the first time.
class PositionSums {
public:
    // The position at the start of line (count + 1) for count lines 0..LineCount.
    double SumOfFirst(const SongLines& lines, int count);
    // How many of the sums were mended by the rounding fix; for the debug log.
    int FixesInFirst(int count) const;
    // Lines from this 1-based index on have changed, been inserted or removed.
    void InvalidateFrom(int index);
    void Clear() { InvalidateFrom(1); }

private:
    std::vector<double> sums_ = {0.0}; // sums_[k] = position after k lines
    std::vector<int> fixes_ = {0};     // fixes_[k] = rounding fixes in the first k lines
};

} // namespace tq
