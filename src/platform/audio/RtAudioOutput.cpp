#include "platform/audio/RtAudioOutput.h"

#include <rtaudio/RtAudio.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace tq {

namespace {

// RtAudio's error callback carries no pointer to the stream, so serious errors are only
// counted; every stream compares the count with the one it saw when it opened.
std::atomic<uint64_t> gSeriousErrors{0};

void OnRtAudioError(RtAudioError::Type type, const std::string&) {
    if (type != RtAudioError::WARNING && type != RtAudioError::DEBUG_WARNING) {
        gSeriousErrors.fetch_add(1, std::memory_order_relaxed);
    }
}

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

RtAudio::Api ApiOfName(const std::string& name) {
    if (name == "jack") {
        return RtAudio::UNIX_JACK;
    }
    if (name == "pulse") {
        return RtAudio::LINUX_PULSE;
    }
    if (name == "alsa") {
        return RtAudio::LINUX_ALSA;
    }
    return RtAudio::RTAUDIO_DUMMY;
}

void SetWhy(std::string* why, const std::string& text) {
    if (why) {
        *why = text;
    }
}

} // namespace

RtAudioOutput::RtAudioOutput(std::vector<std::string> apiOrder, int stallLimitMs)
    : apiOrder_(std::move(apiOrder)), stallLimitMs_(stallLimitMs) {}

RtAudioOutput::~RtAudioOutput() {
    Close();
}

std::vector<std::string> RtAudioOutput::DefaultApiOrder() {
    return {"jack", "pulse", "alsa"};
}

std::vector<std::string> RtAudioOutput::ApiOrderFromEnvironment() {
    const char* wanted = std::getenv("TONQUILL_AUDIO_API");
    if (wanted && *wanted) {
        std::string name(wanted);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return {name};
    }
    return DefaultApiOrder();
}

bool RtAudioOutput::Open(const AudioRequest& request, AudioRenderer& renderer, std::string* why) {
    Close();
    renderer_ = &renderer;
    std::string reasons;
    for (const std::string& api : apiOrder_) {
        std::string apiWhy;
        if (OpenApi(api, request, &apiWhy)) {
            apiName_ = api;
            return true;
        }
        reasons += (reasons.empty() ? "" : "; ") + api + ": " + apiWhy;
    }
    renderer_ = nullptr;
    SetWhy(why, reasons.empty() ? std::string("no audio back end to try") : reasons);
    return false;
}

bool RtAudioOutput::OpenApi(const std::string& api, const AudioRequest& request, std::string* why) {
    const RtAudio::Api rtApi = ApiOfName(api);
    std::vector<RtAudio::Api> compiled;
    RtAudio::getCompiledApi(compiled);
    if (rtApi == RtAudio::RTAUDIO_DUMMY ||
        std::find(compiled.begin(), compiled.end(), rtApi) == compiled.end()) {
        SetWhy(why, "not available");
        return false;
    }
    try {
        auto rt = std::make_unique<RtAudio>(rtApi);
        rt->showWarnings(false);
        if (rt->getDeviceCount() == 0) {
            SetWhy(why, "no device");
            return false;
        }
        const unsigned int device = rt->getDefaultOutputDevice();
        const RtAudio::DeviceInfo info = rt->getDeviceInfo(device);
        if (!info.probed || info.outputChannels == 0) {
            SetWhy(why, "no output device");
            return false;
        }
        RtAudio::StreamParameters params;
        params.deviceId = device;
        params.nChannels = std::clamp<unsigned int>(static_cast<unsigned>(request.channels), 1,
                                                    info.outputChannels);
        unsigned int rate = static_cast<unsigned>(request.sampleRate);
        const auto& rates = info.sampleRates;
        if (!rates.empty() && std::find(rates.begin(), rates.end(), rate) == rates.end()) {
            rate = info.preferredSampleRate ? info.preferredSampleRate : rates.back();
        }
        unsigned int frames = static_cast<unsigned>(request.bufferFrames);
        RtAudio::StreamOptions options;
        options.numberOfBuffers = static_cast<unsigned>(request.buffers);
        options.streamName = "Tonquill";
        errorsAtOpen_ = gSeriousErrors.load();
        rt->openStream(&params, nullptr, RTAUDIO_FLOAT32, rate, &frames, &RtAudioOutput::Callback,
                       this, &options, &OnRtAudioError);
        format_.sampleRate = static_cast<int>(rt->getStreamSampleRate());
        format_.channels = static_cast<int>(params.nChannels);
        format_.bufferFrames = static_cast<int>(frames);
        format_.buffers = std::max(1, static_cast<int>(options.numberOfBuffers));
        format_.latencyFrames = static_cast<int>(std::max(0L, rt->getStreamLatency()));
        rt_ = std::move(rt);
        failed_ = false;
        failureTaken_ = false;
        return true;
    } catch (const std::exception& e) {
        SetWhy(why, e.what());
        return false;
    }
}

