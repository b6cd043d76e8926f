#pragma once

#include <QString>

#include <array>

namespace tq {

// The grid of held notes a window shows: 32 labels, the "(N more)" label and the count.
struct HeldNoteGrid {
    static constexpr int kLabels = 32;
    std::array<QString, kLabels> captions;
    std::array<bool, kLabels> visible{};
    // The label of the note being played shows bright red instead of dark red.
    std::array<bool, kLabels> playing{};
    QString more = QStringLiteral("(More)");
    bool moreVisible = false;
    QString heldCount = QStringLiteral(" (0)");
};

// A window that feeds the cycling player: its table of held notes, its options and its
// grid. The live MIDI input window and the MIDI file window both are one.
class HeldNoteSource {
public:
    virtual ~HeldNoteSource() = default;
    // "Don't update grid above (saves CPU time)"
    virtual bool SaveCPUCheck() const = 0;
    // "Try to make each cycle last ..."
    virtual bool AutoTimeCheck() const = 0;
    virtual bool OnlyPlayNoteOnce() const = 0;
    // True when the note (0 to 127) is held and takes part in the cycle.
    virtual bool GetMIDINoteIsOn(int note) const = 0;
    // The note has had its one pulse: it leaves the cycle until pressed again.
    virtual void SetMIDINoteHasPlayed(int note) = 0;
    virtual QString MIDIToNoteString(int note) const = 0;
    virtual HeldNoteGrid& Grid() = 0;
    // The grid was written: the window shows it.
    virtual void GridChanged() = 0;
};

} // namespace tq
