#pragma once

#include <string>
#include <vector>

namespace tq {

// Writes interleaved float samples as a 16-bit PCM WAV file, for listening to what the
// offline output rendered. Samples beyond -1..1 are clipped. False when the file cannot
// be written.
bool WriteWavFile(const std::string& path, const std::vector<float>& interleaved, int sampleRate,
                  int channels);

} // namespace tq
