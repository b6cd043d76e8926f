#include "midiio/JackMidiPort.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace tq {
namespace {

void Quiet(const char*) {}

// With no server running, libjack would print its attempts to connect on every listing.
void SilenceJack() {
    static std::once_flag once;
    std::call_once(once, [] {
        // libjack keeps these pointers for good, so this code must stay loaded even if the
        // component that holds it is unloaded.
        Dl_info self;
        if (dladdr(reinterpret_cast<void*>(&Quiet), &self) != 0 && self.dli_fname != nullptr) {
            dlopen(self.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
        }
        jack_set_error_function(Quiet);
        jack_set_info_function(Quiet);
    });
}

jack_client_t* OpenClient(const QByteArray& name) {
    SilenceJack();
    jack_status_t status{};
    return jack_client_open(name.constData(), JackNoStartServer, &status);
}

// The names JACK gave this process's clients that have a port. The program's output and
// input each have one, and a second one gets a suffix, so the name they were asked for
// does not tell.
struct OwnClients {
    std::mutex mutex;
    std::vector<QByteArray> names;
};

OwnClients& Own() {
    static OwnClients own;
    return own;
}

bool IsOwnPort(const char* port) {
    const char* colon = std::strchr(port, ':');
    const QByteArray client(port, colon != nullptr ? colon - port : -1);
    OwnClients& own = Own();
    const std::lock_guard lock(own.mutex);
    return std::find(own.names.begin(), own.names.end(), client) != own.names.end();
}

} // namespace

JackMidiPort::JackMidiPort(const QString& clientName, Direction direction, void* owner,
                           JackProcessCallback process, GoneCallback gone)
    : clientName_(clientName.toUtf8().left(jack_client_name_size() - 1)), direction_(direction),
      owner_(owner), process_(process), gone_(gone) {}

JackMidiPort::~JackMidiPort() {
    Close();
}

QStringList JackMidiPort::Peers() {
    const bool own = client_ != nullptr && !ServerGone();
    jack_client_t* client = own ? client_ : OpenClient(clientName_);
    if (client == nullptr) {
        return {};
    }
    const unsigned long flags = direction_ == Direction::In ? JackPortIsOutput : JackPortIsInput;
    QStringList names;
    if (const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, flags)) {
        for (const char** p = ports; *p != nullptr; ++p) {
            if (!IsOwnPort(*p)) {
                names << QString::fromUtf8(*p);
            }
        }
        jack_free(ports);
    }
    if (!own) {
        jack_client_close(client);
    }
    return names;
}

bool JackMidiPort::Connect(const QString& peer, QString* why) {
    if (client_ != nullptr && ServerGone()) {
        Stop();
    }
    if (client_ == nullptr && !Start(why)) {
        return false;
    }
    jack_port_disconnect(client_, port_);
    const QByteArray name = peer.toUtf8();
    jack_port_t* other = jack_port_by_name(client_, name.constData());
    peer_.store(other);
    peerGone_.store(false);
    peerLost_ = false;
    const char* ours = jack_port_name(port_);
    int result = -1;
    if (other != nullptr) {
        result = direction_ == Direction::In ? jack_connect(client_, name.constData(), ours)
                                             : jack_connect(client_, ours, name.constData());
    }
    if (result != 0 && result != EEXIST) {
        *why = QStringLiteral("Cannot connect to the JACK port %1.").arg(peer);
        Stop();
        return false;
    }
    peerName_ = peer;
    return true;
}

