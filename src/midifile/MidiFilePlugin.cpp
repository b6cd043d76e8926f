// The MIDI file reader component, midifl32.ocx: the program loads it at run time.
#include "midifile/SmfReader.h"
#include "platform/MidiFileComponent.h"

#include <QObject>

namespace tq {

class MidiFilePlugin : public QObject, public MidiFileComponent {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TQ_MIDIFILE_IID FILE "midifl32.json")
    Q_INTERFACES(tq::MidiFileComponent)

public:
    std::unique_ptr<MidiFileReader> CreateReader() override {
        return std::make_unique<SmfReader>();
    }
};

} // namespace tq

#include "MidiFilePlugin.moc"
