#include "evaluation/chart_axis.h"

#include <algorithm>
#include <cmath>

#include "evaluation/fixed_text.h"

namespace vexa {

namespace {

constexpr double kWidestReach = 1e12;
constexpr double kNarrowestSpan = 1e-3;

double RoundStep(double span, int aimedTicks) {
    const double raw = span / std::max(aimedTicks, 1);
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double residual = raw / magnitude;
    const double factor = residual <= 1.0 ? 1.0 : residual <= 2.0 ? 2.0 : residual <= 5.0 ? 5.0 : 10.0;
    return factor * magnitude;
}

}  // namespace

ChartAxis RoundAxis(std::string title, double low, double high, int aimedTicks, double finestStep) {
    if (!std::isfinite(low) || !std::isfinite(high) || low > high) low = high = 0.0;
    // Beyond these no measurement of ours reaches; within them every step and label is a plain number.
    low = std::clamp(low, -kWidestReach, kWidestReach);
    high = std::clamp(high, -kWidestReach, kWidestReach);
    if (high - low < kNarrowestSpan) {
        const double half = std::max({std::abs(low) * 0.1, finestStep, kNarrowestSpan});
        low -= half;
        high += half;
    }
    const double step = std::max(RoundStep(high - low, aimedTicks), finestStep);
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    ChartAxis axis;
    axis.title = std::move(title);
    const double first = std::floor(low / step + 1e-9);
    const double last = std::ceil(high / step - 1e-9);
    axis.min = first * step;
    axis.max = last * step;
    for (double index = first; index <= last; index += 1.0) axis.ticks.push_back({index * step, FixedText(index * step, decimals)});
    return axis;
}

}  // namespace vexa
