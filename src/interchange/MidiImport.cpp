#include "interchange/MidiImport.h"

#include "core/NoteLengths.h"
#include "editor/SongSettings.h"
#include "midifile/SmfReader.h"
#include "midiin/HeldNoteWindow.h"
#include "songfile/SongTarget.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tq {

namespace {

constexpr int kDrumChannel = 9; // channel 10: its note numbers are drum sounds, not pitches
constexpr uint32_t kDefaultTempo = 500000;

struct Note {
    int64_t on = 0;
    int64_t off = 0;
    int key = 0;
    int track = 0;
};

// The file's notes, their tracks' ends and its tempos, in the file's ticks.
struct FileNotes {
    std::vector<Note> notes; // ordered by onset, then track
    std::vector<int64_t> trackEnds;
    std::vector<int> notesPerTrack;
    bool monophonicTracks = true;
    uint32_t firstTempo = 0;
    int tempoChanges = 0;
    int drumNotes = 0;
    int emptyNotes = 0;
};

// A few bytes of a file can stand for hours of one note or of silence: the import stops at
// this many lines rather than fill the memory, and says so.
constexpr size_t kMaxImportLines = 100'000;

// What the import counts for its summary.
struct Counts {
    int dropped = 0;
    int rounded = 0;
    int split = 0;
    bool cut = false; // stopped at kMaxImportLines
};

struct TempoEvent {
    int64_t tick;
    uint32_t tempo;
};

// One track's notes: a Note Off (or a Note On of velocity 0) ends the earliest sounding
// note of its channel and key; a note still sounding ends with the track.
void ReadTrack(const SmfReader& reader, int track, FileNotes& file,
               std::vector<TempoEvent>& tempos) {
    std::array<std::vector<size_t>, 16 * 128> sounding;
    const size_t first = file.notes.size();
    int64_t tick = 0;
    uint32_t tempo = 0;
    for (int e = 1; e <= reader.EventCount(track); ++e) {
        const MidiFileEvent ev = reader.Event(track, e);
        tick += ev.deltaTicks;
        if (ev.tempo != tempo) {
            tempo = ev.tempo;
            tempos.push_back({tick, tempo});
        }
        const int kind = ev.status & 0xF0;
        const int channel = ev.status & 0x0F;
        if (kind != 0x80 && kind != 0x90) {
            continue;
        }
        std::vector<size_t>& open = sounding[static_cast<size_t>(channel * 128 + ev.data1)];
        if (kind == 0x90 && ev.data2 > 0) {
            if (channel == kDrumChannel) {
                ++file.drumNotes;
                continue;
            }
            open.push_back(file.notes.size());
            file.notes.push_back({tick, -1, ev.data1, track});
        } else if (!open.empty()) {
            file.notes[open.front()].off = tick;
            open.erase(open.begin());
        }
    }
    for (size_t i = first; i < file.notes.size(); ++i) {
        Note& n = file.notes[i];
        if (n.off < 0) {
            n.off = tick;
        }
        if (i > first && n.on < file.notes[i - 1].off) {
            file.monophonicTracks = false;
        }
    }
    file.trackEnds.push_back(tick);
}

FileNotes ReadNotes(const SmfReader& reader) {
    FileNotes file;
    std::vector<TempoEvent> tempos;
    for (int t = 1; t <= reader.TrackCount(); ++t) {
        const size_t before = file.notes.size();
        ReadTrack(reader, t, file, tempos);
        file.notesPerTrack.push_back(static_cast<int>(file.notes.size() - before));
    }
    // Notes without length never sound.
    const auto empty = std::remove_if(file.notes.begin(), file.notes.end(),
                                      [](const Note& n) { return n.off <= n.on; });
    file.emptyNotes = static_cast<int>(file.notes.end() - empty);
    file.notes.erase(empty, file.notes.end());
    std::stable_sort(file.notes.begin(), file.notes.end(),
                     [](const Note& a, const Note& b) { return a.on < b.on; });
    // On the same tick the lower track's tempo comes first.
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoEvent& a, const TempoEvent& b) { return a.tick < b.tick; });
    uint32_t current = 0;
    for (const TempoEvent& t : tempos) {
        if (t.tempo != 0 && t.tempo != current) {
            file.tempoChanges += current != 0 ? 1 : 0;
            file.firstTempo = file.firstTempo != 0 ? file.firstTempo : t.tempo;
            current = t.tempo;
        }
    }
    return file;
}

// Shaped as ExportMidi writes it: format 1, a first track without notes, then two tracks
// of one note at a time.
bool IsExportShaped(const SmfReader& reader, const FileNotes& file) {
    return reader.Format() == 1 && reader.TrackCount() == 3 && file.notesPerTrack[0] == 0 &&
           file.drumNotes == 0 && file.monophonicTracks;
}

