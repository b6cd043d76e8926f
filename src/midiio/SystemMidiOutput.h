#pragma once

#include "midiio/MidiPortSystem.h"
#include "midiio/MidiSystemList.h"
#include "platform/MidiOutput.h"

#include <memory>
#include <vector>

namespace tq {

// The ports of JACK and of the ALSA sequencer, listed together.
class SystemMidiOutput final : public MidiOutput {
public:
    explicit SystemMidiOutput(const QString& clientName);
    ~SystemMidiOutput() override;
    SystemMidiOutput(const SystemMidiOutput&) = delete;
    SystemMidiOutput& operator=(const SystemMidiOutput&) = delete;

    QStringList PortNames() override;
    bool Open(int port, QString* why) override;
    bool IsOpen() const override { return open_ != nullptr; }
    void Close() override;
    bool SendShortMessage(uint8_t status, uint8_t data1, uint8_t data2) override;
    QString TakeFailure() override;

    // How many bytes a message with this status byte has: 1 to 3, or 0 when it is not the
    // status of a short message.
    static size_t ShortMessageSize(uint8_t status);

private:
    MidiSystemList<MidiPortSystem> systems_;
    MidiPortSystem* open_ = nullptr;
};

} // namespace tq
