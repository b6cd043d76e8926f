#pragma once

#include "songfile/SongTarget.h"

namespace tq {

class MainForm;
struct CheckBoxState;

// The main window's logic as the song writer and reader see it: each setting is written
// through the control's own setter, so a loaded song is validated exactly as typing it
// in would be.
class MainFormSongTarget final : public SongTarget {
public:
    explicit MainFormSongTarget(MainForm& form) : form_(form) {}

    uint8_t KeyboardOctave() const override;
    int32_t BPM() const override;
    int32_t TimeSig() const override;
    int NoteSilenceRatio() const override;
    int NoteLengthIndex() const override;
    QString AlternateTimeText() const override;
    int Check(SongCheck box) const override;
    bool Option(SongOption option) const override;
    int32_t LineCount() const override;
    MusicLine Line(int32_t index) const override;

    void SetKeyboardOctave(uint8_t octave) override;
    void SetKeyboardOctaveText(const QString& text) override;
    void UpdateOctaveLabels() override;
    void SetBPMVariable(int32_t bpm) override;
    void SetBPMText(const QString& text) override;
    void SetTimeSig(int32_t beats) override;
    void SetNoteSilenceRatio(int percent) override;
    void SetNoteLengthIndex(int index) override;
    void SetAlternateTime(int16_t ms) override;
    void SetAlternateTimeText(const QString& text) override;
    void SetCheck(SongCheck box, int state) override;
    void SetOption(SongOption option, bool selected) override;
    void ClearLines() override;
    void AppendLines(std::vector<MusicLine> lines) override;
    void StopPlaying() override;
    void SongLoaded(const QString& path) override;
    void SongSaved(const QString& path) override;

private:
    const CheckBoxState& Box(SongCheck box) const;

    MainForm& form_;
};

} // namespace tq
