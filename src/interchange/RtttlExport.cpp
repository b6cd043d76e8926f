// Ringtone text out. Lengths are counted in 192nds of a whole note, so that every length
// of the program, triplets included, and every length of a tune is a whole number.
#include "interchange/RtttlExport.h"

#include "core/MusicLine.h"
#include "core/NoteFrequencies.h"
#include "platform/MessageBoxes.h"
#include "songfile/SongTarget.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace tq {

namespace {

constexpr int kWhole = 192;
constexpr std::array<int, 6> kDurations = {1, 2, 4, 8, 16, 32};
constexpr int kNameLength = 10;
constexpr int kDefaultScale = 6; // what a reader takes when o= is missing

// A length a tune can hold.
struct TuneLength {
    int duration = 4;
    bool dotted = false;
    int Units() const { return kWhole / duration * (dotted ? 3 : 2) / 2; }
};

// One note or pause of the tune.
struct TuneNote {
    TuneLength length;
    int noteNum = -1; // -1 for a pause
    int scale = 0;
};

// The line's length as the program plays it, in 192nds: a dot makes it half as long
// again, else a triplet a third; 0 for a length name the program does not know.
int LineUnits(const MusicLine& line) {
    static const std::array<std::pair<const char*, int>, 5> names = {{{"Whole", kWhole},
                                                                      {"Half", kWhole / 2},
                                                                      {"Quarter", kWhole / 4},
                                                                      {"1/8", kWhole / 8},
                                                                      {"1/16", kWhole / 16}}};
    int units = 0;
    for (const auto& [name, value] : names) {
        if (line.Length == QLatin1String(name)) {
            units = value;
        }
    }
    const QString mod = line.Mod.toLower();
    if (mod.contains(QLatin1String("dot"))) {
        return units * 3 / 2;
    }
    return mod.contains(QLatin1String("tri")) ? units / 3 : units;
}

// The tune's length of exactly these units, if it has one.
bool ExactLength(int units, TuneLength* out) {
    for (int duration : kDurations) {
        for (bool dotted : {false, true}) {
            const TuneLength length{duration, dotted};
            if (length.Units() == units) {
                *out = length;
                return true;
            }
        }
    }
    return false;
}

// The tune's length nearest to the units, or none (false) when writing nothing is nearer;
// a tie goes to the longer, so that a note is kept rather than left out.
bool NearestLength(int units, TuneLength* out) {
    int best = std::abs(units); // the distance to writing nothing
    bool found = false;
    for (auto duration = kDurations.rbegin(); duration != kDurations.rend(); ++duration) {
        for (bool dotted : {false, true}) { // shortest first
            const TuneLength length{*duration, dotted};
            const int distance = std::abs(length.Units() - units);
            if (distance <= best) {
                best = distance;
                *out = length;
                found = true;
            }
        }
    }
    return found;
}

// The note a line sounds through the speaker, filled into note; counts what is lost.
void ReadTone(const MusicLine& line, TuneNote* note, RtttlExport* result) {
    QString tone = line.Note1;
    if (tone.isEmpty() && !line.Note2.isEmpty()) {
        // With Note 1 silent the speaker plays Note 2 alone, so that is the tune's note.
        tone = line.Note2;
        ++result->note2Alone;
    } else if (!line.Note2.isEmpty()) {
        ++result->droppedNote2;
    }
    if (tone.isEmpty()) {
        return;
    }
    SilentMessageBoxes quiet;
    const int noteNum = LetterToNoteNum(tone, quiet);
    const int scale = OctaveOfNoteString(tone);
    if (noteNum < 0 || scale > 9) {
        ++result->unreadableNotes;
        return;
    }
    note->noteNum = noteNum;
    note->scale = scale;
}

// The song's lines as the tune's notes. A line whose length the tune lacks is written
// at the length nearest to where the song has got to less what is written so far (left
// out when nothing is nearer), so the lines after it make up the difference and the
// written time never strays further from the song's than half the widest step between
// two lengths that a line was rounded across.
std::vector<TuneNote> ReadLines(const SongTarget& song, RtttlExport* result) {
    std::vector<TuneNote> notes;
    int64_t songEnd = 0;
    int64_t writtenEnd = 0;
    for (int32_t i = 1; i <= song.LineCount(); ++i) {
        const MusicLine line = song.Line(i);
        const int units = LineUnits(line);
        songEnd += units;
        TuneNote note;
        if (!ExactLength(units, &note.length)) {
            if (units == 0 ||
                !NearestLength(static_cast<int>(songEnd - writtenEnd), &note.length)) {
                ++result->leftOutLines;
                continue;
            }
            ++result->roundedLines;
        }
        writtenEnd += note.length.Units();
        ReadTone(line, &note, result);
        notes.push_back(note);
    }
    return notes;
}

// The value counted most often, or none when there are no values; a tie goes to the first
// candidate given, the usual defaults coming first.
template <typename Range>
int MostCommon(const Range& candidates, const std::vector<int>& values, int none) {
    int best = none;
    long bestCount = 0;
    for (int candidate : candidates) {
        const long count = std::count(values.begin(), values.end(), candidate);
        if (count > bestCount) {
            best = candidate;
            bestCount = count;
        }
    }
    return best;
}

QString NoteText(const TuneNote& note, int defaultDuration, int defaultScale) {
    QString text;
    if (note.length.duration != defaultDuration) {
        text += QString::number(note.length.duration);
    }
    if (note.noteNum < 0) {
        text += QLatin1Char('p');
    } else {
        text += NoteNumToLetter(note.noteNum).toLower();
        if (note.scale != defaultScale) {
            text += QString::number(note.scale);
        }
    }
    if (note.length.dotted) {
        text += QLatin1Char('.');
    }
    return text;
}

QString TuneName(const QString& name) {
    QString out;
    for (QChar c : name) {
        if (c != QLatin1Char(':') && c != QLatin1Char(',') &&
            c.category() != QChar::Other_Control) {
            out += c;
        }
    }
    out.truncate(kNameLength);
    if (!out.isEmpty() && out.back().isHighSurrogate()) {
        out.chop(1); // not half a character
    }
    out = out.trimmed(); // a reader trims the name
    return out.isEmpty() ? QStringLiteral("tune") : out;
}

} // namespace