bool RtAudioOutput::Start(std::string* why) {
    if (!rt_) {
        SetWhy(why, "not open");
        return false;
    }
    try {
        lastCallbackNs_.store(NowNs());
        rt_->startStream();
        running_ = true;
        return true;
    } catch (const std::exception& e) {
        SetWhy(why, e.what());
        return false;
    }
}

void RtAudioOutput::Stop() {
    if (!rt_ || !running_) {
        return;
    }
    running_ = false;
    // A dead server cannot be asked to stop; closing is left to Close.
    if (HasFailed()) {
        return;
    }
    try {
        rt_->stopStream();
    } catch (const std::exception&) {
    }
}

void RtAudioOutput::Close() {
    if (!rt_) {
        return;
    }
    Stop();
    if (gSeriousErrors.load() != errorsAtOpen_) {
        // A server that shut down has the stream closed by the audio library's own thread;
        // closing it here as well would race that thread for the same client. Give it time,
        // and leave a stream it never closed alone rather than hang on a dead server.
        for (int i = 0; i < 100 && rt_->isStreamOpen(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (rt_->isStreamOpen()) {
            static_cast<void>(rt_.release());
            renderer_ = nullptr;
            apiName_ = "none";
            return;
        }
    }
    try {
        if (rt_->isStreamOpen()) {
            rt_->closeStream();
        }
    } catch (const std::exception&) {
    }
    rt_.reset();
    renderer_ = nullptr;
    apiName_ = "none";
}

bool RtAudioOutput::HasFailed() {
    if (failed_) {
        return true;
    }
    if (gSeriousErrors.load() != errorsAtOpen_) {
        failure_ = "the " + apiName_ + " audio stream reported an error";
        failed_ = true;
    } else if (running_ && NowNs() - lastCallbackNs_.load() > int64_t{stallLimitMs_} * 1'000'000) {
        failure_ = "the " + apiName_ + " audio stream stopped (device or sound server gone)";
        failed_ = true;
    }
    return failed_;
}

std::string RtAudioOutput::TakeFailure() {
    if (!rt_ || failureTaken_ || !HasFailed()) {
        return {};
    }
    failureTaken_ = true;
    return failure_;
}

int RtAudioOutput::Callback(void* out, void*, unsigned int frames, double, unsigned int,
                            void* self) {
    auto* o = static_cast<RtAudioOutput*>(self);
    o->renderer_->Render(static_cast<float*>(out), static_cast<int>(frames), o->format_.channels);
    o->lastCallbackNs_.store(NowNs(), std::memory_order_relaxed);
    o->framesRendered_.fetch_add(frames, std::memory_order_relaxed);
    return 0;
}

AudioOutputFactory SystemAudioOutputFactory() {
    return [] { return std::make_unique<RtAudioOutput>(RtAudioOutput::ApiOrderFromEnvironment()); };
}

} // namespace tq
