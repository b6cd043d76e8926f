#pragma once

#include "core/Decimal4.h"

#include <cstdint>

namespace tq {

// The settings the players read afresh for every line or beat.
struct PlaySettings {
    int32_t BPM = 140;
    int NoteSilenceRatio = 50;
    int16_t AlternateTime = 30;
    int32_t TimeSig = 4;
    bool PlayNote1 = true;
    bool PlayNote2 = true;
    bool ClickPlayNote1 = true;
    bool ClickPlayNote2 = true;
    bool UseNoUpdate = false;
    bool UseVoice = false;
};

// What the sequencer and the metronome share. They keep time on the same fields, so
// running both at once lets each overwrite the other's timing.
struct PlayerState {
    int64_t TickFreq = 1'000'000'000;
    bool MusicIsPlaying = false;
    Decimal4 StartTickTime;
    Decimal4 CurrentTickTime;
    // Beats played since StartTickTime (the metronome counts its clicks here).
    Decimal4 PlayPosition;
    // Which note of a two-note line sounds next; kept across lines and plays.
    bool AlternatePhase = false;
    bool MetronomeOn = false;
    bool MetronomeRunning = false;
    int32_t MetronomeGeneration = 0;
};

} // namespace tq
