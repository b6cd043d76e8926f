#pragma once

#include "platform/SerialPort.h"

#include <memory>

class QSerialPort;

namespace tq {

// A real serial port at 115200 baud, 8 data bits, no parity, one stop bit.
class QtSerialPort final : public SerialPort {
public:
    explicit QtSerialPort(QString portName);
    ~QtSerialPort() override;

    // The port the program uses: the one TONQUILL_SERIAL_PORT names (a name such as
    // "ttyUSB0" or a path), otherwise the first the system lists; empty when there is none.
    static QString DefaultPortName();

    QString PortName() const override { return name_; }
    bool Open(QString* why) override;
    bool IsOpen() const override;
    bool Write(const QByteArray& bytes) override;
    void Close() override;

private:
    QString name_;
    std::unique_ptr<QSerialPort> port_;
};

} // namespace tq
