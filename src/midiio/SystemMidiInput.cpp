#include "midiio/SystemMidiInput.h"

#include "midiio/AlsaMidiInput.h"
#include "midiio/JackMidiInput.h"

namespace tq {

SystemMidiInput::SystemMidiInput(const QString& clientName) {
    // JACK first, as for output: a server that runs is one the user started for music.
    systems_.Add(QStringLiteral("JACK: "), std::make_unique<JackMidiInput>(clientName, queue_));
    systems_.Add(QStringLiteral("ALSA: "), std::make_unique<AlsaMidiInput>(clientName, queue_));
}

SystemMidiInput::~SystemMidiInput() {
    Close();
}

QStringList SystemMidiInput::PortNames() {
    return systems_.List(&MidiSourceSystem::Sources);
}

bool SystemMidiInput::Open(int port, QString* why) {
    Close();
    open_ = systems_.Open(port, QStringLiteral("input"), why);
    return open_ != nullptr;
}

void SystemMidiInput::Start() {
    queue_.SetStarted(open_ != nullptr);
}

void SystemMidiInput::Stop() {
    queue_.SetStarted(false);
}

void SystemMidiInput::Close() {
    Stop();
    if (open_ != nullptr) {
        open_->Close();
        open_ = nullptr;
    }
    queue_.Clear();
}

void SystemMidiInput::SetFiltered(uint8_t status, bool filtered) {
    queue_.SetFiltered(status, filtered);
}

void SystemMidiInput::SetMessagesWaiting(std::function<void()> handler) {
    queue_.SetHandler(std::move(handler));
}

bool SystemMidiInput::TakeMessage(MidiMessage* message) {
    return queue_.Take(message);
}

QString SystemMidiInput::TakeFailure() {
    QStringList failures;
    if (const QString failure = open_ != nullptr ? open_->TakeFailure() : QString();
        !failure.isEmpty()) {
        failures << (failure.endsWith(QLatin1Char('.')) ? failure : failure + QLatin1Char('.'));
    }
    if (const uint64_t dropped = queue_.TakeDropped(); dropped > 0) {
        failures << (dropped == 1 ? QStringLiteral("1 MIDI message was dropped")
                                  : QStringLiteral("%1 MIDI messages were dropped").arg(dropped)) +
                        QStringLiteral(": the input queue was full.");
    }
    return failures.join(QLatin1Char(' '));
}

} // namespace tq
