// Small measuring helpers shared by the sections: a stopwatch and medians.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace corvellin::report {

inline double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

template <typename F>
double TimeMs(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return MillisecondsSince(start);
}

// The median of the samples (the mean of the middle two for an even count); 0 for none.
inline double Median(std::vector<double> samples) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

}  // namespace corvellin::report
