#pragma once

#include <QString>
#include <QStringList>

namespace tq {

// One MIDI system's side of SystemMidiInput: its sources under the names the system gives
// them, and one of them open at a time, leaving what arrives in the input's queue.
class MidiSourceSystem {
public:
    virtual ~MidiSourceSystem() = default;
    virtual QStringList Sources() = 0;
    virtual bool Open(const QString& source, QString* why) = 0;
    // Once this returns, nothing more arrives from it.
    virtual void Close() = 0;
    virtual QString TakeFailure() = 0;
};

} // namespace tq
