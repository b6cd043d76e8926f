#pragma once

#include "core/Rounding.h"
#include "songfile/SongTarget.h"

#include <algorithm>
#include <array>
#include <functional>

namespace tq {

// The main window's settings as the song reader meets them, with the change and click
// handlers of the real controls: the octave, tempo and alternation texts validate and
// turn orange, the slider clamps and updates its label, the adding-note boxes enable each
// other. Any value that should never reach the main window sets `broken`.
class FakeSongTarget final : public SongTarget {
public:
    uint8_t keyboardOctave = 4;
    QString keyboardOctaveText = QStringLiteral("4");
    std::array<QString, 3> octLabels{QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
    int32_t bpm = 140;
    QString bpmText = QStringLiteral("140");
    bool bpmOrange = false;
    int32_t timeSig = 4;
    QString lblTimeSig = QStringLiteral("4");
    int noteSilenceRatio = 50;
    QString noteSilenceRatioLabel = QStringLiteral("50%");
    int noteLengthIndex = 3;
    int16_t alternateTime = 30;
    QString alternateTimeText = QStringLiteral("30");
    bool alternateTimeOrange = false;
    // Indexed by SongCheck.
    std::array<int, 8> checks{1, 1, 0, 0, 1, 1, 1, 1};
    bool addNote1 = true;
    bool addNote2 = false;
    bool addNoteOptionsEnabled = true;
    bool noteLengthReplaceEnabled = false;
    std::vector<MusicLine> lines;
    bool musicIsPlaying = false;
    int stopPlayingCalls = 0;
    int playbackStops = 0; // by the tempo text's handler
    int clearLinesCalls = 0;
    int appendLinesCalls = 0;
    bool broken = false;
    std::function<void()> onClearLines;

    uint8_t KeyboardOctave() const override { return keyboardOctave; }
    int32_t BPM() const override { return bpm; }
    int32_t TimeSig() const override { return timeSig; }
    int NoteSilenceRatio() const override { return noteSilenceRatio; }
    int NoteLengthIndex() const override { return noteLengthIndex; }
    QString AlternateTimeText() const override { return alternateTimeText; }
    int Check(SongCheck box) const override { return checks[Index(box)]; }
    bool Option(SongOption option) const override {
        return option == SongOption::AddNote1 ? addNote1 : addNote2;
    }
    int32_t LineCount() const override { return static_cast<int32_t>(lines.size()); }
    MusicLine Line(int32_t index) const override { return lines.at(size_t(index - 1)); }

    void SetKeyboardOctave(uint8_t octave) override { keyboardOctave = octave; }
    void SetKeyboardOctaveText(const QString& text) override {
        if (text == keyboardOctaveText) {
            return;
        }
        keyboardOctaveText = text;
        if (text.isEmpty()) {
            return;
        }
        if (!IsNumeric(text)) {
            SetKeyboardOctaveText(QString::number(keyboardOctave));
            return;
        }
        if (LeadingNumber(text) < 2) {
            SetKeyboardOctaveText(QStringLiteral("2"));
            return;
        }
        keyboardOctave =
            static_cast<uint8_t>(std::min<int64_t>(RoundHalfEven(LeadingNumber(text)), 254));
        UpdateOctaveLabels();
    }
    void UpdateOctaveLabels() override {
        for (int i = 0; i < 3; ++i) {
            octLabels[size_t(i)] = QString::number(keyboardOctave - 1 + i);
        }
    }
    void SetBPMVariable(int32_t value) override {
        broken |= value < 1;
        bpm = value;
    }
    void SetBPMText(const QString& text) override {
        if (text == bpmText) {
            return;
        }
        bpmText = text;
        if (text.isEmpty()) {
            return;
        }
        if (!IsNumeric(text)) {
            SetBPMText(QString::number(bpm));
        } else {
            const double v = LeadingNumber(text);
            bpmOrange = v < 40 || v > 600;
            if (!bpmOrange) {
                bpm = RoundToInt32(v);
            }
        }
        ++playbackStops;
        musicIsPlaying = false;
    }
    void SetTimeSig(int32_t beats) override {
        broken |= beats < 1 || beats > 32;
        timeSig = beats;
        lblTimeSig = QString::number(beats);
    }
    void SetNoteSilenceRatio(int percent) override {
        broken |= percent < 5 || percent > 100;
        noteSilenceRatio = std::clamp(percent, 5, 100);
        noteSilenceRatioLabel =
            QStringLiteral("%1%").arg(noteSilenceRatio, 2, 10, QLatin1Char('0'));
    }
    void SetNoteLengthIndex(int index) override {
        broken |= index < 0 || index > 4;
        noteLengthIndex = index;
    }
    void SetAlternateTime(int16_t ms) override {
        broken |= ms < 1;
        alternateTime = ms;
    }
    void SetAlternateTimeText(const QString& text) override {
        if (text == alternateTimeText) {
            return;
        }
        alternateTimeText = text;
        if (text.isEmpty()) {
            return;
        }
        if (!IsNumeric(text)) {
            SetAlternateTimeText(QString::number(alternateTime));
            return;
        }
        const double v = LeadingNumber(text);
        alternateTimeOrange = v < 15 || v > 2000;
        if (!alternateTimeOrange) {
            alternateTime = RoundToInt16(v);
        }
    }
    void SetCheck(SongCheck box, int state) override {
        broken |= state != 0 && state != 1;
        if (checks[Index(box)] == state) {
            return;
        }
        checks[Index(box)] = state;
        if (box == SongCheck::NoteClickAdd) {
            addNoteOptionsEnabled = state == 1;
            noteLengthReplaceEnabled = state == 1 && Check(SongCheck::NoteReplace) == 1;
        } else if (box == SongCheck::NoteReplace) {
            noteLengthReplaceEnabled = state == 1;
        }
    }
    void SetOption(SongOption option, bool selected) override {
        bool& self = option == SongOption::AddNote1 ? addNote1 : addNote2;
        bool& other = option == SongOption::AddNote1 ? addNote2 : addNote1;
        self = selected;
        if (selected) {
            other = false;
        }
    }
    void ClearLines() override {
        ++clearLinesCalls;
        lines.clear();
        if (onClearLines) {
            onClearLines();
        }
    }
    void AppendLines(std::vector<MusicLine> more) override {
        ++appendLinesCalls;
        lines.insert(lines.end(), std::make_move_iterator(more.begin()),
                     std::make_move_iterator(more.end()));
    }
    void StopPlaying() override {
        ++stopPlayingCalls;
        musicIsPlaying = false;
    }

    static size_t Index(SongCheck box) { return static_cast<size_t>(box); }
};

} // namespace tq
