#include "platform/audio/WavFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

namespace tq {

namespace {

void Put16(std::ofstream& f, uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    f.write(b, 2);
}

void Put32(std::ofstream& f, uint32_t v) {
    Put16(f, static_cast<uint16_t>(v & 0xFFFF));
    Put16(f, static_cast<uint16_t>(v >> 16));
}

} // namespace

bool WriteWavFile(const std::string& path, const std::vector<float>& interleaved, int sampleRate,
                  int channels) {
    if (sampleRate <= 0 || channels <= 0) {
        return false;
    }
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) {
        return false;
    }
    const auto dataBytes = static_cast<uint32_t>(interleaved.size() * 2);
    f.write("RIFF", 4);
    Put32(f, 36 + dataBytes);
    f.write("WAVEfmt ", 8);
    Put32(f, 16);
    Put16(f, 1); // PCM
    Put16(f, static_cast<uint16_t>(channels));
    Put32(f, static_cast<uint32_t>(sampleRate));
    Put32(f, static_cast<uint32_t>(sampleRate * channels * 2));
    Put16(f, static_cast<uint16_t>(channels * 2));
    Put16(f, 16);
    f.write("data", 4);
    Put32(f, dataBytes);
    for (float v : interleaved) {
        const float clipped = std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f;
        Put16(f, static_cast<uint16_t>(static_cast<int16_t>(std::lround(clipped * 32767.0f))));
    }
    return static_cast<bool>(f);
}

} // namespace tq