// A moment at which notes begin: onsets closer together than half the shortest length
// count as one. Its notes are notes[begin, end).
struct Onset {
    int64_t first = 0;
    int64_t last = 0;
    size_t begin = 0;
    size_t end = 0;
};

std::vector<Onset> Onsets(const std::vector<Note>& notes, int64_t together) {
    std::vector<Onset> onsets;
    for (size_t i = 0; i < notes.size(); ++i) {
        if (onsets.empty() || notes[i].on - onsets.back().first >= together) {
            onsets.push_back({notes[i].on, notes[i].on, i, i});
        }
        onsets.back().last = notes[i].on;
        onsets.back().end = i + 1;
    }
    return onsets;
}

// A line's notes (MIDI note numbers, -1 for none) and when the later of them stops.
struct Picked {
    int key1 = -1;
    int key2 = -1;
    int64_t soundEnd = 0;
};

// Note 1 and Note 2 among the notes sounding at an onset: by track (the first note track
// gives Note 1), or the highest and the next highest.
Picked Pick(const std::vector<Note>& notes, std::vector<size_t>& candidates, bool byTrack) {
    Picked p;
    if (byTrack) {
        for (size_t c : candidates) {
            int& key = notes[c].track == 2 ? p.key1 : p.key2;
            key = notes[c].key; // candidates come in onset order: the latest wins
        }
    } else {
        std::sort(candidates.begin(), candidates.end(),
                  [&notes](size_t a, size_t b) { return notes[a].key > notes[b].key; });
        for (size_t c : candidates) {
            if (p.key1 < 0) {
                p.key1 = notes[c].key;
            } else if (p.key2 < 0 && notes[c].key != p.key1) {
                p.key2 = notes[c].key;
            }
        }
    }
    for (size_t c : candidates) {
        if (notes[c].key == p.key1 || notes[c].key == p.key2) {
            p.soundEnd = std::max(p.soundEnd, notes[c].off);
        }
    }
    return p;
}

// A stretch of the song: from one onset to the next, with the notes picked there.
struct Span {
    int64_t start = 0;
    int64_t end = 0;
    Picked notes;
    bool HasNotes() const { return notes.key1 >= 0 || notes.key2 >= 0; }
};

// The spans from tick 0 to songEnd: a silent one before the first onset, then one per
// onset. A note sounding on from an earlier onset counts at a later one unless it stops
// within `together` of it (players' notes overlap the next a little).
std::vector<Span> Spans(const FileNotes& file, const std::vector<Onset>& onsets, int64_t songEnd,
                        int64_t together, bool byTrack, Counts& counts) {
    std::vector<Span> spans;
    if (onsets.empty() || onsets.front().first > 0) {
        spans.push_back({0, onsets.empty() ? songEnd : onsets.front().first, {}});
    }
    std::vector<size_t> held;
    std::vector<size_t> candidates;
    for (size_t i = 0; i < onsets.size(); ++i) {
        const Onset& o = onsets[i];
        std::erase_if(held, [&](size_t n) { return file.notes[n].off <= o.last + together; });
        candidates = held;
        for (size_t n = o.begin; n < o.end; ++n) {
            candidates.push_back(n);
            held.push_back(n);
        }
        const Picked picked = Pick(file.notes, candidates, byTrack);
        for (size_t n = o.begin; n < o.end; ++n) {
            const int key = file.notes[n].key;
            counts.dropped += key != picked.key1 && key != picked.key2 ? 1 : 0;
        }
        const int64_t end = i + 1 < onsets.size() ? onsets[i + 1].first : songEnd;
        spans.push_back({o.first, std::max(end, o.first), picked});
    }
    return spans;
}

// The song's note/silence ratio as the file shows it, in whole percent as the program
// sets it: the smallest ratio that lets no line's notes sound longer than its span would.
// A file as ExportMidi writes it gives back the ratio it was written with, which its
// lines that run into the next onset pin down. The last span is left out: a track often
// ends where its last note does, which says nothing about the ratio.
double SoundingRatio(const std::vector<Span>& spans) {
    double percent = 0;
    for (size_t i = 0; i + 1 < spans.size(); ++i) {
        const Span& s = spans[i];
        if (s.HasNotes() && s.end > s.start) {
            const int64_t sounding = std::min(s.notes.soundEnd, s.end) - s.start;
            // ExportMidi rounds each note's length to the nearest tick.
            percent = std::max(percent, 100 * (static_cast<double>(sounding) - 0.5) /
                                            static_cast<double>(s.end - s.start));
        }
    }
    return percent > 0 ? std::clamp(std::ceil(percent - 1e-9), 5.0, 100.0) / 100 : 1.0;
}

struct LengthChoice {
    double beats;
    QString name;
    QString mod;
};

