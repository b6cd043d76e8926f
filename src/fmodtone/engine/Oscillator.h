#pragma once

#include <cstdint>

namespace tq::snd {

enum WaveCode : int32_t {
    kWaveSine = 0,
    kWaveSquare = 1,
    kWaveSawUp = 2,
    kWaveSawDown = 3,
    kWaveTriangle = 4,
    kWaveNoise = 5,
};

// One oscillator voice. The rate is in hertz and is scaled by the playback ratio of the
// channel that plays it (channel frequency / 48000). For the square the rate counts
// half-cycles (edges), so a square at rate 2f sounds at f: that is how the beep's square
// at 8000 Hz keeps the written pitch of a 4000 Hz sine. Noise has no rate: it draws new
// values at 48000 Hz times the playback ratio and glides between them, so its brightness
// still follows the channel frequency.
class Oscillator {
public:
    // Adds nothing: writes frames samples. sampleRate is the mix rate. Above the Nyquist
    // limit it writes silence rather than aliasing.
    void Render(float* out, int frames, int32_t wave, float rate, double ratio, double sampleRate);
    // The frequency a wave sounds at for a rate and a playback ratio.
    static double HeardFrequency(int32_t wave, double rate, double ratio);

private:
    double phase_ = 0.0;
    double noisePos_ = 0.0;
    float noisePrev_ = 0.0f;
    float noiseNext_ = 0.0f;
    uint32_t noiseState_ = 0x9E3779B9u;
};

} // namespace tq::snd
