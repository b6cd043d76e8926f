#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace tq::test {

// Pitch from the upward zero crossings, each placed between its two samples by linear
// interpolation. 0 when fewer than two crossings.
inline double MeasurePitch(const std::vector<float>& x, double sampleRate, size_t from = 0) {
    double first = -1.0;
    double last = -1.0;
    int crossings = 0;
    for (size_t i = std::max<size_t>(from, 1); i < x.size(); ++i) {
        if (x[i - 1] < 0.0f && x[i] >= 0.0f) {
            const double t = (i - 1) + x[i - 1] / static_cast<double>(x[i - 1] - x[i]);
            if (first < 0.0) {
                first = t;
            }
            last = t;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * sampleRate / (last - first);
}

inline double Rms(const std::vector<float>& x, size_t from = 0, size_t to = 0) {
    to = to ? std::min(to, x.size()) : x.size();
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) {
        sum += static_cast<double>(x[i]) * x[i];
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

inline float Peak(const std::vector<float>& x) {
    float p = 0.0f;
    for (float v : x) {
        p = std::max(p, std::fabs(v));
    }
    return p;
}

// The largest jump from one sample to the next.
inline float MaxStep(const std::vector<float>& x) {
    float m = 0.0f;
    for (size_t i = 1; i < x.size(); ++i) {
        m = std::max(m, std::fabs(x[i] - x[i - 1]));
    }
    return m;
}

inline bool AllFinite(const std::vector<float>& x) {
    return std::all_of(x.begin(), x.end(), [](float v) { return std::isfinite(v); });
}

} // namespace tq::test
