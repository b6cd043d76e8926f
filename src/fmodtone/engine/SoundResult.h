#pragma once

#include <cstdint>

namespace tq::snd {

// Every engine call returns one of these; 0 is success.
enum Result : int32_t {
    kOk = 0,
    kErrInvalidHandle = 1,
    kErrInvalidParam = 2,
    kErrInvalidFrequency = 3,
    kErrUninitialized = 4,
    kErrInitialized = 5,
    kErrOutputInit = 6,
    kErrOutputFailed = 7,
    kErrChannelAlloc = 8,
    kErrConnection = 9,
    kErrWrongSystem = 10,
    kErrUnsupportedDsp = 11,
    kErrTooManyObjects = 12,
};

// The text of a result code; codes the engine does not know give "Unknown error.".
const char* ResultText(int32_t code);

} // namespace tq::snd
