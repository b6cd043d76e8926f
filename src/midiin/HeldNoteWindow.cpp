#include "midiin/HeldNoteWindow.h"

#include "core/MidiOctave.h"
#include "core/NonLockingSleep.h"
#include "core/NoteFrequencies.h"
#include "core/Rounding.h"
#include "editor/MainForm.h"
#include "platform/Clock.h"
#include "platform/EventPump.h"
#include "platform/NamedTimers.h"

namespace tq {

namespace {

constexpr int kNotes = 128;

bool IsNote(int note) {
    return note >= 0 && note < kNotes;
}

} // namespace

HeldNoteWindow::HeldNoteWindow(MainForm& main, NamedTimers& timers, QString timerKey,
                               QObject* parent)
    : QObject(parent), main_(main), timers_(timers), timerKey_(std::move(timerKey)) {
    listen_.fill(true);
}

bool HeldNoteWindow::GetMIDINoteIsOn(int note) const {
    return IsNote(note) && table_[static_cast<size_t>(note)] == 1 &&
           ProgramNoteOfMidiNote(note, octaveOffset_) >= 0;
}

void HeldNoteWindow::SetMIDINoteHasPlayed(int note) {
    if (IsNote(note)) {
        table_[static_cast<size_t>(note)] = 2;
    }
}

uint8_t HeldNoteWindow::HeldState(int note) const {
    return IsNote(note) ? table_[static_cast<size_t>(note)] : 0;
}

QString HeldNoteWindow::MIDIToNoteString(int note) const {
    return NoteStringOfMIDI(ProgramNoteOfMidiNote(note, octaveOffset_));
}

QString HeldNoteWindow::NoteStringOfMIDI(int note) {
    return NoteNumToLetter(note % 12) + QString::number(note / 12);
}

void HeldNoteWindow::AllNotesOff() {
    table_.fill(0);
}

void HeldNoteWindow::NoteMessage(int status, int note, int velocity) {
    if (status < 128 || status > 159 || !IsNote(note)) {
        return;
    }
    if (!listen_[static_cast<size_t>(status % 16)]) {
        return;
    }
    uint8_t& entry = table_[static_cast<size_t>(note)];
    const bool noteOn = status >= 144 && velocity != 0;
    if (noteOn) {
        // A note already held (or played once) is not restarted by a second Note On.
        if (entry == 0) {
            entry = 1;
        }
    } else {
        entry = 0;
    }
}

void HeldNoteWindow::SetSaveCPUCheck(bool ticked) {
    saveCPU_ = ticked;
    emit Changed();
}

void HeldNoteWindow::SetAutoTimeCheck(bool ticked) {
    autoTime_ = ticked;
    emit Changed();
}

void HeldNoteWindow::OnlyOnceCheck_Click(bool ticked) {
    onlyOnce_ = ticked;
    emit Changed();
}

void HeldNoteWindow::ListenChannelCheck_Click(int index, bool ticked) {
    if (index < 0 || index >= kChannels) {
        return;
    }
    listen_[static_cast<size_t>(index)] = ticked;
    if (!ticked) {
        AllNotesOff();
    }
    emit Changed();
}

void HeldNoteWindow::spnOctaveOffset_Change(int offset) {
    octaveOffset_ = ClampOctaveOffset(offset);
    emit Changed();
}

void HeldNoteWindow::cTmr_Timer(const QString& key) {
    if (inTick_) {
        return; // the last tick is still running
    }
    inTick_ = true;
    if (key == timerKey_) {
        const int64_t started = NowNs();
        newNoteInTick_ = false;
        Step();
        const int ms = RoundToInt32(LeadingNumber(main_.AlternateTimeText.Text));
        timers_.SetInterval(timerKey_, ms);
        main_.Sleep().Pump().ProcessPendingEvents();
        // The next tick is due one alternation time after this one started, not after its
        // pulse ended: pulses then follow each other without a gap, and one held note is
        // a steady tone.
        // Pulses of no length (sixty notes and more) keep the timer's own pace instead.
        const int64_t left = started + int64_t{ms} * 1'000'000 - NowNs();
        if (ms < 1) {
            if (newNoteInTick_) {
                timers_.SetInterval(timerKey_, 0); // runs as soon as the timer can
            }
        } else if (newNoteInTick_ || left < 500'000) {
            timers_.TickSoon(timerKey_);
        } else if (left < int64_t{ms} * 1'000'000) {
            timers_.SetInterval(timerKey_, static_cast<int>((left + 500'000) / 1'000'000));
        }
    }
    inTick_ = false;
}

int64_t HeldNoteWindow::NowNs() {
    Clock& clock = main_.Sleep().TheClock();
    return static_cast<int64_t>(static_cast<__int128>(clock.PerformanceCounter()) * 1'000'000'000 /
                                clock.PerformanceFrequency());
}

void HeldNoteWindow::PlayNewNoteSoon() {
    if (!timers_.IsEnabled(timerKey_)) {
        return;
    }
    if (inTick_) {
        newNoteInTick_ = true;
    } else {
        cTmr_Timer(timerKey_);
    }
}

} // namespace tq
