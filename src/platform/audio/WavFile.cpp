#include "platform/audio/WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace tq {

namespace {

void Put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

} // namespace

std::string WavHeader(uint32_t dataBytes, int sampleRate, int channels) {
    std::string out;
    out += "RIFF";
    Put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, static_cast<uint16_t>(channels));
    Put32(out, static_cast<uint32_t>(sampleRate));
    Put32(out, static_cast<uint32_t>(sampleRate * channels * 2));
    Put16(out, static_cast<uint16_t>(channels * 2));
    Put16(out, 16);
    out += "data";
    Put32(out, dataBytes);
    return out;
}

void AppendWavSamples(std::string& out, std::span<const float> samples) {
    for (float v : samples) {
        const float clipped = std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f;
        Put16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(clipped * 32767.0f))));
    }
}

std::string WavFileBytes(const std::vector<float>& interleaved, int sampleRate, int channels) {
    if (sampleRate <= 0 || channels <= 0) {
        return {};
    }
    const auto dataBytes = static_cast<uint32_t>(interleaved.size() * 2);
    std::string out = WavHeader(dataBytes, sampleRate, channels);
    out.reserve(kWavHeaderBytes + dataBytes);
    AppendWavSamples(out, interleaved);
    return out;
}

bool WriteWavFile(const std::string& path, const std::vector<float>& interleaved, int sampleRate,
                  int channels) {
    const std::string bytes = WavFileBytes(interleaved, sampleRate, channels);
    if (bytes.empty()) {
        return false;
    }
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

} // namespace tq
