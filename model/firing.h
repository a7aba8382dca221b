#pragma once

#include <cstddef>
#include <vector>

namespace thrustlet {

// A firing as time series in SI, measured on a test stand or predicted by
// the model: time in s (strictly rising), force in N, chamber pressure in Pa
// absolute. A series the firing does not have is empty.
// The value of `series`, sampled at `time` (strictly rising), at `t`:
// linear between samples, the end values outside them.
double InterpolateAt(const std::vector<double>& time, const std::vector<double>& series, double t);

struct Firing {
    std::vector<double> time, force, pressure;
    int skipped_lines = 0;  // lines of its log that held no sample (comments, headers, footers)

    std::size_t Samples() const { return time.size(); }
    bool HasForce() const { return !force.empty(); }
    bool HasPressure() const { return !pressure.empty(); }
    // Whether `t` lies within the samples' times.
    bool Covers(double t) const { return !time.empty() && t >= time.front() && t <= time.back(); }

    // The value of `series` (one of this firing's, or any series sampled at
    // its times) at `t`: linear between samples, the end values outside.
    double At(const std::vector<double>& series, double t) const;
    // The trapezoid integral of `series` over [a, b] (0 unless b > a).
    double Integral(const std::vector<double>& series, double a, double b) const;
};

}  // namespace thrustlet
