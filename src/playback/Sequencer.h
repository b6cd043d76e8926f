#pragma once

#include "core/Decimal4.h"
#include "playback/PollingWait.h"

#include <QString>

namespace tq {

class EventPump;
class LogSink;
class MessageBoxes;
class NonLockingSleep;
class PlayPositionDisplay;
class SongLines;
class ToneDispatcher;
struct OutputSwitches;
struct PlaySettings;
struct PlayerState;

// What the sequencer asks of the window around it.
class SequencerHost {
public:
    virtual ~SequencerHost() = default;
    // Piano keys, Play buttons and "Do not update" off, Stop on (playing) or back.
    virtual void SetControlsForPlaying(bool playing) = 0;
    virtual void UpdateModButtons() = 0;
    // Shows or hides the "BEEP" label and repaints it at once.
    virtual void SetBeepLabelVisible(bool visible) = 0;
    virtual void FMODBeepStop() = 0;
    // Lets the beat sound act at the start of a line.
    virtual void PlayBeatIfDue() {}
    // Sets the voice to sing a line's Note 2 (an empty note silences it).
    virtual void SetVoiceForLine(const QString& /*note2*/) {}
    virtual void SilenceVoice() {}
    // After play: the synchronized-play window's wait button comes back.
    virtual void ReenableSynchroWaitButton() {}
    // After the Play buttons' play: a synchronized play still waiting is ended.
    virtual void AfterPlayButtons() {}
};

// PlayMusic: plays a stretch of the music list line by line against absolute targets on
// the clock, every tone through UniBeep. A late line is shortened and a line whose sound
// end has passed is skipped, so delays never accumulate.
class Sequencer {
public:
    struct Deps {
        SongLines& lines;
        const PlaySettings& settings;
        const OutputSwitches& switches;
        PlayerState& state;
        ToneDispatcher& tones;
        PlayPositionDisplay& position;
        NonLockingSleep& sleep;
        MessageBoxes& boxes;
        LogSink& log;
        SequencerHost& host;
    };
    explicit Sequencer(Deps deps) : d_(deps), wait_(deps.sleep, deps.log, deps.state) {}

    // Plays lines startPoint..endPoint (1-based). singleLine plays them once without the
    // wait after the last tone; otherwise the stretch repeats until Stop.
    void PlayMusic(int startPoint, int endPoint, bool singleLine);
    // Ends a repeating play after this many passes through the stretch (0: until Stop).
    void SetPassLimit(int passes) { passLimit_ = passes; }
    void PlayAllButton_Click();
    void PlayFromLineButton_Click();
    void StopPlayButton_Click();
    void BeforePlayMusic();
    void AfterPlayMusic();

private:
    struct Run; // the local state of one PlayMusic call
    bool CheckStartGuards(Run& run);
    bool CheckLineGuards(Run& run);
    void PrepareLine(Run& run);
    void SoundLine(Run& run);
    void SoundOneNote(Run& run, const QString& note);
    void SoundAlternating(Run& run);
    // More than a wait step past the start of the next line.
    bool IsBehind() const;
    // False when Stop was clicked during the wait.
    bool WaitOutEarlyStep(Decimal4 stepEnd);
    void StopNeverSilentTone(const Run& run);
    void AdvanceDisplay(const Run& run);
    bool WaitForNextLine(Run& run);
    // After the stretch's last line: ends the play or starts the next pass.
    void EndPass(Run& run);
    void ShowStartPosition(int startPoint);
    Decimal4 SecondsFromStart(Decimal4 beats) const;
    void ShowEndPointMessages(Run& run);

    Deps d_;
    PollingWait wait_;
    int passLimit_ = 0;
};

} // namespace tq
