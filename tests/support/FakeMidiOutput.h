#pragma once

#include "platform/MidiOutput.h"

#include <QByteArray>
#include <QList>

namespace tq {

// A MIDI output that records every message as its bytes ("90 30 60"). Ports, whether
// they open, and when the device goes away are set by the test.
class FakeMidiOutput final : public MidiOutput {
public:
    QStringList ports;
    bool opens = true;
    int failAfter = -1; // messages that get through before the device goes away
    int openedPort = -2;
    int openCount = 0;
    QStringList sent;

    QStringList PortNames() override { return ports; }
    bool Open(int port, QString* why) override {
        openedPort = port;
        ++openCount;
        open_ = opens;
        if (!opens && why) {
            *why = QStringLiteral("refused");
        }
        return opens;
    }
    bool IsOpen() const override { return open_; }
    void Close() override { open_ = false; }
    bool SendShortMessage(uint8_t status, uint8_t data1, uint8_t data2) override {
        if (!open_ || failAfter == 0) {
            failure_ = failAfter == 0 && !failureTaken_;
            return false;
        }
        --failAfter;
        QByteArray bytes{reinterpret_cast<const char*>(&status), 1};
        bytes.append(static_cast<char>(data1));
        if ((status & 0xE0) != 0xC0) {
            bytes.append(static_cast<char>(data2));
        }
        sent << QString::fromLatin1(bytes.toHex(' ')).toUpper();
        return true;
    }
    QString TakeFailure() override {
        if (!failure_) {
            return QString();
        }
        failure_ = false;
        failureTaken_ = true;
        return QStringLiteral("the server went away");
    }

private:
    bool open_ = false;
    bool failure_ = false;
    bool failureTaken_ = false;
};

} // namespace tq
