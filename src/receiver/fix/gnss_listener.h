#pragma once

#include "receiver/fix/gnss_fix.h"

namespace vexa {

// Told of each new fix and each completed sky. The references are valid during the call only.
class GnssListener {
public:
    virtual ~GnssListener() = default;
    virtual void onFix(const GnssFix& fix) = 0;
    virtual void onSky(const GnssSky& sky) = 0;
    // The receiver's output starts afresh at another place of a capture: what follows continues
    // nothing told before.
    virtual void onRestart() {}
    // A source was connected: what follows may come from another receiver.
    virtual void onConnected() {}
};

}  // namespace vexa
