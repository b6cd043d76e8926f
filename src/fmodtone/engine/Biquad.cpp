#include "fmodtone/engine/Biquad.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tq::snd {

namespace {

// Keeps the design away from DC and Nyquist, where the formulas break down.
double SafeOmega(double hz, double sampleRate) {
    return 2.0 * std::numbers::pi * std::clamp(hz, 1.0, 0.49 * sampleRate) / sampleRate;
}

} // namespace

void Biquad::Set(double b0, double b1, double b2, double a0, double a1, double a2) {
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = a1 / a0;
    a2_ = a2 / a0;
}

void Biquad::DesignLowPass(double cutoffHz, double resonance, double sampleRate) {
    const double w0 = SafeOmega(cutoffHz, sampleRate);
    const double q = std::max(resonance, 0.1) / std::numbers::sqrt2;
    const double alpha = std::sin(w0) / (2.0 * q);
    const double c = std::cos(w0);
    Set((1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha);
}

void Biquad::DesignPeaking(double centreHz, double bandwidthOctaves, double gain,
                           double sampleRate) {
    const double w0 = SafeOmega(centreHz, sampleRate);
    const double a = std::sqrt(std::max(gain, 1e-4));
    const double s = std::sin(w0);
    const double alpha = s * std::sinh(std::numbers::ln2 / 2.0 * bandwidthOctaves * w0 / s);
    const double c = std::cos(w0);
    Set(1.0 + alpha * a, -2.0 * c, 1.0 - alpha * a, 1.0 + alpha / a, -2.0 * c, 1.0 - alpha / a);
}

void Biquad::Process(float* buffer, int frames) {
    double z1 = z1_;
    double z2 = z2_;
    for (int i = 0; i < frames; ++i) {
        const double x = buffer[i];
        const double y = b0_ * x + z1;
        z1 = b1_ * x - a1_ * y + z2;
        z2 = b2_ * x - a2_ * y;
        buffer[i] = static_cast<float>(y);
    }
    // A filter fed silence decays towards denormals; and one fed garbage must not stay
    // broken.
    if (!std::isfinite(z1) || !std::isfinite(z2)) {
        z1 = z2 = 0.0;
    }
    if (std::fabs(z1) < 1e-30) {
        z1 = 0.0;
    }
    if (std::fabs(z2) < 1e-30) {
        z2 = 0.0;
    }
    z1_ = z1;
    z2_ = z2;
}

} // namespace tq::snd
