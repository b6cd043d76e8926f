#pragma once

#include "CapturingLog.h"

#include "core/NonLockingSleep.h"
#include "fmodtone/FmodBeep.h"
#include "fmodtone/engine/SoundEngine.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/VirtualClock.h"
#include "platform/audio/OfflineAudioOutput.h"

#include <memory>

namespace tq::test {

// The beep on an offline output and the virtual clock. The engine's outputs are made
// here, so the last one made is the one the beep's system renders to.
struct BeepRig {
    OfflineAudioOutput* out = nullptr;
    bool refuseOutput = false;
    snd::SoundEngine engine{[this] {
        auto o = std::make_unique<OfflineAudioOutput>(48000, 2, 256);
        if (refuseOutput) {
            o->FailNextOpen();
        }
        out = o.get();
        return o;
    }};
    CapturingLog log;
    ScriptedMessageBoxes boxes;
    VirtualClock clock;
    VirtualEventPump pump{clock};
    NonLockingSleep sleep{clock, pump};
    OutputSwitches switches;
    FmodBeep beep{engine, log, boxes, sleep, switches};

    // The heard pitch the beep's formula gives for a written frequency.
    static double FormulaPitch(int32_t frequency) {
        const float channel = static_cast<float>(
            static_cast<double>(static_cast<float>(frequency)) * 1.088 * (44100.0 / 4000.0));
        return 4000.0 * channel / 48000.0;
    }
};

} // namespace tq::test
