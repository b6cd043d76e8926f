#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

namespace tq {

// One MIDI system's side of SystemMidiOutput: its ports under the names the system gives
// them, and one of them open at a time.
class MidiPortSystem {
public:
    virtual ~MidiPortSystem() = default;
    virtual QStringList Ports() = 0;
    virtual bool Open(const QString& port, QString* why) = 0;
    virtual void Close() = 0;
    // size is 1 to 3.
    virtual bool Send(const uint8_t* bytes, size_t size) = 0;
    virtual QString TakeFailure() = 0;
};

} // namespace tq
