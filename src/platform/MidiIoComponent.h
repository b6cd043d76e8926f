#pragma once

#include "platform/Components.h"
#include "platform/MidiInput.h"
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
    // A new input, not open yet. Its handler runs on the thread that calls this.
    virtual std::unique_ptr<MidiInput> CreateInput(const QString& clientName) = 0;
};

} // namespace tq

Q_DECLARE_INTERFACE(tq::MidiIoComponent, TQ_MIDIIO_IID)
