#pragma once

namespace tq::snd {

// A second-order filter in transposed direct form II, designed after the bilinear
// transform (with frequency pre-warping) of the analogue prototypes.
class Biquad {
public:
    // Resonance 1 is the flat (Butterworth) response; the peak at the cut-off grows with
    // it: Q = resonance / sqrt(2).
    void DesignLowPass(double cutoffHz, double resonance, double sampleRate);
    // Gain is linear and reached exactly at the centre; at centre * 2^(+-bandwidth/2)
    // the gain is its square root (half of it in decibels).
    void DesignPeaking(double centreHz, double bandwidthOctaves, double gain, double sampleRate);
    void Process(float* buffer, int frames);
    void Reset() { z1_ = z2_ = 0.0; }

private:
    void Set(double b0, double b1, double b2, double a0, double a1, double a2);

    double b0_ = 1.0, b1_ = 0.0, b2_ = 0.0, a1_ = 0.0, a2_ = 0.0;
    double z1_ = 0.0, z2_ = 0.0;
};

} // namespace tq::snd
