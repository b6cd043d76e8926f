#pragma once

#include "platform/Components.h"
#include "platform/MidiOutput.h"

#include <QtPlugin>

#include <memory>

namespace tq {

// What the MIDI ports component (midiio32.ocx) offers the program.
class MidiIoComponent {
public:
    virtual ~MidiIoComponent() = default;
    // A new output, not open yet. clientName is how the program shows in the port lists of
    // the MIDI systems ("Tonquill").
    virtual std::unique_ptr<MidiOutput> CreateOutput(const QString& clientName) = 0;
};

} // namespace tq

Q_DECLARE_INTERFACE(tq::MidiIoComponent, TQ_MIDIIO_IID)
