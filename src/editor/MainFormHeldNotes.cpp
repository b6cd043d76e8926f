// The cycling player: many held MIDI notes on the one-tone speaker, one pulse at a time.
#include "editor/MainForm.h"

#include "core/Rounding.h"
#include "playback/ToneDispatcher.h"

#include <algorithm>
#include <array>

namespace tq {

namespace {

constexpr int kNotes = 128;
// A whole cycle through the held notes lasts about this long, each pulse at most kMaxPulse.
constexpr double kCycleMs = 30;
constexpr int kMaxPulseMs = 15;

} // namespace

void MainForm::PlayLiveMIDIInput(HeldNoteSource& usingForm) {
    const bool saveCPU = usingForm.SaveCPUCheck();
    HeldNoteGrid& grid = usingForm.Grid();
    grid.visible.fill(false);
    grid.playing.fill(false);

    std::array<QString, kNotes> heldNames;
    std::array<int, kNotes> heldNumbers{};
    int held = 0;
    for (int note = 0; note < kNotes; ++note) {
        if (!usingForm.GetMIDINoteIsOn(note)) {
            continue;
        }
        heldNames[static_cast<size_t>(held)] = usingForm.MIDIToNoteString(note);
        heldNumbers[static_cast<size_t>(held)] = note;
        if (held < HeldNoteGrid::kLabels && !saveCPU) {
            grid.captions[static_cast<size_t>(held)] = heldNames[static_cast<size_t>(held)];
            grid.visible[static_cast<size_t>(held)] = true;
        }
        ++held;
    }
    grid.moreVisible = held > HeldNoteGrid::kLabels;
    if (grid.moreVisible) {
        grid.more = QStringLiteral("(%1 more)").arg(held - HeldNoteGrid::kLabels);
    }
    if (usingForm.AutoTimeCheck()) {
        int pulse = held == 0 ? static_cast<int>(kCycleMs)
                              : static_cast<int>(RoundHalfEven(kCycleMs / held));
        pulse = std::min(pulse, kMaxPulseMs);
        if (!songAlternate_) {
            songAlternate_ = AlternateTimeValue{settings_.AlternateTime, AlternateTimeText.Text};
        }
        // Stored as it is, below the limit typed values have; the text box then shows it
        // as out of range.
        cyclingSetsTime_ = true;
        settings_.AlternateTime = static_cast<int16_t>(pulse);
        SetAlternateTimeText(QString::number(pulse));
        cyclingSetsTime_ = false;
    }
    grid.heldCount = QStringLiteral(" (%1)").arg(held);
    if (CycleIndex >= held) {
        CycleIndex = 0;
    }
    if (held == 0) {
        usingForm.GridChanged();
        FMODBeepStop();
        return;
    }
    if (CycleIndex < HeldNoteGrid::kLabels) {
        grid.playing[static_cast<size_t>(CycleIndex)] = true;
    }
    usingForm.GridChanged();
    SetBeepLabelVisible(true);
    d_.tones.UniBeepValue(heldNames[static_cast<size_t>(CycleIndex)], settings_.AlternateTime,
                          false, true, false, true);
    SetBeepLabelVisible(false);
    if (usingForm.OnlyPlayNoteOnce()) {
        usingForm.SetMIDINoteHasPlayed(heldNumbers[static_cast<size_t>(CycleIndex)]);
    }
    ++CycleIndex;
}

void MainForm::KeepSongAlternateTime() {
    if (songAlternate_ && !cyclingSetsTime_) {
        songAlternate_ = AlternateTimeValue{settings_.AlternateTime, AlternateTimeText.Text};
    }
}

void MainForm::ReturnAlternateTime() {
    if (!songAlternate_) {
        return;
    }
    const AlternateTimeValue song = *songAlternate_;
    songAlternate_.reset();
    settings_.AlternateTime = song.ms;
    SetAlternateTimeText(song.text);
}

} // namespace tq
