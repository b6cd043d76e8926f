#pragma once

#include "playback/HeldNoteSource.h"

#include <QObject>

#include <array>
#include <cstdint>

namespace tq {

class LogSink;
class MainForm;
class NamedTimers;

// What the live MIDI input window and the MIDI file window share: the table of held
// notes and how Note On and Note Off change it, the listened channels, the player's
// options, the grid, and the timer whose ticks drive the cycle.
class HeldNoteWindow : public QObject, public HeldNoteSource {
    Q_OBJECT
public:
    static constexpr int kChannels = 16;

    // The window's timer named timerKey is added to timers, which must tick it only.
    HeldNoteWindow(MainForm& main, NamedTimers& timers, QString timerKey,
                   QObject* parent = nullptr);

    // HeldNoteSource
    bool SaveCPUCheck() const override { return saveCPU_; }
    bool AutoTimeCheck() const override { return autoTime_; }
    bool OnlyPlayNoteOnce() const override { return onlyOnce_; }
    bool GetMIDINoteIsOn(int note) const override;
    void SetMIDINoteHasPlayed(int note) override;
    QString MIDIToNoteString(int note) const override;
    HeldNoteGrid& Grid() override { return grid_; }
    void GridChanged() override { emit GridUpdated(); }

    void AllNotesOff();
    static int NoteToMIDI(int noteIndex, int octave) { return octave * 12 + noteIndex; }
    // A note number of the program's numbering as its note string (60 is "C5").
    static QString NoteStringOfMIDI(int note);
    // A Note On on a listened channel holds a note that is not held; a Note Off (or a
    // Note On of velocity 0) on a listened channel releases it. Nothing else counts.
    void NoteMessage(int status, int note, int velocity);
    // The table entry of a note: 0 not held, 1 held, 2 held and played once.
    uint8_t HeldState(int note) const;

    void SetSaveCPUCheck(bool ticked);
    void SetAutoTimeCheck(bool ticked);
    void OnlyOnceCheck_Click(bool ticked);
    bool ListenChannelCheck(int index) const { return listen_[static_cast<size_t>(index)]; }
    // Unticking any channel releases every held note, on every channel.
    void ListenChannelCheck_Click(int index, bool ticked);
    // Names every note that comes in by whole octaves more or fewer (kMinOctaveOffset to
    // kMaxOctaveOffset): at +1 note 60 is "C4". Held notes take their new names at their
    // next pulse; a note that falls below octave 0 sits out of the cycle.
    void spnOctaveOffset_Change(int offset);
    int OctaveOffset() const { return octaveOffset_; }

    // The timer's tick: drops a tick that comes while the last one still runs, runs the
    // window's step, lets the window's events through and re-arms the timer so that the
    // next tick comes the main window's alternation time after this one began.
    void cTmr_Timer(const QString& key);
    // A note was pressed: its first pulse comes at once when the cycle is idle, or right
    // after the pulse in progress, rather than an alternation time later.
    void PlayNewNoteSoon();
    const QString& TimerKey() const { return timerKey_; }

signals:
    // A check box or another control the window mirrors changed.
    void Changed();
    void GridUpdated();

protected:
    // One tick's work: a step of the cycling player, or a file's playback tick.
    virtual void Step() = 0;

    MainForm& main_;
    NamedTimers& timers_;

private:
    int64_t NowNs();

    QString timerKey_;
    std::array<uint8_t, 128> table_{};
    std::array<bool, kChannels> listen_;
    bool saveCPU_ = false;
    bool autoTime_ = false;
    bool onlyOnce_ = false;
    bool inTick_ = false;
    bool newNoteInTick_ = false;
    int octaveOffset_ = 0;
    HeldNoteGrid grid_;
};

} // namespace tq
