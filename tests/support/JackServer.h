#pragma once

#include <QProcess>

#include <string>

namespace tq {

// A JACK server with the dummy driver (48 kHz, 256 frames a period unless told otherwise) under a name of its own, so a
// test neither needs nor disturbs a real one. The name is fixed: jackd keeps a few server
// slots in shared memory and only reclaims a dead server's slot for a server of the same
// name. Start sets JACK_DEFAULT_SERVER, so every client of this process finds it.
class JackServer {
public:
    static constexpr const char* kName = "tonquill-device-test";

    // Periods of the given number of frames.
    explicit JackServer(int periodFrames = 256);
    ~JackServer() { Stop(); }

    static bool Installed();
    bool Start(std::string* why);
    // Ends the server the way a user would (SIGTERM); its clients are told it shut down.
    void Stop();
    // Ends it as a crash would (SIGKILL): its clients are told nothing and find it gone.
    void Kill();

private:
    QProcess process_;
    int periodFrames_;
};

} // namespace tq
