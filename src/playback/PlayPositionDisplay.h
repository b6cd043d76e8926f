#pragma once

#include "playback/PositionSums.h"

#include <QString>

#include <functional>

namespace tq {

class LogSink;
class SongLines;
struct PlaySettings;

// The three green labels: bar, whole notes and sixteenths within the bar, beat within
// the bar.
struct PositionLabels {
    QString PlayBar = QStringLiteral("001");
    QString PlayPos = QStringLiteral("01");
    QString PlaySig = QStringLiteral("00.00");
    bool PlayPosError = false; // shown red when the fraction could not be named
};

// Works out where playback or editing stands and draws it into the labels.
class PlayPositionDisplay {
public:
    PlayPositionDisplay(const SongLines& lines, const PlaySettings& settings, LogSink& log)
        : lines_(lines), settings_(settings), log_(log) {}

    // The position in whole notes at the start of a line. A line below 1 means after the
    // last line (the caller's variable is set to it); an empty list gives -1.
    double WorkOutPlayPos(int& currentLine);
    double WorkOutPlayPosOf(int line) { return WorkOutPlayPos(line); }
    // Draws a position in whole notes into the labels.
    void ShowPlayPos(double position);
    void ShowEmptyList();

    // The position the display shows, advanced by the sequencer line by line.
    double Displayed() const { return displayed_; }
    void SetDisplayed(double position) { displayed_ = position; }

    const PositionLabels& Labels() const { return labels_; }
    void SetLabelsChanged(std::function<void()> changed) { changed_ = std::move(changed); }
    PositionSums& Sums() { return sums_; }

private:
    void Publish();

    const SongLines& lines_;
    const PlaySettings& settings_;
    LogSink& log_;
    PositionSums sums_;
    PositionLabels labels_;
    double displayed_ = 0;
    std::function<void()> changed_;
};

} // namespace tq
