#pragma once

#include "core/MusicLine.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace tq {

class SongTarget;

// One ringtone tune as a song: Note 1 only, every note sounding for its whole length.
struct RtttlTune {
    QString name;
    std::vector<MusicLine> lines;
    int32_t bpm = 63;
    // 1, or 2 and 4 when the tune's 32nds or 64ths were brought up to the program's 1/16
    // by playing at that many times the BPM with every length as many times as long.
    int lengthScale = 1;
    // Notes longer than a dotted Whole after that, split into lines of the same note.
    int splitNotes = 0;
    QString Summary() const;
};

// What a ringtone text held: one tune per line. A malformed tune is refused whole, for a
// reason that names its line, the column and the text found there. The text is read (ok)
// when at least one tune is; otherwise why says why not (the first refusal). Collections
// shared on the web often hold a broken line or a heading among their tunes: the tunes
// around it are kept, and skipped gives the reason for each line refused.
struct RtttlText {
    bool ok = false;
    QString why;
    std::vector<RtttlTune> tunes;
    QStringList skipped;
    // "N lines are not tunes and were left out, the first at line ...": empty when none.
    QString SkippedNote() const;
};

// Reads RTTTL (and its .rtx form): "name:d=4,o=6,b=63:notes", each note
// [duration]letter[#][scale][.] with the dot also taken before the scale, "p" a pause and
// "h" read as "b". White space is ignored and letters may be of either case; unknown
// control names are ignored; scales are scientific octaves (a4 is 440 Hz).
RtttlText ReadRtttl(const QByteArray& text);

// The tune that pick names: the first when it is empty, the Nth for a number N counting
// from 1, otherwise the one of that name in any case. Null when there is none.
const RtttlTune* FindTune(const RtttlText& text, const QString& pick);

// Whether the text's first line that is not blank reads as a tune: how ringtone text is
// known whatever its file is called.
bool StartsWithTune(const QByteArray& text);

// Puts a tune into a song: its BPM, a note/silence ratio of 100, then its lines in place of
// the whole list.
void ApplyTune(const RtttlTune& tune, SongTarget& target);

} // namespace tq
