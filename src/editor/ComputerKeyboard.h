#pragma once

#include <map>

namespace tq {

// The computer keyboard as a piano, as trackers lay it out: Z S X D C V G B H N J M are
// the twelve keys of the middle (blue) octave, Q 2 W 3 E R 5 T 6 Y 7 U those of the
// octave above (green). Gives the piano key's index (12..35) for a Qt key code, -1 for a
// key that plays nothing.
int PianoKeyForComputerKey(int qtKey);

// Tells a key's physical presses from the repeats of a held key. Some systems send a held
// key's repeats as release and press pairs without flagging them; a press that follows its
// own key's release within kRepeatGapMs is such a repeat, as is a press of a key that is
// already down.
class KeyRepeatFilter {
public:
    static constexpr unsigned long kRepeatGapMs = 5;

    // True for a new physical press. timestampMs is the event's time.
    bool Press(int qtKey, unsigned long timestampMs, bool flaggedRepeat);
    void Release(int qtKey, unsigned long timestampMs);
    // Every key let go (the window lost the keyboard).
    void Reset() { keys_.clear(); }

private:
    struct KeyState {
        bool down = false;
        unsigned long releasedAt = 0;
    };
    std::map<int, KeyState> keys_;
};

} // namespace tq
