#include "interchange/ToneSequence.h"

#include "core/NoteLengths.h"
#include "editor/MainForm.h"
#include "interchange/SongWavRenderer.h"

#include <algorithm>

namespace tq {

namespace {

constexpr int64_t kNsPerMs = 1'000'000;

int64_t WholeMs(int64_t ns) {
    return (std::max<int64_t>(ns, 0) + kNsPerMs / 2) / kNsPerMs;
}

// Where the sequencer starts each line and where the song ends, from the start of the
// render: the play's start plus the beats before the line at the song's tempo, to four
// places as the sequencer counts them.
std::vector<int64_t> LineStartsNs(MainForm& form, int64_t renderStartNs) {
    if (form.List().LineCount() == 0) {
        return {0};
    }
    const Decimal4 bpm = Decimal4::FromInt(std::max(form.Settings().BPM, 1));
    const Decimal4 playStart = form.State().StartTickTime;
    // Four places of a second are 100 000 ns.
    const auto at = [&](Decimal4 beats) {
        return (playStart + beats * Decimal4::FromInt(60) / bpm).Raw() * 100'000 - renderStartNs;
    };
    std::vector<int64_t> starts;
    Decimal4 beats;
    for (int i = 1; i <= form.List().LineCount(); ++i) {
        starts.push_back(at(beats));
        const MusicLine line = form.List().Line(i);
        beats += LineBeats(line.Length, line.Mod);
    }
    starts.push_back(at(beats));
    return starts;
}

// Keeps what was played before the longest render ended, and ends the song there.
void KeepFirstHour(ToneSequence& sequence) {
    const int64_t longestNs =
        OfflineSpeaker::kMaxFrames * 1'000'000'000 / OfflineSpeaker::kSampleRate;
    std::erase_if(sequence.tones, [&](const PlayedTone& t) { return t.startNs >= longestNs; });
    std::erase_if(sequence.lineStartsNs, [&](int64_t start) { return start >= longestNs; });
    sequence.lineStartsNs.push_back(longestNs);
}

} // namespace

std::optional<ToneSequence> RenderToneSequence(const QByteArray& song, const RenderOptions& options,
                                               MessageBoxes& boxes, LogSink& log, QString* why,
                                               const SongWavRenderer::Progress& progress,
                                               bool* stopped) {
    SongWavRenderer renderer;
    QString failure;
    if (!renderer.OpenSpeaker(&failure)) {
        if (why) {
            *why = failure;
        }
        return std::nullopt;
    }
    const int64_t renderStartNs = renderer.Clock().NowNs();
    ToneSequence sequence;
    // The samples are made as for a file and let go: a long song is not held.
    renderer.Speaker().SetSink([](std::span<const float>) {});
    renderer.Speaker().RecordTones(&sequence.tones);
    const bool played = renderer.PlayOnce(song, options, boxes, log, progress, [&](MainForm& form) {
        sequence.lineStartsNs = LineStartsNs(form, renderStartNs);
    });
    if (stopped != nullptr) {
        *stopped = !played;
    }
    renderer.Speaker().RecordTones(nullptr);
    sequence.cut = renderer.Cut();
    if (sequence.cut) {
        KeepFirstHour(sequence);
    }
    return sequence;
}

std::vector<ToneStep> ToneSteps(const ToneSequence& sequence) {
    const std::vector<int64_t>& starts = sequence.lineStartsNs;
    const int lines = std::max(static_cast<int>(starts.size()) - 1, 0);
    std::vector<ToneStep> steps;
    int64_t now = 0;
    const auto pauseUntil = [&](int line, int64_t ms) {
        if (ms > now) {
            steps.push_back({line, 0, ms - now});
            now = ms;
        }
    };
    // The line a time falls in; before the first line, the first, and after the end, the
    // last. Tones last whole milliseconds, so a line's tone may start up to one early.
    int line = 0;
    const auto startsNextLine = [&](int64_t ns) {
        return line + 1 < lines && starts[static_cast<size_t>(line) + 1] <= ns + kNsPerMs;
    };
    const std::vector<PlayedTone>& tones = sequence.tones;
    for (size_t i = 0; i < tones.size(); ++i) {
        while (startsNextLine(tones[i].startNs)) {
            ++line;
        }
        pauseUntil(line, WholeMs(tones[i].startNs));
        steps.push_back({line, tones[i].frequency, tones[i].durationMs});
        now += tones[i].durationMs;
        if (line < lines && (i + 1 == tones.size() || startsNextLine(tones[i + 1].startNs))) {
            // To the line's end, or to the next tone where it starts a little before that.
            const int64_t end = starts[static_cast<size_t>(line) + 1];
            pauseUntil(line, WholeMs(i + 1 == tones.size() ? end
                                                           : std::min(end, tones[i + 1].startNs)));
        }
    }
    if (!starts.empty()) {
        pauseUntil(lines, WholeMs(starts.back()));
    }
    return steps;
}

QString NameForComment(const QString& songName) {
    QString name = songName;
    for (QChar& c : name) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            c = QLatin1Char(' ');
        }
    }
    return name;
}

} // namespace tq
