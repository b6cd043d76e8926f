#pragma once

#include "platform/Components.h"
#include "platform/MidiFileReader.h"

#include <QtPlugin>

#include <memory>

namespace tq {

// What the MIDI file reader component (midifl32.ocx) offers the program.
class MidiFileComponent {
public:
    virtual ~MidiFileComponent() = default;
    virtual std::unique_ptr<MidiFileReader> CreateReader() = 0;
};

} // namespace tq

Q_DECLARE_INTERFACE(tq::MidiFileComponent, TQ_MIDIFILE_IID)
