#pragma once

#include "CapturingLog.h"

#include "fmodtone/engine/SoundEngine.h"
#include "platform/QtNamedTimers.h"
#include "platform/ScriptedMessageBoxes.h"
#include "platform/VirtualClock.h"
#include "platform/audio/OfflineAudioOutput.h"
#include "voice/VoiceInternalForm.h"
#include "voice/VoiceMainForm.h"

#include <algorithm>

namespace tq::test {

// The voice on an offline mono output, its timer on the virtual clock.
struct VoiceRig {
    OfflineAudioOutput* out = nullptr;
    snd::SoundEngine engine{OfflineAudioOutput::Factory(&out, 48000, 1, 256)};
    CapturingLog log;
    ScriptedMessageBoxes boxes;
    VirtualClock clock;
    VirtualEventPump pump{clock};
    VirtualNamedTimers timers{clock, pump};
    VoiceInternalForm controls;
    VoiceMainForm voice{{engine, boxes, log, timers, controls}};

    float Param(snd::Handle dsp, int index) {
        float v = 0.0f;
        engine.DSP_GetParameter(dsp, index, &v);
        return v;
    }
    // Lets the virtual time pass, the random timer ticking on the way.
    void Wait(int ms) {
        const int64_t end = clock.NowNs() + int64_t{ms} * 1'000'000;
        while (clock.NowNs() < end) {
            pump.WaitForInput(
                static_cast<int32_t>(std::max<int64_t>((end - clock.NowNs()) / 1'000'000, 1)));
            pump.ProcessPendingEvents();
        }
    }
};

} // namespace tq::test
