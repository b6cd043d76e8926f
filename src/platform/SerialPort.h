#pragma once

#include <QByteArray>
#include <QString>

namespace tq {

// A serial port the program writes commands to (the motor controller's).
class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual QString PortName() const = 0;
    // False, with the reason, when the port is missing, busy or not ours to open.
    virtual bool Open(QString* why) = 0;
    virtual bool IsOpen() const = 0;
    // Sends the bytes without waiting for an answer; false when they could not be written.
    virtual bool Write(const QByteArray& bytes) = 0;
    virtual void Close() = 0;
};

} // namespace tq
