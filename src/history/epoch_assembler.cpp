#include "history/epoch_assembler.h"

namespace vexa {

void EpochAssembler::SetReference(const std::optional<GeodeticPoint>& reference) {
    reference_.reset();
    if (reference) reference_.emplace(*reference);
}

void EpochAssembler::onFix(const GnssFix& fix) {
    open_ = EpochOfFix(fix, reference_ ? &*reference_ : nullptr);
    sink_.Add(*open_);
}

void EpochAssembler::onSky(const GnssSky& sky) {
    const bool joins = open_ && open_->fix && !open_->hasSky && (!sky.time || !open_->time || *sky.time == *open_->time);
    if (joins) {
        AddSky(*open_, sky);
        sink_.ReplaceLatest(*open_);
        return;
    }
    open_.emplace();
    AddSky(*open_, sky);
    sink_.Add(*open_);
}

}  // namespace vexa
