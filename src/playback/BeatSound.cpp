#include "playback/BeatSound.h"

#include "core/Rounding.h"
#include "playback/ToneDispatcher.h"

namespace tq {

void BeatSound(ToneDispatcher& tones, double startFreq, double endFreq, double reduceRate) {
    for (double f = startFreq; f < 16000 && f > endFreq; f *= reduceRate) {
        tones.UniBeepValue(NumText(f), 15, true, false, false, false);
    }
}

bool BeatIsDue(const QString& playSig, bool evenOnly) {
    if (playSig.mid(3, 2) != QLatin1String("00")) {
        return false;
    }
    // Beats 1, 3, 5 ... halve the beat tempo.
    return !evenOnly || playSig.left(2).toInt() % 2 != 0;
}

void BeatForm::optBeatAll_Click() {
    BeatEvenOnly = false;
    emit Changed();
}

void BeatForm::Option1_Click() {
    BeatEvenOnly = true;
    emit Changed();
}

void BeatForm::SetDisabledNoteVisible(bool visible) {
    lblDisabledVisible = visible;
    emit Changed();
}

} // namespace tq
