#pragma once

#include "core/MusicLine.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace tq {

// The check boxes a song file carries.
enum class SongCheck {
    NoteClickPlay,
    NoteClickAdd,
    NoteReplace,
    NoteLengthReplace,
    ClickPlayNote1,
    ClickPlayNote2,
    PlayNote1,
    PlayNote2,
};

// The option buttons a song file carries.
enum class SongOption { AddNote1, AddNote2 };

// The main window as the song writer and reader see it. The writer only reads; the reader
// writes through one call per effect, in the order the file gives them. Calls described
// as running a handler behave exactly as the user's change of that control would,
// validation and dependent state included. Like a real control, a text box or check box
// runs its handler only when its value actually changes.
class SongTarget {
public:
    virtual ~SongTarget() = default;

    // What the writer saves.
    virtual uint8_t KeyboardOctave() const = 0;
    virtual int32_t BPM() const = 0;
    virtual int32_t TimeSig() const = 0;
    virtual int NoteSilenceRatio() const = 0; // NoteSilenceRatioSlider value
    virtual int NoteLengthIndex() const = 0;  // NoteLengthCombo index, 0-based
    virtual QString AlternateTimeText() const = 0;
    virtual int Check(SongCheck box) const = 0; // 0 clear, 1 ticked
    virtual bool Option(SongOption option) const = 0;
    virtual int32_t LineCount() const = 0;
    virtual MusicLine Line(int32_t index) const = 0; // 1-based line index

    // What the reader sets.
    // The KeyboardOctave variable only; no handler.
    virtual void SetKeyboardOctave(uint8_t octave) = 0;
    // KeyboardOctaveText's text; runs its change handler.
    virtual void SetKeyboardOctaveText(const QString& text) = 0;
    virtual void UpdateOctaveLabels() = 0;
    // The BPM variable only; the reader never passes a tempo below 1.
    virtual void SetBPMVariable(int32_t bpm) = 0;
    // BPMText's text; runs its change handler (which validates and stops playback).
    virtual void SetBPMText(const QString& text) = 0;
    // The TimeSig variable, lblTimeSig's caption and TimeSigSlider's value together; the
    // reader passes 1 to 32 only.
    virtual void SetTimeSig(int32_t beats) = 0;
    // NoteSilenceRatioSlider's value, then runs NoteSilenceRatioSlider_Scroll; the reader
    // passes 5 to 100 only.
    virtual void SetNoteSilenceRatio(int percent) = 0;
    // NoteLengthCombo's selected index; the reader passes 0 to 4 only.
    virtual void SetNoteLengthIndex(int index) = 0;
    // The AlternateTime variable only; the reader never passes a time below 1.
    virtual void SetAlternateTime(int16_t ms) = 0;
    // AlternateTimeText's text; runs its change handler.
    virtual void SetAlternateTimeText(const QString& text) = 0;
    // The box's state (0 or 1); runs its click handler.
    virtual void SetCheck(SongCheck box, int state) = 0;
    // Selects or deselects the option button; runs its click handler. Selecting one
    // deselects the other, deselecting leaves neither selected, as option buttons do.
    virtual void SetOption(SongOption option, bool selected) = 0;

    // The music list: remove every row, and append rows after the last in one go.
    virtual void ClearLines() = 0;
    virtual void AppendLines(std::vector<MusicLine> lines) = 0;

    // Clears MusicIsPlaying as the Stop button does, so a playback in progress ends.
    virtual void StopPlaying() = 0;

    // The song now is what the file at path holds: it was just read from it, or written.
    virtual void SongLoaded(const QString& /*path*/) {}
    virtual void SongSaved(const QString& /*path*/) {}
};

} // namespace tq