// The five lengths, plain, dotted and triplet, as the program measures them.
const std::vector<LengthChoice>& Lengths() {
    static const std::vector<LengthChoice> lengths = [] {
        std::vector<LengthChoice> out;
        for (const QString& mod : {QString(), QStringLiteral("Dot"), QStringLiteral("Tri")}) {
            for (int i = 0; i < 5; ++i) {
                const QString name = GetLengthAsWritten(i);
                out.push_back({EquivalentLengthOf(name, mod) * 4, name, mod});
            }
        }
        return out;
    }();
    return lengths;
}

bool ByBeats(const LengthChoice& a, const LengthChoice& b) {
    return a.beats < b.beats;
}

// Stretches shorter than this are too short for a line of their own.
double HalfShortest() {
    return std::min_element(Lengths().begin(), Lengths().end(), ByBeats)->beats / 2;
}

// Writes lines into a list, each ending as near as it can to where the file's stretch
// ends; the rounding of one line is made up by the next.
class LineWriter {
public:
    LineWriter(double beatsPerTick, Counts& counts, std::vector<MusicLine>& lines)
        : beatsPerTick_(beatsPerTick), counts_(counts), lines_(lines),
          longest_(&*std::max_element(Lengths().begin(), Lengths().end(), ByBeats)) {}

    // Lines up to the tick, with the notes given (none: silent). Longer than a dotted
    // whole takes several lines. Silent lines in a row sound as one silence, so a silence
    // that two lengths add up to exactly is written as those two; a silence shorter than
    // half the shortest length is left out, while notes always get a line.
    void WriteUntil(int64_t tick, const QString& note1, const QString& note2) {
        const size_t before = lines_.size();
        double left = static_cast<double>(tick) * beatsPerTick_ - written_;
        while (left > longest_->beats + HalfShortest() && !cut_) {
            Append(*longest_, note1, note2);
            left -= longest_->beats;
        }
        const bool silent = note1.isEmpty() && note2.isEmpty();
        if (silent && left >= HalfShortest()) {
            const std::pair<const LengthChoice*, const LengthChoice*> pair = ExactPair(left);
            if (pair.first != nullptr) {
                Append(*pair.first, note1, note2);
                Append(*pair.second, note1, note2);
                left = 0;
            }
        }
        if (left >= HalfShortest() || (lines_.size() == before && !silent)) {
            Append(Nearest(left), note1, note2);
        }
        counts_.split += !silent && lines_.size() - before > 1 ? 1 : 0;
    }

    // A line was refused: the list is at kMaxImportLines.
    bool Cut() const { return cut_; }

    // Counts a stretch whose lines do not end at its tick, within half a tick.
    void CheckEnd(int64_t tick) {
        counts_.rounded +=
            std::abs(static_cast<double>(tick) * beatsPerTick_ - written_) > beatsPerTick_ / 2;
    }

private:
    static const LengthChoice& Nearest(double beats) {
        return *std::min_element(Lengths().begin(), Lengths().end(),
                                 [beats](const LengthChoice& a, const LengthChoice& b) {
                                     return std::abs(a.beats - beats) < std::abs(b.beats - beats);
                                 });
    }

    // Two lengths, the longer first, that add up to the beats within half a tick; none
    // when one length does or no two do.
    std::pair<const LengthChoice*, const LengthChoice*> ExactPair(double beats) const {
        const double within = beatsPerTick_ / 2;
        if (std::abs(Nearest(beats).beats - beats) <= within) {
            return {};
        }
        for (const LengthChoice& a : Lengths()) {
            for (const LengthChoice& b : Lengths()) {
                if (a.beats >= b.beats && std::abs(a.beats + b.beats - beats) <= within) {
                    return {&a, &b};
                }
            }
        }
        return {};
    }

    void Append(const LengthChoice& c, const QString& note1, const QString& note2) {
        if (lines_.size() >= kMaxImportLines) {
            cut_ = true;
            return;
        }
        lines_.push_back({c.name, note1, note2, c.mod});
        written_ += c.beats;
    }

    double beatsPerTick_;
    Counts& counts_;
    std::vector<MusicLine>& lines_;
    const LengthChoice* longest_;
    double written_ = 0; // beats
    bool cut_ = false;
};

QString NoteString(int key) {
    return key < 0 ? QString() : HeldNoteWindow::NoteStringOfMIDI(key);
}

