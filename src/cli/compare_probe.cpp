#include "cli/compare_probe.h"

#include <cstdio>

namespace vexa {
namespace {

const char* FixKind(FixMode mode) {
    switch (mode) {
    case FixMode::TwoD: return "2D";
    case FixMode::ThreeD: return "3D";
    case FixMode::NoFix: break;
    }
    return "no fix";
}

std::string Decimal(const std::optional<double>& value) {
    if (!value) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", *value);
    return text;
}

}  // namespace

CompareProbe::CompareProbe(const std::optional<GeodeticPoint>& reference)
    : frame_(reference ? std::optional<LocalFrame>(LocalFrame(*reference)) : std::nullopt) {}

void CompareProbe::onFix(const GnssFix& fix) {
    std::optional<double> error;
    if (frame_ && fix.hasPosition()) {
        error = frame_->OffsetOf({*fix.latitude, *fix.longitude, fix.altitudeHae.value_or(frame_->Origin().height)})
                    .Horizontal();
    }
    const std::optional<int> used =
        fix.satellitesUsed ? fix.satellitesUsed : fix.used.empty() ? std::nullopt : std::optional<int>(static_cast<int>(fix.used.size()));
    const std::lock_guard lock(mutex_);
    figures_.mode = fix.mode;
    figures_.horizontalError = error;
    fixUsed_ = used;
}

void CompareProbe::onSky(const GnssSky& sky) {
    double sum = 0;
    int count = 0;
    for (const SkySatellite& satellite : sky.satellites) {
        if (!satellite.used || !satellite.cn0) continue;
        sum += *satellite.cn0;
        ++count;
    }
    const std::lock_guard lock(mutex_);
    figures_.meanCn0 = count > 0 ? std::optional<double>(sum / count) : std::nullopt;
    skyUsed_ = sky.usedCount();
}

void CompareProbe::SetConnected(bool connected) {
    const std::lock_guard lock(mutex_);
    if (!connected) {
        figures_ = Figures{};
        fixUsed_.reset();
        skyUsed_.reset();
    }
    figures_.connected = connected;
}

CompareProbe::Figures CompareProbe::Latest() const {
    const std::lock_guard lock(mutex_);
    Figures figures = figures_;
    figures.used = fixUsed_ ? fixUsed_ : skyUsed_;
    return figures;
}

std::string CompareLine(const std::vector<NamedFigures>& receivers) {
    std::string line;
    for (const NamedFigures& receiver : receivers) {
        if (!line.empty()) line += " | ";
        line += receiver.name + ": ";
        const CompareProbe::Figures& figures = receiver.figures;
        if (!figures.connected) {
            line += "not connected";
            continue;
        }
        line += std::string(FixKind(figures.mode)) + ", " + std::to_string(figures.used.value_or(0)) + " used, " +
                Decimal(figures.horizontalError) + " m, " + Decimal(figures.meanCn0) + " dB-Hz";
    }
    return line;
}

}  // namespace vexa
