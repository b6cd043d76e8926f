#pragma once

namespace tq {

// The computer keyboard as a piano, as trackers lay it out: Z S X D C V G B H N J M are
// the twelve keys of the middle (blue) octave, Q 2 W 3 E R 5 T 6 Y 7 U those of the
// octave above (green). Gives the piano key's index (12..35) for a Qt key code, -1 for a
// key that plays nothing.
int PianoKeyForComputerKey(int qtKey);

} // namespace tq
