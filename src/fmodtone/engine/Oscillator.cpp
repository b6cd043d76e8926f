#include "fmodtone/engine/Oscillator.h"

#include <cmath>
#include <numbers>

namespace tq::snd {

namespace {

// The polynomial band-limited step: smooths a unit jump at phase 0 over one sample on
// each side so the square and saws do not alias into a burst of noise at high notes.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

double Oscillator::HeardFrequency(int32_t wave, double rate, double ratio) {
    const double f = rate * ratio;
    return wave == kWaveSquare ? f * 0.5 : f;
}

void Oscillator::Render(float* out, int frames, int32_t wave, float rate, double ratio,
                        double sampleRate) {
    if (wave == kWaveNoise) {
        const double step = 48000.0 * ratio / sampleRate;
        for (int i = 0; i < frames; ++i) {
            noisePos_ += step;
            while (noisePos_ >= 1.0) {
                noisePos_ -= 1.0;
                noisePrev_ = noiseNext_;
                noiseState_ ^= noiseState_ << 13;
                noiseState_ ^= noiseState_ >> 17;
                noiseState_ ^= noiseState_ << 5;
                noiseNext_ = static_cast<float>(noiseState_ * (2.0 / 4294967296.0) - 1.0);
            }
            out[i] = noisePrev_ + (noiseNext_ - noisePrev_) * static_cast<float>(noisePos_);
        }
        return;
    }
    const double dt = HeardFrequency(wave, rate, ratio) / sampleRate;
    if (!(dt > 0.0) || dt >= 0.5) {
        for (int i = 0; i < frames; ++i) {
            out[i] = 0.0f;
        }
        return;
    }
    double p = phase_;
    for (int i = 0; i < frames; ++i) {
        double v;
        switch (wave) {
        case kWaveSquare: {
            double half = p + 0.5;
            if (half >= 1.0) {
                half -= 1.0;
            }
            v = (p < 0.5 ? 1.0 : -1.0) + PolyBlep(p, dt) - PolyBlep(half, dt);
            break;
        }
        case kWaveSawUp:
            v = 2.0 * p - 1.0 - PolyBlep(p, dt);
            break;
        case kWaveSawDown:
            v = 1.0 - 2.0 * p + PolyBlep(p, dt);
            break;
        case kWaveTriangle:
            v = 1.0 - 4.0 * std::fabs(p - 0.5);
            break;
        default:
            v = std::sin(2.0 * std::numbers::pi * p);
            break;
        }
        out[i] = static_cast<float>(v);
        p += dt;
        if (p >= 1.0) {
            p -= 1.0;
        }
    }
    phase_ = p;
}

} // namespace tq::snd