bool JackMidiPort::Start(QString* why) {
    shutdownReason_[0] = '\0';
    serverGone_.store(false);
    serverDied_.store(false);
    client_ = OpenClient(clientName_);
    if (client_ == nullptr) {
        *why = QStringLiteral("No JACK server is running.");
        return false;
    }
    const bool in = direction_ == Direction::In;
    port_ = jack_port_register(client_, in ? "midi_in" : "midi_out", JACK_DEFAULT_MIDI_TYPE,
                               in ? JackPortIsInput : JackPortIsOutput, 0);
    if (port_ == nullptr || jack_set_process_callback(client_, process_, owner_) != 0 ||
        jack_set_port_connect_callback(client_, &PortConnect, this) != 0) {
        *why = QStringLiteral("Cannot make a JACK MIDI port.");
        Stop();
        return false;
    }
    jack_on_info_shutdown(client_, &Shutdown, this);
    if (jack_activate(client_) != 0) {
        *why = QStringLiteral("Cannot start the JACK client.");
        Stop();
        return false;
    }
    ownName_ = jack_get_client_name(client_);
    OwnClients& own = Own();
    const std::lock_guard lock(own.mutex);
    own.names.push_back(ownName_);
    return true;
}

void JackMidiPort::Close() {
    if (client_ != nullptr) {
        Stop();
    }
}

void JackMidiPort::Stop() {
    if (!ownName_.isEmpty()) {
        OwnClients& own = Own();
        const std::lock_guard lock(own.mutex);
        const auto it = std::find(own.names.begin(), own.names.end(), ownName_);
        if (it != own.names.end()) {
            own.names.erase(it);
        }
        ownName_.clear();
    }
    // A client whose server has died is not ours to close any more: the next client anyone in
    // this process opens makes libjack free it, and closing it after that would crash.
    if (!serverDied_.load()) {
        jack_deactivate(client_);
        jack_client_close(client_);
    }
    client_ = nullptr;
    port_ = nullptr;
    peer_.store(nullptr);
}

// The disconnection of an earlier connection to the same port can be told late, so the
// port itself says whether the connection is really gone.
bool JackMidiPort::PeerLost() {
    if (!peerLost_ && client_ != nullptr && !ServerGone() && peerGone_.exchange(false)) {
        peerLost_ = !jack_port_connected_to(port_, peerName_.toUtf8().constData());
    }
    return peerLost_;
}

QString JackMidiPort::Failure() {
    if (client_ == nullptr) {
        return {};
    }
    if (ServerGone()) {
        QString failure = serverDied_.load() ? QStringLiteral("The JACK server has shut down")
                          : direction_ == Direction::In
                              ? QStringLiteral("The JACK server has dropped this input")
                              : QStringLiteral("The JACK server has dropped this output");
        if (shutdownReason_[0] != '\0') {
            failure += QStringLiteral(" (%1)").arg(QString::fromUtf8(shutdownReason_));
        }
        return failure;
    }
    if (PeerLost()) {
        return QStringLiteral("The JACK port %1 has gone.").arg(peerName_);
    }
    return {};
}

// The server has died, or has thrown this client out (it was too slow) and runs on.
void JackMidiPort::Shutdown(jack_status_t code, const char* reason, void* self) {
    auto* port = static_cast<JackMidiPort*>(self);
    if (reason != nullptr) {
        std::strncpy(port->shutdownReason_, reason, sizeof port->shutdownReason_ - 1);
    }
    port->serverDied_.store((code & JackServerError) != 0);
    port->serverGone_.store(true, std::memory_order_release);
    if (port->gone_ != nullptr) {
        port->gone_(port->owner_);
    }
}

// A peer that leaves (its client closed) or is unplugged takes its connection away. client_
// and port_ are set before the callbacks are and cleared after the client has closed, so
// JACK's threads only ever see them fixed.
void JackMidiPort::PortConnect(jack_port_id_t a, jack_port_id_t b, int connect, void* self) {
    auto* port = static_cast<JackMidiPort*>(self);
    jack_port_t* peer = port->peer_.load();
    if (connect != 0 || peer == nullptr || port->client_ == nullptr) {
        return;
    }
    jack_port_t* pa = jack_port_by_id(port->client_, a);
    jack_port_t* pb = jack_port_by_id(port->client_, b);
    if ((pa == port->port_ && pb == peer) || (pb == port->port_ && pa == peer)) {
        port->peerGone_.store(true);
        if (port->gone_ != nullptr) {
            port->gone_(port->owner_);
        }
    }
}

} // namespace tq
