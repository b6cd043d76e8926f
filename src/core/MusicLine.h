#pragma once

#include <QString>

namespace tq {

// One line of the music list: a length name, up to two note strings and a modifier.
// Empty note cells are silent; both empty makes a rest of the line's length.
struct MusicLine {
    QString Length;
    QString Note1;
    QString Note2;
    QString Mod;

    friend bool operator==(const MusicLine&, const MusicLine&) = default;
};

} // namespace tq
