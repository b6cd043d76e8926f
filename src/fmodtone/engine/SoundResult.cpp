#include "fmodtone/engine/SoundResult.h"

namespace tq::snd {

const char* ResultText(int32_t code) {
    switch (code) {
    case kOk:
        return "No errors.";
    case kErrInvalidHandle:
        return "An invalid handle was used: the object was never created or has been released.";
    case kErrInvalidParam:
        return "An invalid parameter was passed to this function.";
    case kErrInvalidFrequency:
        return "The frequency is not above zero, or it would sound above the Nyquist limit of "
               "the mix rate.";
    case kErrUninitialized:
        return "The system has not been initialized, or has been closed.";
    case kErrInitialized:
        return "This can only be done before the system is initialized.";
    case kErrOutputInit:
        return "No audio output could be opened.";
    case kErrOutputFailed:
        return "The audio output stopped working (device removed or sound server gone). Sound "
               "stays off until the program is restarted.";
    case kErrChannelAlloc:
        return "No free channel: every channel given to init is in use.";
    case kErrConnection:
        return "This connection cannot be made: an object cannot feed itself or one of its "
               "own parents.";
    case kErrWrongSystem:
        return "The objects belong to different systems.";
    case kErrUnsupportedDsp:
        return "This type of DSP is not supported.";
    case kErrTooManyObjects:
        return "Too many objects have been created.";
    default:
        return "Unknown error.";
    }
}

} // namespace tq::snd
