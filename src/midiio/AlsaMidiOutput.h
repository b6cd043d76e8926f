#pragma once

#include "midiio/MidiPortSystem.h"

#include <memory>
#include <string>

class RtMidiOut;

namespace tq {

// MIDI out to a port of the ALSA sequencer, through RtMidi. A machine without the
// sequencer simply has no ports here.
class AlsaMidiOutput final : public MidiPortSystem {
public:
    explicit AlsaMidiOutput(const QString& clientName);
    ~AlsaMidiOutput() override;
    AlsaMidiOutput(const AlsaMidiOutput&) = delete;
    AlsaMidiOutput& operator=(const AlsaMidiOutput&) = delete;

    QStringList Ports() override;
    bool Open(const QString& port, QString* why) override;
    void Close() override;
    // A message the sequencer does not take at once (its pool is full) is tried again,
    // every millisecond for up to two seconds.
    bool Send(const uint8_t* bytes, size_t size) override;
    QString TakeFailure() override;

private:
    bool Connect();
    bool TrySend(const uint8_t* bytes, size_t size);

    std::string clientName_;
    std::unique_ptr<RtMidiOut> rt_;
    std::string lastError_;
    QString failure_;
    bool failureTaken_ = false;
};

} // namespace tq
