// A plugin that passes for the MIDI ports component in all but one respect: built with
// TQ_WRONG_IID it names another interface, otherwise it has the wrong version.
#include "platform/Components.h"

#include <QObject>
#include <QtPlugin>

class TestComponent : public QObject {
    Q_OBJECT
#ifdef TQ_WRONG_IID
    Q_PLUGIN_METADATA(IID "org.tonquill.MidiIn/1" FILE "Version1.json")
#else
    Q_PLUGIN_METADATA(IID TQ_MIDIIO_IID FILE "Version99.json")
#endif
};

#include "TestComponent.moc"
