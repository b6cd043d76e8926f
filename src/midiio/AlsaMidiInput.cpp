#include "midiio/AlsaMidiInput.h"

#include "midiio/AlsaMidiOutput.h"
#include "midiio/MidiInQueue.h"

#include <rtmidi/RtMidi.h>

namespace tq {
namespace {

// RtMidi reports its errors here instead of printing and throwing them; what its input
// thread reports must not be written where the owner reads.
void KeepError(RtMidiError::Type type, const std::string& text, void* errors) {
    auto* e = static_cast<AlsaMidiInput::Errors*>(errors);
    if (std::this_thread::get_id() == e->owner && type != RtMidiError::WARNING &&
        type != RtMidiError::DEBUG_WARNING) {
        e->last = text;
    }
}

} // namespace

AlsaMidiInput::AlsaMidiInput(const QString& clientName, MidiInQueue& queue)
    : clientName_(clientName.toStdString()), queue_(queue) {}

AlsaMidiInput::~AlsaMidiInput() {
    Close();
}

void AlsaMidiInput::Arrived(double, std::vector<unsigned char>* message, void* self) {
    static_cast<AlsaMidiInput*>(self)->queue_.Arrive(message->data(), message->size());
}

bool AlsaMidiInput::Connect() {
    if (rt_ != nullptr) {
        return true;
    }
    if (!AlsaSequencerPresent()) {
        return false;
    }
    try {
        rt_ = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, clientName_);
        rt_->setErrorCallback(&KeepError, &errors_);
        rt_->setCallback(&Arrived, this);
        // Sysex is never taken; timing and sensing pass to the input's own filter.
        rt_->ignoreTypes(true, false, false);
    } catch (...) {
        rt_.reset();
    }
    return rt_ != nullptr;
}

QStringList AlsaMidiInput::Sources() {
    return Connect() ? AlsaPortNames(*rt_) : QStringList();
}

bool AlsaMidiInput::Open(const QString& source, QString* why) {
    // The sources may have changed since they were listed: find this one by its name again.
    const int index = static_cast<int>(Sources().indexOf(source));
    if (index < 0) {
        *why = QStringLiteral("The ALSA port %1 is not there any more.").arg(source);
        return false;
    }
    errors_.last.clear();
    try {
        rt_->openPort(static_cast<unsigned>(index), "midi_in");
    } catch (const RtMidiError& e) {
        errors_.last = e.getMessage();
    } catch (...) {
        errors_.last = "unknown error";
    }
    if (!errors_.last.empty() || !rt_->isPortOpen()) {
        *why = QStringLiteral("Cannot open the ALSA port %1: %2")
                   .arg(source, QString::fromStdString(errors_.last));
        Close();
        return false;
    }
    return true;
}

void AlsaMidiInput::Close() {
    if (rt_ != nullptr) {
        try {
            rt_->closePort();
        } catch (...) {
        }
    }
}

} // namespace tq
