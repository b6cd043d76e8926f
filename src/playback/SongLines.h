#pragma once

#include "core/MusicLine.h"

namespace tq {

// The music list as the players see it. Lines are addressed from 1; -1 means none.
class SongLines {
public:
    virtual ~SongLines() = default;
    virtual int LineCount() const = 0;
    // The line at a 1-based index; an empty line when it does not exist.
    virtual MusicLine Line(int index) const = 0;
    virtual bool DoesIndexExist(int index) const = 0;
    virtual int GetSelectedIndex() const = 0;
    // True when the line exists and is selected (not merely the current item).
    virtual bool IsLineSelected(int index) const = 0;
    // Selects the line and scrolls it into view.
    virtual void SelectLine(int index) = 0;
};

} // namespace tq
