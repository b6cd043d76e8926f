#include "editor/ComputerKeyboard.h"

#include <Qt>

#include <array>

namespace tq {

namespace {

constexpr int kMiddleOctave = 12;
constexpr int kOctaveAbove = 24;

// Semitone by semitone from C: the bottom row takes the white keys, the row above it the
// black ones between them.
constexpr std::array<int, 12> kLowerRow = {Qt::Key_Z, Qt::Key_S, Qt::Key_X, Qt::Key_D,
                                           Qt::Key_C, Qt::Key_V, Qt::Key_G, Qt::Key_B,
                                           Qt::Key_H, Qt::Key_N, Qt::Key_J, Qt::Key_M};
constexpr std::array<int, 12> kUpperRow = {Qt::Key_Q, Qt::Key_2, Qt::Key_W, Qt::Key_3,
                                           Qt::Key_E, Qt::Key_R, Qt::Key_5, Qt::Key_T,
                                           Qt::Key_6, Qt::Key_Y, Qt::Key_7, Qt::Key_U};

} // namespace

int PianoKeyForComputerKey(int qtKey) {
    for (int note = 0; note < 12; ++note) {
        if (kLowerRow[static_cast<size_t>(note)] == qtKey) {
            return kMiddleOctave + note;
        }
        if (kUpperRow[static_cast<size_t>(note)] == qtKey) {
            return kOctaveAbove + note;
        }
    }
    return -1;
}

bool KeyRepeatFilter::Press(int qtKey, unsigned long timestampMs, bool flaggedRepeat) {
    const auto found = keys_.find(qtKey);
    const bool known = found != keys_.end();
    const bool repeat = flaggedRepeat || (known && found->second.down) ||
                        (known && timestampMs - found->second.releasedAt <= kRepeatGapMs);
    keys_[qtKey].down = true;
    return !repeat;
}

void KeyRepeatFilter::Release(int qtKey, unsigned long timestampMs) {
    keys_[qtKey] = {false, timestampMs};
}

} // namespace tq