// Each span's notes sound for what the ratio makes of their sounding time; the rest of
// the span, when there is a line's worth of it, is silence.
void WriteLines(const std::vector<Span>& spans, double ratio, double beatsPerTick, MidiImport& out,
                Counts& counts) {
    LineWriter writer(beatsPerTick, counts, out.lines);
    for (const Span& s : spans) {
        if (writer.Cut()) {
            break;
        }
        int64_t notesEnd = s.start;
        if (s.HasNotes()) {
            const auto sounding = static_cast<double>(std::min(s.notes.soundEnd, s.end) - s.start);
            const double length = sounding / ratio;
            const bool restFollows =
                (static_cast<double>(s.end - s.start) - length) * beatsPerTick >= HalfShortest();
            notesEnd = restFollows ? s.start + std::llround(length) : s.end;
            writer.WriteUntil(notesEnd, NoteString(s.notes.key1), NoteString(s.notes.key2));
        }
        if (notesEnd < s.end) {
            writer.WriteUntil(s.end, {}, {});
        }
        writer.CheckEnd(s.end);
    }
    counts.cut = writer.Cut();
}

QString Counted(int count, const char* one, const char* many) {
    return QString::number(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

QString Summary(const MidiImport& out, const FileNotes& file, bool byTrack, const Counts& c) {
    QStringList parts;
    parts << Counted(static_cast<int>(out.lines.size()), "line", "lines") +
                 QStringLiteral(" at %1 BPM from ").arg(out.bpm) +
                 Counted(static_cast<int>(file.notes.size()), "note", "notes");
    if (byTrack) {
        parts.last() += QStringLiteral(", Note 1 from the first note track and Note 2 from the "
                                       "second");
    }
    const std::pair<int, QString> items[] = {
        {c.dropped, Counted(c.dropped, "note", "notes") +
                        QStringLiteral(" dropped where more than two sounded at once")},
        {file.drumNotes, Counted(file.drumNotes, "drum note", "drum notes") +
                             QStringLiteral(" (channel 10) left out")},
        {file.emptyNotes,
         Counted(file.emptyNotes, "note", "notes") + QStringLiteral(" without length left out")},
        {c.rounded, Counted(c.rounded, "length", "lengths") +
                        QStringLiteral(" rounded to the nearest length")},
        {c.split, Counted(c.split, "note", "notes") +
                      QStringLiteral(" longer than a dotted whole repeated over several lines")},
        {file.tempoChanges, Counted(file.tempoChanges, "tempo change", "tempo changes") +
                                QStringLiteral(" flattened to the first tempo")},
    };
    for (const auto& [count, text] : items) {
        if (count > 0) {
            parts << text;
        }
    }
    if (c.cut) {
        parts << QStringLiteral("the song stops at %1 lines, the rest of the file left out")
                     .arg(kMaxImportLines);
    }
    return parts.join(QStringLiteral("; ")) + QLatin1Char('.');
}

} // namespace

MidiImport ImportMidi(const QByteArray& bytes) {
    MidiImport out;
    SmfReader reader;
    if (!reader.Parse(bytes, &out.why)) {
        return out;
    }
    out.read = true;
    const FileNotes file = ReadNotes(reader);
    const uint32_t tempo = file.firstTempo != 0 ? file.firstTempo : kDefaultTempo;
    out.bpm = std::max(static_cast<int32_t>(std::lround(60'000'000.0 / tempo)), 1);
    const int beatsPerBar = reader.FirstTimeSignature();
    out.timeSig = beatsPerBar >= kMinTimeSig && beatsPerBar <= kMaxTimeSig ? beatsPerBar
                                                                           : SongSettings{}.TimeSig;
    // Metrical ticks are beats already; SMPTE ticks are real time, counted in beats of the
    // BPM so that the song plays at the file's speed.
    const double beatsPerTick = reader.TicksPerQuarterNote() > 0
                                    ? 1.0 / reader.TicksPerQuarterNote()
                                    : reader.SmpteMillisecondsPerTick() * out.bpm / 60'000.0;

    int64_t songEnd = 0;
    for (size_t t = 0; t < file.trackEnds.size(); ++t) {
        if (file.notesPerTrack[t] > 0 || file.notes.empty()) {
            songEnd = std::max(songEnd, file.trackEnds[t]);
        }
    }
    Counts counts;
    const bool byTrack = IsExportShaped(reader, file);
    const auto together = static_cast<int64_t>(std::ceil(HalfShortest() / beatsPerTick));
    const std::vector<Onset> onsets = Onsets(file.notes, together);
    const std::vector<Span> spans = Spans(file, onsets, songEnd, together, byTrack, counts);
    const double ratio = SoundingRatio(spans);
    out.noteSilenceRatio = static_cast<int>(std::lround(ratio * 100));
    WriteLines(spans, ratio, beatsPerTick, out, counts);
    out.summary = Summary(out, file, byTrack, counts);
    return out;
}

void ApplyImport(const MidiImport& import, SongTarget& target) {
    target.SetBPMVariable(import.bpm);
    target.SetBPMText(QString::number(import.bpm));
    target.SetNoteSilenceRatio(import.noteSilenceRatio);
    target.SetTimeSig(import.timeSig);
    target.ClearLines();
    target.AppendLines(import.lines);
}

} // namespace tq
