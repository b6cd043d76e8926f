#include "midiio/JackMidiOutput.h"

#include <jack/midiport.h>

#include <dlfcn.h>

#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

namespace tq {
namespace {

using namespace std::chrono_literals;

// Each queued message takes one slot: its size, then up to three bytes. The queue's size is
// a multiple of the slot, so a slot never wraps and the reader sees whole slots only.
constexpr size_t kSlot = 4;
static_assert(JackMidiOutput::kQueueBytes % kSlot == 0);

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

} // namespace

JackMidiOutput::JackMidiOutput(const QString& clientName)
    : clientName_(clientName.toUtf8().left(jack_client_name_size() - 1)),
      queue_(jack_ringbuffer_create(kQueueBytes)) {}

JackMidiOutput::~JackMidiOutput() {
    Close();
    jack_ringbuffer_free(queue_);
}

QStringList JackMidiOutput::Ports() {
    const bool own = client_ != nullptr && !serverGone_.load();
    jack_client_t* client = own ? client_ : OpenClient(clientName_);
    if (client == nullptr) {
        return {};
    }
    QStringList names;
    if (const char** ports =
            jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput)) {
        for (const char** p = ports; *p != nullptr; ++p) {
            names << QString::fromUtf8(*p);
        }
        jack_free(ports);
    }
    if (!own) {
        jack_client_close(client);
    }
    return names;
}

bool JackMidiOutput::Open(const QString& port, QString* why) {
    if (client_ != nullptr && serverGone_.load()) {
        Stop();
    }
    if (client_ == nullptr && !Start(why)) {
        return false;
    }
    jack_port_disconnect(client_, port_);
    const QByteArray name = port.toUtf8();
    jack_port_t* destination = jack_port_by_name(client_, name.constData());
    destination_.store(destination);
    destinationGone_.store(false);
    destinationLost_ = false;
    const int result = destination == nullptr
                           ? -1
                           : jack_connect(client_, jack_port_name(port_), name.constData());
    if (result != 0 && result != EEXIST) {
        *why = QStringLiteral("Cannot connect to the JACK port %1.").arg(port);
        Stop();
        return false;
    }
    destinationName_ = port;
    stalled_.clear();
    failureTaken_ = false;
    return true;
}

