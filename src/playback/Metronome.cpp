#include "playback/Metronome.h"

#include "core/LogSink.h"
#include "core/NoteLengths.h"
#include "playback/PlayerState.h"
#include "playback/ToneDispatcher.h"

namespace tq {

void Metronome::MetronomeButton_Click() {
    PlayerState& st = d_.state;
    d_.log.LogIndentInc(QStringLiteral("MetronomeButton clicked - START"));
    st.MetronomeGeneration += 1;
    st.MetronomeOn = SwitchTrueFalse(st.MetronomeOn);
    if (!st.MetronomeOn) {
        d_.log.LogText(QStringLiteral("Metronome is OFF"));
        d_.setButtonLit(false);
    } else {
        d_.log.LogText(QStringLiteral("Metronome is ON"));
        d_.setButtonLit(true);
        RunLoop();
    }
    d_.log.LogIndentDec(QStringLiteral("MetronomeButton clicked - END"));
}

void Metronome::RestartTimeBase() {
    wait_.ReadClock();
    d_.state.StartTickTime = d_.state.CurrentTickTime;
    d_.state.PlayPosition = Decimal4{};
}

void Metronome::RunLoop() {
    PlayerState& st = d_.state;
    st.MetronomeRunning = true;
    const int32_t generation = st.MetronomeGeneration;
    RestartTimeBase();
    int beatInBar = 0;
    const auto stopped = [&st, generation] {
        return !st.MetronomeOn || st.MetronomeGeneration != generation;
    };
    while (!stopped()) {
        d_.setBeepLabelVisible(true);
        d_.tones.UniBeepValue(beatInBar == 1 ? QStringLiteral("1000") : QStringLiteral("500"), 20,
                              true, false, false, false);
        d_.setBeepLabelVisible(false);
        beatInBar = beatInBar < d_.settings.TimeSig ? beatInBar + 1 : 1;

        st.PlayPosition += Decimal4::FromInt(1);
        // The beat's time is worked out afresh on every step: a new tempo restarts the
        // time base from inside the wait.
        const auto nextBeat = [this, &st] {
            const int64_t bpm = d_.settings.BPM >= 1 ? d_.settings.BPM : 1;
            return st.StartTickTime +
                   st.PlayPosition * Decimal4::FromInt(60) / Decimal4::FromInt(bpm);
        };
        wait_.ReadClock(); // the click took its time since the last reading
        if (!wait_.UntilMoving(nextBeat, Decimal4{}, stopped)) {
            break;
        }
    }
    st.MetronomeRunning = false;
}

} // namespace tq
