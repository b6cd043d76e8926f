#pragma once

#include "playback/ToneOutputs.h"

#include <QSet>
#include <QString>

namespace tq {

class LogSink;
class MessageBoxes;
class NonLockingSleep;
class Speaker;

// UniBeep: the one call through which every tone of the program passes. It sends the
// MIDI note-on, writes the tone-code line, hands the tone to exactly one output (motor,
// soundcard, the muted wait, the portamento glide or the PC speaker, in that order) and
// sends the note-off when that output returns.
class ToneDispatcher {
public:
    ToneDispatcher(LogSink& log, MessageBoxes& boxes, NonLockingSleep& sleep, Speaker& speaker,
                   OutputSwitches& switches)
        : log_(log), boxes_(boxes), sleep_(sleep), speaker_(&speaker), switches_(switches) {
        SetSpeaker(speaker);
    }

    // noteString is a note string ("C#4"), or a frequency in hertz ("1000") when
    // noteIsFrequency. An empty note string is set to "C4" in the caller's variable.
    void UniBeep(QString& noteString, double duration, bool noteIsFrequency,
                 bool specificContinuous, bool specificStop, bool fmodNoWait);
    // For callers with a note they do not need back.
    void UniBeepValue(const QString& noteString, double duration, bool noteIsFrequency,
                      bool specificContinuous, bool specificStop, bool fmodNoWait) {
        QString s = noteString;
        UniBeep(s, duration, noteIsFrequency, specificContinuous, specificStop, fmodNoWait);
    }

    // While a play runs, each note string that is not a note is reported in a box once;
    // later tones of it are only logged, so a song cannot bury Stop under boxes. Plays
    // nest (a clicked line inside a whole-song play); the outermost starts afresh.
    void BeginPlay();
    void EndPlay();

    // MutePiptoneCheck's click handler.
    void MutePiptoneClicked(bool ticked);

    // The speaker's long tones wait through this dispatcher's sleep, so Stop ends them.
    void SetSpeaker(Speaker& speaker);
    Speaker& TheSpeaker() { return *speaker_; }
    void SetMidiOutput(MidiToneOutput* out) { midi_ = out; }
    void SetMotorOutput(MotorToneOutput* out) { motor_ = out; }
    void SetFmodOutput(FmodToneOutput* out) { fmod_ = out; }
    void SetPortamentoOutput(PortamentoToneOutput* out) { portamento_ = out; }
    OutputSwitches& Switches() { return switches_; }

    // The tone-code line of a tone: "Beep", the frequency right-aligned in 5, the
    // duration in 6, and the note (or the frequency and " Hz [no note]").
    static QString BeepCodeLine(int32_t frequency, double duration, const QString& noteString,
                                bool noteIsFrequency);
    // The tone-code line of a wait: "MsgWaitObj" and the milliseconds right-aligned in 6
    // (with decimals for the precise end of a wait).
    static QString WaitCodeLine(double milliseconds);

private:
    int NoteNumOf(const QString& noteString);
    int MidiNoteOf(const QString& noteString, bool noteIsFrequency);
    void PlayOnOneOutput(int32_t frequency, double duration, int noteNum, int octave,
                         bool noteIsFrequency, bool specificContinuous, bool specificStop,
                         bool fmodNoWait);
    void ReportSpeakerFailure();

    LogSink& log_;
    MessageBoxes& boxes_;
    NonLockingSleep& sleep_;
    Speaker* speaker_;
    OutputSwitches& switches_;
    MidiToneOutput* midi_ = nullptr;
    MotorToneOutput* motor_ = nullptr;
    FmodToneOutput* fmod_ = nullptr;
    PortamentoToneOutput* portamento_ = nullptr;
    int playDepth_ = 0;
    QSet<QString> reportedNotes_;
};

} // namespace tq