QString RtttlExport::Summary() const {
    QStringList parts;
    const auto lines = [](int n) {
        return n == 1 ? QStringLiteral("1 line") : QStringLiteral("%1 lines").arg(n);
    };
    if (droppedNote2 > 0) {
        parts << QStringLiteral("A ringtone plays one note at a time: Note 2 of %1 was left out.")
                     .arg(lines(droppedNote2));
    }
    if (note2Alone > 0) {
        parts << QStringLiteral("%1 with only a Note 2 play it as their note.")
                     .arg(lines(note2Alone));
    }
    if (roundedLines > 0) {
        parts << QStringLiteral("%1 (triplets) took the nearest length a ringtone has, the "
                                "lines after them making up the difference.")
                     .arg(lines(roundedLines));
    }
    if (leftOutLines > 0) {
        parts << QStringLiteral("%1 too short to write where they fell were left out.")
                     .arg(lines(leftOutLines));
    }
    if (unreadableNotes > 0) {
        parts << QStringLiteral("%1 naming no note a ringtone can play became pauses.")
                     .arg(unreadableNotes == 1
                              ? QStringLiteral("1 note cell")
                              : QStringLiteral("%1 note cells").arg(unreadableNotes));
    }
    if (ratioDropped) {
        parts << QStringLiteral("A ringtone sounds every note for its whole length, so the "
                                "note/silence ratio was not kept.");
    }
    return Lossless() ? QStringLiteral("The tune holds the song exactly.")
                           : parts.join(QLatin1Char(' '));
}

RtttlExport ExportRtttl(const SongTarget& song, const QString& name) {
    RtttlExport result;
    result.ratioDropped = song.NoteSilenceRatio() != 100;
    const std::vector<TuneNote> notes = ReadLines(song, &result);

    std::vector<int> durations;
    std::vector<int> scales;
    for (const TuneNote& n : notes) {
        durations.push_back(n.length.duration);
        if (n.noteNum >= 0) {
            scales.push_back(n.scale);
        }
    }
    const int d = MostCommon(std::array{4, 8, 16, 2, 1, 32}, durations, 4);
    const int o = MostCommon(std::array{6, 5, 4, 7, 3, 8, 2, 9, 1, 0}, scales, kDefaultScale);

    QStringList written;
    for (const TuneNote& n : notes) {
        written << NoteText(n, d, o);
    }
    // Joined, not through arg(), so that a '%' in the name stays as it is.
    const QString line = TuneName(name) + QStringLiteral(":d=") + QString::number(d) +
                         QStringLiteral(",o=") + QString::number(o) + QStringLiteral(",b=") +
                         QString::number(std::max(song.BPM(), 1)) + QLatin1Char(':') +
                         written.join(QLatin1Char(',')) + QLatin1Char('\n');
    result.text = line.toUtf8();
    return result;
}

} // namespace tq
