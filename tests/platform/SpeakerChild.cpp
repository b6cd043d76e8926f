// A child process for the speaker tests: opens the evdev speaker at argv[1], installs the
// silencer, says "ready" and holds a long tone until a signal arrives.
#include "platform/DeviceSpeaker.h"
#include "platform/SpeakerSilencer.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    tq::SpeakerSilencer::InstallHandlers();
    tq::EvdevSpeaker speaker(QString::fromLocal8Bit(argv[1]));
    if (!speaker.IsOpen()) {
        return 3;
    }
    std::puts("ready");
    std::fflush(stdout);
    speaker.Beep(880, 20000);
    return 0;
}
