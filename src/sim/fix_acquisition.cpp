#include "sim/fix_acquisition.h"

#include "sim/sky.h"

namespace vexa::sim {

double TimesToFirstFix::of(ResetKind kind) const {
    switch (kind) {
        case ResetKind::Hot: return hot;
        case ResetKind::Warm: return warm;
        case ResetKind::Cold: return cold;
        case ResetKind::Factory: return factory;
    }
    return cold;
}

FixAcquisition::FixAcquisition(TimesToFirstFix times, const TtffSpreads& spreads, std::uint32_t seed)
    : times_(times), spreads_(spreads), draws_(seed ^ 0x77ffu) {}

void FixAcquisition::reset(ResetKind kind, double nowSeconds) {
    kind_ = kind;
    resetAt_ = nowSeconds;
    ttff_ = times_.of(kind);
    if (const std::optional<TtffSpread>& spread = spreads_[static_cast<std::size_t>(kind)]) {
        ttff_ = std::uniform_real_distribution<double>(spread->min, spread->max)(draws_);
    }
    firstFixReported_ = false;
}

// A hot start still knows where every satellite is; otherwise the channels lock on one by one
// before the fix, and after a factory reset they stay idle for a while as the receiver starts from nothing.
double FixAcquisition::acquiredAt(int index) const {
    if (kind_ == ResetKind::Hot) return 0.0;
    return ttff_ * 0.8 * (index + 1) / kChannelCount;
}

FixAcquisition::ChannelProgress FixAcquisition::channel(int index, double nowSeconds) const {
    const double elapsed = nowSeconds - resetAt_;
    if (kind_ == ResetKind::Factory && elapsed < ttff_ * 0.1) return ChannelProgress::Idle;
    return elapsed >= acquiredAt(index) ? ChannelProgress::Tracking : ChannelProgress::Searching;
}

bool FixAcquisition::fixAllowed(double nowSeconds) const {
    return nowSeconds - resetAt_ >= ttff_;
}

std::optional<double> FixAcquisition::takeFirstFix(double nowSeconds) {
    if (firstFixReported_ || !fixAllowed(nowSeconds)) return std::nullopt;
    firstFixReported_ = true;
    return nowSeconds - resetAt_;
}

}  // namespace vexa::sim
