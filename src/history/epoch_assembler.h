#pragma once

#include <optional>

#include "evaluation/local_frame.h"
#include "history/history_epoch.h"
#include "receiver/fix/gnss_listener.h"

namespace vexa {

// Takes the epochs as they form: a new one, or the newest again with more in it.
class EpochSink {
public:
    virtual ~EpochSink() = default;
    virtual void Add(const HistoryEpoch& epoch) = 0;
    virtual void ReplaceLatest(const HistoryEpoch& epoch) = 0;
};

// Makes epochs of the fixes and skies as the receiver reports them: a fix opens an epoch, and the
// sky that follows it (of the same time, or either without time) joins it; a sky alone is an epoch
// of its own. With a reference set, each fix's error from it is part of its epoch.
class EpochAssembler : public GnssListener {
public:
    explicit EpochAssembler(EpochSink& sink) : sink_(sink) {}

    void SetReference(const std::optional<GeodeticPoint>& reference);
    void onFix(const GnssFix& fix) override;
    void onSky(const GnssSky& sky) override;
    // Starts afresh: the next sky joins no epoch made before.
    void Forget() { open_.reset(); }

private:
    EpochSink& sink_;
    std::optional<LocalFrame> reference_;
    std::optional<HistoryEpoch> open_;
};

}  // namespace vexa
