#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <jack/jack.h>

#include <atomic>

namespace tq {

// One JACK client of ours with one MIDI port, connected to one port of another client, and
// what can end that: the server going, or the other port. Never starts a server. The owner
// gives the process callback, and may give one that JACK's own threads call when the server
// or the peer goes (after the news is readable here); everything else is for the owner's
// thread.
class JackMidiPort {
public:
    enum class Direction { In, Out };
    using GoneCallback = void (*)(void* owner);

    JackMidiPort(const QString& clientName, Direction direction, void* owner,
                 JackProcessCallback process, GoneCallback gone = nullptr);
    ~JackMidiPort();
    JackMidiPort(const JackMidiPort&) = delete;
    JackMidiPort& operator=(const JackMidiPort&) = delete;

    // The MIDI ports of other clients that ours can connect to. The ports of this process's
    // own clients are left out: a program's output fed back into its input only loops.
    QStringList Peers();
    // Opens the client when it is not (or its server has gone) and connects our port to peer
    // alone.
    bool Connect(const QString& peer, QString* why);
    void Close();
    bool IsOpen() const { return client_ != nullptr; }
    // For the process callback: fixed while the callbacks run.
    jack_port_t* Port() const { return port_; }
    jack_client_t* Client() const { return client_; }

    bool ServerGone() const { return serverGone_.load(std::memory_order_acquire); }
    bool PeerLost();
    // Why the connection has ended; empty while it works.
    QString Failure();

private:
    static void Shutdown(jack_status_t code, const char* reason, void* self);
    static void PortConnect(jack_port_id_t a, jack_port_id_t b, int connect, void* self);
    bool Start(QString* why);
    void Stop();

    QByteArray clientName_;
    Direction direction_;
    void* owner_;
    JackProcessCallback process_;
    GoneCallback gone_;
    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    QByteArray ownName_; // as JACK gave it
    QString peerName_;
    bool peerLost_ = false;

    // Shared with JACK's threads.
    std::atomic<jack_port_t*> peer_{nullptr};
    std::atomic<bool> serverGone_{false}; // this client is shut down, whatever the cause
    std::atomic<bool> serverDied_{false};
    std::atomic<bool> peerGone_{false};
    char shutdownReason_[256] = {};
};

} // namespace tq
