#pragma once

namespace tq {

// Keeps the PC speaker from being left on when the process ends: on a normal exit, on
// Ctrl+C and termination signals, and on a crash-time signal. The open tone device is
// registered here; the signal handlers switch its tone off with async-signal-safe calls
// and then let the signal take its default course.
namespace SpeakerSilencer {

enum Kind { kNone = 0, kEvdev = 1, kConsole = 2 };

void Register(int fd, int kind);
void Unregister(int fd);
// Switches the registered device off; safe to call from a signal handler.
void SilenceNow();
// Installs the handlers for SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE,
// SIGILL and SIGABRT, and an exit hook. Call once, early in main().
void InstallHandlers();

} // namespace SpeakerSilencer
} // namespace tq
