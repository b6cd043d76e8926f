#pragma once

#include "midiio/MidiInQueue.h"
#include "platform/MidiInput.h"

#include <memory>
#include <vector>

namespace tq {

class MidiSourceSystem;

// The sources of JACK and of the ALSA sequencer, listed together, JACK first. What arrives
// waits in one queue of MidiInQueue::kCapacity messages; the handler is also called when
// the open source fails, so TakeFailure can be read there.
class SystemMidiInput final : public MidiInput {
public:
    explicit SystemMidiInput(const QString& clientName);
    ~SystemMidiInput() override;
    SystemMidiInput(const SystemMidiInput&) = delete;
    SystemMidiInput& operator=(const SystemMidiInput&) = delete;

    QStringList PortNames() override;
    bool Open(int port, QString* why) override;
    bool IsOpen() const override { return open_ != nullptr; }
    void Start() override;
    void Stop() override;
    void Close() override;
    void SetFiltered(uint8_t status, bool filtered) override;
    void SetMessagesWaiting(std::function<void()> handler) override;
    bool TakeMessage(MidiMessage* message) override;
    // The source's failure, then how many messages found the queue full, in one text.
    QString TakeFailure() override;

private:
    struct System {
        QString prefix;
        std::unique_ptr<MidiSourceSystem> sources;
    };
    struct Listed {
        MidiSourceSystem* system;
        QString name;
    };

    MidiInQueue queue_; // before the systems, which fill it until they are gone
    std::vector<System> systems_;
    std::vector<Listed> listed_;
    MidiSourceSystem* open_ = nullptr;
};

} // namespace tq