bool JackMidiOutput::Start(QString* why) {
    shutdownReason_[0] = '\0';
    serverGone_.store(false);
    serverDied_.store(false);
    client_ = OpenClient(clientName_);
    if (client_ == nullptr) {
        *why = QStringLiteral("No JACK server is running.");
        return false;
    }
    port_ = jack_port_register(client_, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_ringbuffer_reset(queue_);
    if (port_ == nullptr || jack_set_process_callback(client_, &Process, this) != 0 ||
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
    return true;
}

void JackMidiOutput::Close() {
    if (client_ == nullptr) {
        return;
    }
    Drain();
    Stop();
}

// Closing right after a burst (the silencing sweep before the program ends) must not cut
// its tail: wait until the queue is empty and the period that took the last message is over.
void JackMidiOutput::Drain() {
    const auto until = std::chrono::steady_clock::now() + 1s;
    while (jack_ringbuffer_read_space(queue_) >= kSlot && !Failed()) {
        if (std::chrono::steady_clock::now() > until) {
            return;
        }
        std::this_thread::sleep_for(1ms);
    }
    const uint64_t emptyAt = periods_.load();
    while (periods_.load() < emptyAt + 2 && !serverGone_.load() &&
           std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(1ms);
    }
}

void JackMidiOutput::Stop() {
    // A client whose server has died is not ours to close any more: the next client anyone in
    // this process opens makes libjack free it, and closing it after that would crash.
    if (!serverDied_.load()) {
        jack_deactivate(client_);
        jack_client_close(client_);
    }
    client_ = nullptr;
    port_ = nullptr;
    destination_.store(nullptr);
}

bool JackMidiOutput::Failed() {
    return serverGone_.load(std::memory_order_acquire) || DestinationLost() || !stalled_.isEmpty();
}

// The disconnection of an earlier connection to the same port can be told late, so the
// port itself says whether the connection is really gone.
bool JackMidiOutput::DestinationLost() {
    if (!destinationLost_ && destinationGone_.exchange(false)) {
        destinationLost_ = !jack_port_connected_to(port_, destinationName_.toUtf8().constData());
    }
    return destinationLost_;
}

bool JackMidiOutput::Send(const uint8_t* bytes, size_t size) {
    if (client_ == nullptr || Failed()) {
        return false;
    }
    char slot[kSlot] = {static_cast<char>(size)};
    std::memcpy(slot + 1, bytes, size);
    const auto until = std::chrono::steady_clock::now() + kFullQueueWaitMs * 1ms;
    while (jack_ringbuffer_write_space(queue_) < kSlot) {
        if (Failed()) {
            return false;
        }
        if (std::chrono::steady_clock::now() > until) {
            stalled_ = QStringLiteral("The JACK server has taken no MIDI messages for %1 s.")
                           .arg(kFullQueueWaitMs / 1000);
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    jack_ringbuffer_write(queue_, slot, kSlot);
    return true;
}

QString JackMidiOutput::TakeFailure() {
    if (failureTaken_ || client_ == nullptr) {
        return {};
    }
    QString failure;
    if (serverGone_.load(std::memory_order_acquire)) {
        failure = serverDied_.load() ? QStringLiteral("The JACK server has shut down")
                                     : QStringLiteral("The JACK server has dropped this output");
        failure += shutdownReason_[0] != '\0'
                       ? QStringLiteral(" (%1)").arg(QString::fromUtf8(shutdownReason_))
                       : QString();
    } else if (DestinationLost()) {
        failure = QStringLiteral("The JACK port %1 has gone.").arg(destinationName_);
    } else {
        failure = stalled_;
    }
    failureTaken_ = !failure.isEmpty();
    return failure;
}

// JACK's real-time thread: no locks, no allocation; the queue and atomics only. client_ and
// port_ are set before the callbacks are and cleared after the client has closed, so JACK's
// threads only ever see them fixed.
int JackMidiOutput::Process(jack_nframes_t frames, void* self) {
    auto* out = static_cast<JackMidiOutput*>(self);
    void* buffer = jack_port_get_buffer(out->port_, frames);
    jack_midi_clear_buffer(buffer);
    char slot[kSlot];
    while (jack_ringbuffer_peek(out->queue_, slot, kSlot) == kSlot) {
        const auto size = static_cast<size_t>(slot[0]);
        if (jack_midi_max_event_size(buffer) < size) {
            break;
        }
        jack_midi_data_t* event = jack_midi_event_reserve(buffer, 0, size);
        if (event == nullptr) {
            break;
        }
        std::memcpy(event, slot + 1, size);
        jack_ringbuffer_read_advance(out->queue_, kSlot);
    }
    out->periods_.fetch_add(1, std::memory_order_release);
    return 0;
}

// The server has died, or has thrown this client out (it was too slow) and runs on.
void JackMidiOutput::Shutdown(jack_status_t code, const char* reason, void* self) {
    auto* out = static_cast<JackMidiOutput*>(self);
    if (reason != nullptr) {
        std::strncpy(out->shutdownReason_, reason, sizeof out->shutdownReason_ - 1);
    }
    out->serverDied_.store((code & JackServerError) != 0);
    out->serverGone_.store(true, std::memory_order_release);
}

// A destination that leaves (its client closed) or is unplugged takes its connection away.
void JackMidiOutput::PortConnect(jack_port_id_t a, jack_port_id_t b, int connect, void* self) {
    auto* out = static_cast<JackMidiOutput*>(self);
    jack_port_t* destination = out->destination_.load();
    if (connect != 0 || destination == nullptr || out->client_ == nullptr) {
        return;
    }
    jack_port_t* pa = jack_port_by_id(out->client_, a);
    jack_port_t* pb = jack_port_by_id(out->client_, b);
    if ((pa == out->port_ && pb == destination) || (pb == out->port_ && pa == destination)) {
        out->destinationGone_.store(true);
    }
}

} // namespace tq
