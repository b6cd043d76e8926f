#include "playback/Sequencer.h"

#include "core/LogSink.h"
#include "core/NonLockingSleep.h"
#include "core/NoteLengths.h"
#include "core/TickTime.h"
#include "platform/EventPump.h"
#include "platform/MessageBoxes.h"
#include "playback/PlayPositionDisplay.h"
#include "playback/PlayerState.h"
#include "playback/SongLines.h"
#include "playback/ToneDispatcher.h"

#include <algorithm>

namespace tq {

namespace {

const QString kTitle = QStringLiteral("PlayMusic sub");

QString Quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

} // namespace

struct Sequencer::Run {
    int startPoint = 0;
    int endPoint = 0;
    bool singleLine = false;
    int currentLine = 0;
    int passes = 0;
    MusicLine line;
    Decimal4 lineLength;
    // Kept for the whole call: a ratio of 100 reuses what an earlier line set.
    Decimal4 margin;
    // Where the pass began, in beats: a pass that took none would repeat for ever.
    Decimal4 passStart;
    Decimal4 lastEvents;
};

namespace {
// The longest run of lines played without letting events in, in seconds.
const Decimal4 kMostWithoutEvents = Decimal4::FromRatio(5, 1000);
} // namespace

void Sequencer::EndPass(Run& run) {
    PlayerState& st = d_.state;
    if (run.singleLine) {
        d_.log.LogText(QStringLiteral("MusicIsPlaying -> FALSE"));
        st.MusicIsPlaying = false;
    } else if (passLimit_ > 0 && ++run.passes >= passLimit_) {
        st.MusicIsPlaying = false;
    } else if (st.PlayPosition == run.passStart) {
        // Lines of unknown length last no time: another pass would sound nothing either.
        d_.log.LogText(QStringLiteral("The lines played last no time - stopping"));
        st.MusicIsPlaying = false;
    } else {
        run.currentLine = run.startPoint - 1;
        run.passStart = st.PlayPosition;
        ShowStartPosition(run.startPoint);
    }
}

Decimal4 Sequencer::SecondsFromStart(Decimal4 beats) const {
    // A tempo below 1 never comes from the controls; it must not stop time either.
    const int64_t bpm = d_.settings.BPM >= 1 ? d_.settings.BPM : 1;
    return d_.state.StartTickTime + beats * Decimal4::FromInt(60) / Decimal4::FromInt(bpm);
}

void Sequencer::PlayMusic(int startPoint, int endPoint, bool singleLine) {
    PlayerState& st = d_.state;
    d_.log.LogIndentInc(QStringLiteral("PlayMusic() - START"));
    st.MusicIsPlaying = true;
    d_.tones.BeginPlay();
    BeforePlayMusic();
    d_.log.LogText(QStringLiteral("StartPoint = ") + QString::number(startPoint));
    d_.log.LogText(QStringLiteral("EndPoint = ") + QString::number(endPoint));

    const int64_t counter = wait_.ReadClock();
    st.StartTickTime = st.CurrentTickTime;
    d_.log.LogText(QStringLiteral("QueryPerformanceCounter returned ") + RawCountText(counter));
    d_.log.LogText(QStringLiteral("StartTickTime = ") + st.StartTickTime.ToString());
    st.PlayPosition = Decimal4{};
    Run run;
    run.startPoint = startPoint;
    run.endPoint = endPoint;
    run.singleLine = singleLine;
    run.currentLine = startPoint - 1;

    if (CheckStartGuards(run)) {
        run.lastEvents = st.CurrentTickTime;
        ShowStartPosition(run.startPoint);
        while (st.MusicIsPlaying) {
            run.currentLine += 1;
            if (!CheckLineGuards(run)) {
                break;
            }
            PrepareLine(run);
            SoundLine(run);
            StopNeverSilentTone(run);
            if (!st.MusicIsPlaying) {
                break;
            }
            AdvanceDisplay(run);
            if (!WaitForNextLine(run)) {
                break;
            }
            st.PlayPosition += run.lineLength;
            if (run.currentLine == run.endPoint) {
                EndPass(run);
            }
            // Lines whose time has passed follow at once: letting events in between them
            // would let a handler that blocks (a circuit-bent burst) take every line's turn.
            // Still, events come in every few milliseconds, whatever the lines last.
            if (!IsBehind() || st.CurrentTickTime >= run.lastEvents + kMostWithoutEvents) {
                d_.log.LogText(QStringLiteral("Respond to any input"));
                d_.sleep.Pump().ProcessPendingEvents();
                run.lastEvents = st.CurrentTickTime;
            }
        }
    }

    st.MusicIsPlaying = false;
    AfterPlayMusic();
    d_.tones.EndPlay();
    d_.log.LogIndentDec(QStringLiteral("PlayMusic() - END"));
}

bool Sequencer::CheckStartGuards(Run& run) {
    if (!d_.lines.DoesIndexExist(run.startPoint)) {
        d_.boxes.Show(kTitle,
                      QStringLiteral("StartPoint is %1\nHowever, that line doesn't exist.\n"
                                     "(Exiting sub)")
                          .arg(run.startPoint),
                      MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    if (!d_.lines.DoesIndexExist(run.endPoint)) {
        ShowEndPointMessages(run);
        return false;
    }
    return true;
}

void Sequencer::ShowEndPointMessages(Run& run) {
    d_.boxes.Show(kTitle,
                  QStringLiteral("EndPoint is %1\nHowever, that line doesn't exist.\n"
                                 "(Changing it to last line in the list)")
                      .arg(run.endPoint),
                  MsgButtons::Ok, MsgIcon::Exclamation);
    run.endPoint = d_.lines.LineCount();
    d_.boxes.Show(kTitle, QStringLiteral("EndPoint changed to %1").arg(run.endPoint),
                  MsgButtons::Ok, MsgIcon::Exclamation);
}

bool Sequencer::CheckLineGuards(Run& run) {
    d_.lines.SelectLine(run.currentLine);
    d_.host.UpdateModButtons();
    if (!d_.lines.DoesIndexExist(run.endPoint)) {
        // The list was shortened during play.
        ShowEndPointMessages(run);
    }
    if (run.currentLine > run.endPoint) {
        d_.boxes.Show(kTitle,
                      QStringLiteral("EndPoint is %1\nHowever, somehow this program now is about "
                                     "to try to look at line %2.\n(Stopping playing)")
                          .arg(run.endPoint)
                          .arg(run.currentLine),
                      MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void Sequencer::PrepareLine(Run& run) {
    run.line = d_.lines.Line(run.currentLine);
    run.lineLength = LineBeats(run.line.Length, run.line.Mod);
    d_.log.LogText(QStringLiteral("CurrentLineLength = ") + run.lineLength.ToString());
    d_.log.LogText(QStringLiteral("CurrentNote1 = ") + Quoted(run.line.Note1));
    d_.log.LogText(QStringLiteral("CurrentNote2 = ") + Quoted(run.line.Note2));
    if (d_.settings.UseVoice) {
        d_.log.LogIndentInc(QStringLiteral("'Setting voice to correct pitch' section - START"));
        d_.host.SetVoiceForLine(run.line.Note2);
        d_.log.LogIndentDec(QStringLiteral("'Setting voice to correct pitch' section - END"));
    }
    d_.host.PlayBeatIfDue();
    const int64_t counter = wait_.ReadClock();
    d_.log.LogText(QStringLiteral("QueryPerformanceCounter returned ") + RawCountText(counter));
    d_.log.LogText(QStringLiteral("CurrentTickTime = ") + d_.state.CurrentTickTime.ToString());
}

void Sequencer::SoundLine(Run& run) {
    const PlaySettings& s = d_.settings;
    const bool audible1 = run.singleLine ? s.ClickPlayNote1 : s.PlayNote1;
    const bool audible2 = run.singleLine ? s.ClickPlayNote2 : s.PlayNote2;
    const bool has1 = audible1 && !run.line.Note1.isEmpty();
    const bool has2 = audible2 && !run.line.Note2.isEmpty();
    if (has1 && !has2) {
        SoundOneNote(run, run.line.Note1);
    } else if (has2 && !has1) {
        SoundOneNote(run, run.line.Note2);
    } else if (has1 && has2) {
        SoundAlternating(run);
    } else {
        // A silent line's waits are logged from its start.
        wait_.CountNextWaitFrom(SecondsFromStart(d_.state.PlayPosition));
    }
}

void Sequencer::SoundOneNote(Run& run, const QString& note) {
    const PlayerState& st = d_.state;
    const Decimal4 soundBeats =
        run.lineLength * Decimal4::FromInt(d_.settings.NoteSilenceRatio) / Decimal4::FromInt(100);
    const Decimal4 soundEnd = SecondsFromStart(st.PlayPosition + soundBeats);
    const Decimal4 beepLength = Decimal4::FromInt(1000) * (soundEnd - st.CurrentTickTime);
    if (beepLength > Decimal4{}) {
        d_.host.SetBeepLabelVisible(true);
        d_.tones.UniBeepValue(note, beepLength.ToDouble(), false, false, false, false);
        d_.host.SetBeepLabelVisible(false);
        // The line's waits are logged from where the logged tone ends, counted from the
        // line's start: a line that started late makes up the lost time in its waits, so
        // its lines add up to its length.
        wait_.CountNextWaitFrom(SecondsFromStart(st.PlayPosition) +
                                beepLength / Decimal4::FromInt(1000));
    }
}

void Sequencer::SoundAlternating(Run& run) {
    PlayerState& st = d_.state;
    d_.log.LogIndentInc(QStringLiteral("Alternating section - START"));
    const Decimal4 beepLength =
        run.lineLength * Decimal4::FromInt(d_.settings.NoteSilenceRatio) / Decimal4::FromInt(100);
    d_.log.LogText(QStringLiteral("BeepLength = ") + beepLength.ToString());
    const Decimal4 alternate = Decimal4::FromRatio(d_.settings.AlternateTime, 1000);
    if (d_.settings.NoteSilenceRatio < 100) {
        run.margin = alternate;
    }
    const Decimal4 soundEnd = SecondsFromStart(st.PlayPosition + beepLength);
    while (st.CurrentTickTime + run.margin < soundEnd) {
        const Decimal4 stepEnd = std::min(st.CurrentTickTime + alternate, soundEnd);
        d_.host.SetBeepLabelVisible(true);
        d_.log.LogText(QStringLiteral("Alternate: "));
        d_.log.LogText(st.AlternatePhase ? QStringLiteral("2") : QStringLiteral("1"), true);
        const QString& note = st.AlternatePhase ? run.line.Note2 : run.line.Note1;
        // Another step follows: a soundcard tone is not cut between the steps.
        const bool continuous = st.CurrentTickTime + run.margin < soundEnd - alternate;
        d_.tones.UniBeepValue(note, d_.settings.AlternateTime, false, continuous, false, false);
        d_.host.SetBeepLabelVisible(false);
        st.AlternatePhase = !st.AlternatePhase;
        wait_.ReadClock();
        if (!WaitOutEarlyStep(stepEnd)) {
            break;
        }
    }
    d_.log.LogIndentDec(QStringLiteral("Alternating section - END"));
}

bool Sequencer::IsBehind() const {
    const Decimal4 behind = Decimal4::FromRatio(PollingWait::kStepMs, 1000);
    return d_.state.CurrentTickTime > SecondsFromStart(d_.state.PlayPosition) + behind;
}

bool Sequencer::WaitOutEarlyStep(Decimal4 stepEnd) {
    // An output that plays on its own (the portamento glide) returns at once; the step's
    // time is waited with the window alive instead of going round the loop at full speed.
    const Decimal4 early = Decimal4::FromRatio(1, 1000);
    if (d_.state.CurrentTickTime + early >= stepEnd) {
        return true;
    }
    d_.log.LogText(QStringLiteral("Tone returned early - waiting for the step's end"));
    return wait_.Until(stepEnd, Decimal4{}, [this] { return !d_.state.MusicIsPlaying; });
}

void Sequencer::StopNeverSilentTone(const Run& run) {
    if (!d_.switches.DoNotShutUpFMOD) {
        return;
    }
    const bool p1 = d_.settings.PlayNote1;
    const bool p2 = d_.settings.PlayNote2;
    const bool empty1 = run.line.Note1.isEmpty();
    const bool empty2 = run.line.Note2.isEmpty();
    const bool silent =
        (p1 && p2 && empty1 && empty2) || (p1 && !p2 && empty1) || (!p1 && p2 && empty2);
    if (silent) {
        d_.host.FMODBeepStop();
    }
}

void Sequencer::AdvanceDisplay(const Run& run) {
    if (d_.settings.UseNoUpdate || run.singleLine) {
        return;
    }
    PlayPositionDisplay& pos = d_.position;
    if (run.line.Mod.toLower().contains(QLatin1String("tri"))) {
        // Triplet thirds are stored to four places; recounting from the list stops drift.
        pos.SetDisplayed(pos.WorkOutPlayPosOf(run.currentLine + 1));
    } else {
        pos.SetDisplayed(pos.Displayed() + run.lineLength.ToDouble() / 4);
    }
    pos.ShowPlayPos(pos.Displayed());
}

bool Sequencer::WaitForNextLine(Run& run) {
    PlayerState& st = d_.state;
    d_.log.LogIndentInc(QStringLiteral("'Waiting for next note' section - START"));
    const Decimal4 next = SecondsFromStart(st.PlayPosition + run.lineLength);
    wait_.ReadClock();
    if (d_.settings.NoteSilenceRatio == 100) {
        const Decimal4 minimum = Decimal4::FromRatio(2, 100);
        if (next - st.CurrentTickTime < minimum) {
            run.margin = minimum; // no wait shorter than 20 ms is started
        }
    } else {
        run.margin = Decimal4{};
    }
    bool goOn = true;
    if (!run.singleLine) {
        goOn = wait_.Until(
            next, run.margin,
            [this] {
                if (d_.state.MusicIsPlaying) {
                    return false;
                }
                d_.log.LogText(
                    QStringLiteral("MusicIsPlaying = False - skipping to EndingPlayMusic"));
                return true;
            },
            [this] { d_.log.LogText(QStringLiteral(".")); });
    }
    d_.log.LogIndentDec(QStringLiteral("'Waiting for next note' section - END"));
    return goOn;
}

void Sequencer::ShowStartPosition(int startPoint) {
    PlayPositionDisplay& pos = d_.position;
    pos.SetDisplayed(pos.WorkOutPlayPosOf(startPoint));
    pos.ShowPlayPos(pos.Displayed());
}

void Sequencer::PlayAllButton_Click() {
    if (d_.lines.LineCount() == 0) {
        AfterPlayMusic();
    } else {
        PlayMusic(1, d_.lines.LineCount(), false);
    }
    d_.host.AfterPlayButtons();
}

void Sequencer::PlayFromLineButton_Click() {
    if (d_.lines.LineCount() == 0) {
        AfterPlayMusic();
    } else {
        int start = d_.lines.GetSelectedIndex();
        if (start == -1 || !d_.lines.IsLineSelected(start)) {
            start = 1;
        }
        PlayMusic(start, d_.lines.LineCount(), false);
    }
    d_.host.AfterPlayButtons();
}

void Sequencer::StopPlayButton_Click() {
    d_.state.MusicIsPlaying = false;
    // Ends a tone or wait in progress at once, however long it was to last.
    d_.sleep.RequestStop();
}

void Sequencer::BeforePlayMusic() {
    d_.log.LogIndentInc(QStringLiteral("BeforePlayMusic() - START"));
    d_.log.LogText(QStringLiteral("Disabling common controls"));
    d_.log.LogText(QStringLiteral("Enabling 'Stop playing'"));
    d_.host.SetControlsForPlaying(true);
    d_.log.LogIndentDec(QStringLiteral("BeforePlayMusic() - END"));
}

void Sequencer::AfterPlayMusic() {
    d_.log.LogIndentInc(QStringLiteral("AfterPlayMusic() - START"));
    d_.log.LogText(QStringLiteral("Enabling common controls"));
    d_.log.LogText(QStringLiteral("Disabling 'Stop playing'"));
    d_.host.SetControlsForPlaying(false);
    if (d_.settings.UseVoice) {
        d_.log.LogText(QStringLiteral("VoiceMainForm.ChangeVoiceVol 0"));
        d_.host.SilenceVoice();
    }
    d_.log.LogText(QStringLiteral("FMODBeepStop()"));
    d_.host.FMODBeepStop();
    d_.host.ReenableSynchroWaitButton();
    d_.log.LogIndentDec(QStringLiteral("AfterPlayMusic() - END"));
}

} // namespace tq
