#include "model/firing.h"

#include <algorithm>

namespace thrustlet {

double InterpolateAt(const std::vector<double>& time, const std::vector<double>& series, double t) {
    if (t <= time.front()) return series.front();
    if (t >= time.back()) return series.back();
    const auto after = std::upper_bound(time.begin(), time.end(), t);
    const std::size_t i = static_cast<std::size_t>(after - time.begin());
    const double along = (t - time[i - 1]) / (time[i] - time[i - 1]);
    return series[i - 1] + along * (series[i] - series[i - 1]);
}

double Firing::At(const std::vector<double>& series, double t) const { return InterpolateAt(time, series, t); }

double Firing::Integral(const std::vector<double>& series, double a, double b) const {
    if (!(b > a)) return 0.0;
    const auto first = std::upper_bound(time.begin(), time.end(), a);
    double sum = 0.0, t0 = a, v0 = At(series, a);
    for (auto it = first; it != time.end() && *it < b; ++it) {
        const std::size_t i = static_cast<std::size_t>(it - time.begin());
        sum += 0.5 * (v0 + series[i]) * (time[i] - t0);
        t0 = time[i];
        v0 = series[i];
    }
    return sum + 0.5 * (v0 + At(series, b)) * (b - t0);
}

}  // namespace thrustlet
