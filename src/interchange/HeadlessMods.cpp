#include "interchange/HeadlessMods.h"

#include "editor/MainForm.h"
#include "mods/PortamentoForm.h"
#include "playback/ToneDispatcher.h"

#include <cmath>

namespace tq {

void StartBeat(MainForm& form, const QString& beat) {
    if (beat.isEmpty()) {
        return;
    }
    if (beat == QLatin1String("odd")) {
        form.Beat().Option1_Click();
    }
    form.SetUseBeatCheck(true);
}

std::unique_ptr<PortamentoForm> StartPortamento(MainForm& form, ToneDispatcher& tones,
                                                Speaker& speaker, NamedTimers& timers, double glide,
                                                int soundLength) {
    auto porta = std::make_unique<PortamentoForm>(
        PortamentoForm::Deps{speaker, timers, form.Switches(), form.Log()});
    porta->SetPitchMultipleSlider(static_cast<int>(std::lround(glide * 10000)));
    if (soundLength == 0) {
        porta->optSoundAlways_Click();
    } else {
        porta->SetSoundLengthSlider(soundLength);
    }
    tones.SetPortamentoOutput(porta.get());
    PortamentoForm* p = porta.get();
    form.SetUsePortaClicked([p](bool ticked) { p->UsePortaCheck_Click(ticked); });
    form.SetUsePortaCheck(true);
    return porta;
}

} // namespace tq
