#pragma once

#include <QObject>
#include <QString>

namespace tq {

class ToneDispatcher;

// The beat sound: a falling sweep of short frequency tones, each ReduceRate times the last,
// while the frequency stays between EndFreq and 16000 Hz.
void BeatSound(ToneDispatcher& tones, double startFreq, double endFreq, double reduceRate);

// The sweep the program plays on a beat: 250, 162.5 and 105.625 Hz, 15 ms each.
inline void PlayTheBeat(ToneDispatcher& tones) {
    BeatSound(tones, 250, 100, 0.65);
}

// Whether the beat label ("03.00", the beat within the bar) stands on a whole beat; with
// evenOnly only on beats 1, 3, 5, ...
bool BeatIsDue(const QString& playSig, bool evenOnly);

// "Beat Settings": which beats sound, and the note shown while the position display is
// frozen (the beat reads its position from the display).
class BeatForm final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    bool BeatEvenOnly = false; // Option1 selected; otherwise optBeatAll
    bool lblDisabledVisible = false;

    void optBeatAll_Click();
    void Option1_Click();
    void SetDisabledNoteVisible(bool visible);
    void Show() { emit ShowRequested(); }
    void Hide() { emit HideRequested(); }

signals:
    void Changed();
    void ShowRequested();
    void HideRequested();
};

} // namespace tq
