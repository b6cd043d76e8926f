#include "midiio/AlsaMidiOutput.h"

#include <rtmidi/RtMidi.h>

#include <unistd.h>

#include <chrono>
#include <thread>

namespace tq {
namespace {

using namespace std::chrono_literals;

// RtMidi reports its errors here instead of printing and throwing them.
void KeepError(RtMidiError::Type, const std::string& text, void* self) {
    *static_cast<std::string*>(self) = text;
}

} // namespace

bool AlsaSequencerPresent() {
    return access("/dev/snd/seq", R_OK | W_OK) == 0;
}

QStringList AlsaPortNames(RtMidi& rt) {
    QStringList names;
    try {
        const unsigned count = rt.getPortCount();
        for (unsigned i = 0; i < count; ++i) {
            names << QString::fromStdString(rt.getPortName(i));
        }
    } catch (...) {
        return {};
    }
    return names;
}

AlsaMidiOutput::AlsaMidiOutput(const QString& clientName) : clientName_(clientName.toStdString()) {}

AlsaMidiOutput::~AlsaMidiOutput() {
    Close();
}

bool AlsaMidiOutput::Connect() {
    if (rt_ != nullptr) {
        return true;
    }
    if (!AlsaSequencerPresent()) {
        return false;
    }
    try {
        rt_ = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, clientName_);
        rt_->setErrorCallback(&KeepError, &lastError_);
    } catch (...) {
        rt_.reset();
    }
    return rt_ != nullptr;
}

QStringList AlsaMidiOutput::Ports() {
    return Connect() ? AlsaPortNames(*rt_) : QStringList();
}

bool AlsaMidiOutput::Open(const QString& port, QString* why) {
    // The ports may have changed since they were listed: find this one by its name again.
    const int index = static_cast<int>(Ports().indexOf(port));
    if (index < 0) {
        *why = QStringLiteral("The ALSA port %1 is not there any more.").arg(port);
        return false;
    }
    lastError_.clear();
    try {
        rt_->openPort(static_cast<unsigned>(index), "midi_out");
    } catch (const RtMidiError& e) {
        lastError_ = e.getMessage();
    } catch (...) {
        lastError_ = "unknown error";
    }
    if (!lastError_.empty() || !rt_->isPortOpen()) {
        *why = QStringLiteral("Cannot open the ALSA port %1: %2")
                   .arg(port, QString::fromStdString(lastError_));
        Close();
        return false;
    }
    failure_.clear();
    failureTaken_ = false;
    return true;
}

void AlsaMidiOutput::Close() {
    if (rt_ != nullptr) {
        try {
            rt_->closePort();
        } catch (...) {
        }
    }
}

bool AlsaMidiOutput::TrySend(const uint8_t* bytes, size_t size) {
    lastError_.clear();
    try {
        rt_->sendMessage(bytes, size);
    } catch (const RtMidiError& e) {
        lastError_ = e.getMessage();
    } catch (...) {
        lastError_ = "unknown error";
    }
    return lastError_.empty();
}

bool AlsaMidiOutput::Send(const uint8_t* bytes, size_t size) {
    if (rt_ == nullptr || !rt_->isPortOpen() || !failure_.isEmpty()) {
        return false;
    }
    const auto until = std::chrono::steady_clock::now() + 2s;
    while (!TrySend(bytes, size)) {
        if (std::chrono::steady_clock::now() > until) {
            failure_ = QStringLiteral("The ALSA port does not take MIDI messages: %1")
                           .arg(QString::fromStdString(lastError_));
            return false;
        }
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

QString AlsaMidiOutput::TakeFailure() {
    if (failureTaken_ || failure_.isEmpty()) {
        return {};
    }
    failureTaken_ = true;
    return failure_;
}

} // namespace tq
