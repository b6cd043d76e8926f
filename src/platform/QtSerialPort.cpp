#include "platform/QtSerialPort.h"

#include <QSerialPort>
#include <QSerialPortInfo>

namespace tq {

QtSerialPort::QtSerialPort(QString portName) : name_(std::move(portName)) {}

QtSerialPort::~QtSerialPort() {
    Close();
}

QString QtSerialPort::DefaultPortName() {
    const QString named = qEnvironmentVariable("TONQUILL_SERIAL_PORT");
    if (!named.isEmpty()) {
        return named;
    }
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    return ports.isEmpty() ? QString() : ports.first().systemLocation();
}

bool QtSerialPort::Open(QString* why) {
    Close();
    if (name_.isEmpty()) {
        if (why) {
            *why = QStringLiteral("no serial port is listed");
        }
        return false;
    }
    port_ = std::make_unique<QSerialPort>(name_);
    port_->setBaudRate(QSerialPort::Baud115200);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::WriteOnly)) {
        if (why) {
            *why = name_ + QStringLiteral(": ") + port_->errorString();
        }
        port_.reset();
        return false;
    }
    return true;
}

bool QtSerialPort::IsOpen() const {
    return port_ && port_->isOpen();
}

bool QtSerialPort::Write(const QByteArray& bytes) {
    if (!IsOpen()) {
        return false;
    }
    const bool written = port_->write(bytes) == bytes.size();
    // The event loop may not run before the next command: hand the bytes to the device now.
    // A device that went away (an adapter unplugged) fails here, not in write().
    port_->flush();
    return written && port_->error() == QSerialPort::NoError;
}

void QtSerialPort::Close() {
    if (port_) {
        port_->close();
        port_.reset();
    }
}

} // namespace tq
