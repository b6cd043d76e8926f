// A plugin that passes for the MIDI ports component in all but one respect: built with
// TQ_WRONG_IID it names another interface, with TQ_NO_INTERFACE its metadata is right but
// its object does not implement the interface, otherwise it has the wrong version. Built
// with TQ_OLD_BUILD or TQ_NEW_BUILD it has the right metadata of two builds, for tests that
// only read it.
#include "platform/Components.h"

#include <QObject>
#include <QtPlugin>

class TestComponent : public QObject {
    Q_OBJECT
#if defined(TQ_WRONG_IID)
    Q_PLUGIN_METADATA(IID "org.tonquill.MidiIn/1" FILE "Version1.json")
#elif defined(TQ_OLD_BUILD)
    Q_PLUGIN_METADATA(IID TQ_MIDIIO_IID FILE "OldBuild.json")
#elif defined(TQ_NEW_BUILD)
    Q_PLUGIN_METADATA(IID TQ_MIDIIO_IID FILE "NewBuild.json")
#elif defined(TQ_NO_INTERFACE)
    Q_PLUGIN_METADATA(IID TQ_MIDIIO_IID FILE "Version2.json")
#else
    Q_PLUGIN_METADATA(IID TQ_MIDIIO_IID FILE "Version99.json")
#endif
};

#include "TestComponent.moc"
