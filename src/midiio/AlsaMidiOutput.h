#pragma once

#include "midiio/MidiPortSystem.h"

#include <memory>
#include <string>

class RtMidi;
class RtMidiOut;

namespace tq {

// Whether this machine has the ALSA sequencer. Without it, alsa-lib and RtMidi would print
// their failure before RtMidi throws.
bool AlsaSequencerPresent();
// The ports an RtMidi input or output of the sequencer can open; none when listing fails.
QStringList AlsaPortNames(RtMidi& rt);

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
