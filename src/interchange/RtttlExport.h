#pragma once

#include <QByteArray>
#include <QString>

namespace tq {

class SongTarget;

// A song as one ringtone tune, and what the tune could not hold.
struct RtttlExport {
    QByteArray text;           // one line, "name:d=N,o=N,b=N:notes\n", in UTF-8
    int droppedNote2 = 0;      // lines with both notes whose Note 2 was left out
    int note2Alone = 0;        // lines with only a Note 2, written with it as their note
    int roundedLines = 0;      // lines written at the nearest length a tune has (triplets)
    int leftOutLines = 0;      // lines shorter than any length where they fell: not written
    bool ratioDropped = false; // the song's note/silence ratio was not 100
    int unreadableNotes = 0;   // note cells naming no note or an octave outside 0..9: pauses
    // Whether the tune holds the whole song, so the summary need not be shown.
    bool Lossless() const {
        return droppedNote2 + note2Alone + roundedLines + leftOutLines + unreadableNotes == 0 &&
               !ratioDropped;
    }
    QString Summary() const;
};

// The song as RTTTL: d=, o= and b= are always written, d= and o= being the most common
// duration and scale so that most notes are written short; b= is the song's BPM. Every
// line is one note or pause, lower case, a sharp for any other spelling of its note. A
// length the tune has is written exactly; any other (a triplet) at the length nearest to
// where the song's time has got to, so the lines after it make up the difference. The
// name is cut to 10 characters without ':', ',' or control characters ("tune" if empty).
RtttlExport ExportRtttl(const SongTarget& song, const QString& name);

} // namespace tq
