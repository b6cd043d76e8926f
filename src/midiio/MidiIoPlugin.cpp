// The MIDI ports component, midiio32.ocx: the program loads it at run time.
#include "midiio/SystemMidiInput.h"
#include "midiio/SystemMidiOutput.h"
#include "platform/MidiIoComponent.h"

#include <QObject>

namespace tq {

class MidiIoPlugin : public QObject, public MidiIoComponent {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TQ_MIDIIO_IID FILE "midiio32.json")
    Q_INTERFACES(tq::MidiIoComponent)

public:
    std::unique_ptr<MidiOutput> CreateOutput(const QString& clientName) override {
        return std::make_unique<SystemMidiOutput>(clientName);
    }
    std::unique_ptr<MidiInput> CreateInput(const QString& clientName) override {
        return std::make_unique<SystemMidiInput>(clientName);
    }
};

} // namespace tq

#include "MidiIoPlugin.moc"
