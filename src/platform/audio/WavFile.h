#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tq {

constexpr int kWavHeaderBytes = 44;

// What stands before the samples of a 16-bit PCM WAV file holding dataBytes of them.
std::string WavHeader(uint32_t dataBytes, int sampleRate, int channels);
// Interleaved float samples as such a file holds them, clipped as below.
void AppendWavSamples(std::string& out, std::span<const float> samples);

// Interleaved float samples as the bytes of a 16-bit PCM WAV file. Samples beyond -1..1
// are clipped. Empty for a sample rate or channel count below 1.
std::string WavFileBytes(const std::vector<float>& interleaved, int sampleRate, int channels);

// Writes those bytes to a file, for listening to what the offline output rendered. False
// when the file cannot be written.
bool WriteWavFile(const std::string& path, const std::vector<float>& interleaved, int sampleRate,
                  int channels);

} // namespace tq
