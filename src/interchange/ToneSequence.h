#pragma once

#include "fmodtone/OfflineSpeaker.h"
#include "interchange/SongWavRenderer.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace tq {

class LogSink;
class MessageBoxes;

using PlayedTone = OfflineSpeaker::PlayedTone;

// What the speaker played in one pass of a song, timed from the start of the render.
struct ToneSequence {
    std::vector<PlayedTone> tones;
    // Where each line starts, then where the song ends.
    std::vector<int64_t> lineStartsNs;
    // The play ran past the longest render (see OfflineSpeaker::kMaxFrames): the tones
    // and lines are those of its first hour, and the song ends there.
    bool cut = false;
};

// One pass of the song (a song file's bytes) played as tonquill-play --wav plays it, its
// tones recorded instead of written. Nothing, with the reason, when the offline speaker
// cannot be set up; stopped is set when progress asked to stop (what was played by then is
// given).
std::optional<ToneSequence> RenderToneSequence(const QByteArray& song, const RenderOptions& options,
                                               MessageBoxes& boxes, LogSink& log,
                                               QString* why = nullptr,
                                               const SongWavRenderer::Progress& progress = {},
                                               bool* stopped = nullptr);

// A step of what an export plays: a tone, or a pause (frequency 0), in whole milliseconds,
// with the index of the line it belongs to (the line count for the pause before the end).
struct ToneStep {
    int line;
    int32_t frequency;
    int64_t ms;
};

// The sequence as steps played one after another. Each tone's start is rounded to whole
// milliseconds from the render's start and its end is that plus its length, so rounding
// never adds up: every tone starts within half a millisecond of where the speaker played
// it, and keeps its length. A line's last tone is followed by a pause to the line's end;
// a silent line has no steps of its own (the pause before the next tone covers it); the
// last step reaches the song's end.
std::vector<ToneStep> ToneSteps(const ToneSequence& sequence);

// The song's name for a one-line comment: control characters become spaces.
QString NameForComment(const QString& songName);

} // namespace tq
