#pragma once

#include <QString>

#include <cstdint>

namespace tq {

class LogSink;
class MessageBoxes;

// The text of an engine result code; unknown codes, negative ones too, give
// "Unknown error.".
QString FMODErrorString(int32_t result);

// The main window's check after every engine call: a non-zero result is logged and shown
// in a box (OK, no icon), and the caller carries on. Returns whether the result was 0.
bool ERRCHECK(int32_t result, LogSink& log, MessageBoxes& boxes);

// The voice window's check: the same box with the exclamation icon, and no log line.
bool VoiceERRCHECK(int32_t result, MessageBoxes& boxes);

// The version check after creating a system. The voice system words it with "version"
// in lower case. Returns whether the version is the one the program was made for.
bool FmodVersionCheck(uint32_t version, MessageBoxes& boxes, bool voiceWording = false);

} // namespace tq
