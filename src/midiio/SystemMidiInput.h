#pragma once

#include "midiio/MidiInQueue.h"
#include "midiio/MidiSourceSystem.h"
#include "midiio/MidiSystemList.h"
#include "platform/MidiInput.h"

#include <memory>
#include <vector>

namespace tq {

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
    MidiInQueue queue_; // before the systems, which fill it until they are gone
    MidiSystemList<MidiSourceSystem> systems_;
    MidiSourceSystem* open_ = nullptr;
};

} // namespace tq
