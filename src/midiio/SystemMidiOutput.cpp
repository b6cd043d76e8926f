#include "midiio/SystemMidiOutput.h"

#include "midiio/AlsaMidiOutput.h"
#include "midiio/JackMidiOutput.h"

namespace tq {

SystemMidiOutput::SystemMidiOutput(const QString& clientName) {
    // JACK first: a server that runs is one the user started for music, and its synths are
    // where the default port should lead. The first ALSA port is usually "Midi Through",
    // which sounds nowhere.
    systems_.Add(QStringLiteral("JACK: "), std::make_unique<JackMidiOutput>(clientName));
    systems_.Add(QStringLiteral("ALSA: "), std::make_unique<AlsaMidiOutput>(clientName));
}

SystemMidiOutput::~SystemMidiOutput() {
    Close();
}

QStringList SystemMidiOutput::PortNames() {
    return systems_.List(&MidiPortSystem::Ports);
}

bool SystemMidiOutput::Open(int port, QString* why) {
    Close();
    if (port == -1) {
        if (!systems_.IsListed()) {
            PortNames();
        }
        port = 0;
    }
    open_ = systems_.Open(port, QStringLiteral("output"), why);
    return open_ != nullptr;
}

void SystemMidiOutput::Close() {
    if (open_ != nullptr) {
        open_->Close();
        open_ = nullptr;
    }
}

size_t SystemMidiOutput::ShortMessageSize(uint8_t status) {
    if (status < 0x80 || status == 0xF0 || status == 0xF7) {
        return 0;
    }
    if (status < 0xF0) {
        return (status & 0xE0) == 0xC0 ? 2 : 3;
    }
    switch (status) {
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    default:
        return 1;
    }
}

bool SystemMidiOutput::SendShortMessage(uint8_t status, uint8_t data1, uint8_t data2) {
    const size_t size = ShortMessageSize(status);
    if (open_ == nullptr || size == 0) {
        return false;
    }
    // A data byte with its top bit set would read as a status byte and garble the stream.
    const uint8_t bytes[3] = {status, static_cast<uint8_t>(data1 & 0x7F),
                              static_cast<uint8_t>(data2 & 0x7F)};
    return open_->Send(bytes, size);
}

QString SystemMidiOutput::TakeFailure() {
    return open_ != nullptr ? open_->TakeFailure() : QString();
}

} // namespace tq
