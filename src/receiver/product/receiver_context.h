#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

#include "receiver/fix/ttff_clock.h"

namespace vexa {

enum Product : int { kKestrel = 0, kOsprey = 1, kMerlin = 2, kHarrier = 3, kVexaLoc = 4 };
enum LinkProtocolValue : int { kNotConnected = 0, kBinaryProtocol = 1, kNmeaProtocol = 2 };

// The output toggles' thresholds. Each counter starts here at program start and after every
// connect or disconnect, and a toggle that turns its output on sets it here; the receiver's
// output lifts it above (up to one past), and the menu item shows checked while it is above.
inline constexpr int kDebugToggleThreshold = 10;
inline constexpr int kNavLibToggleThreshold = 20;
inline constexpr int kNmeaChannelToggleThreshold = 5;

// The last time-to-first-fix text and its changed flag. Written by the reader thread (message 225)
// and by the user-interface thread (resets, the text view), read by the signal view.
class TtffText {
public:
    static constexpr std::size_t kCapacity = 16;  // bytes including the terminating zero

    void set(std::string_view text) {
        std::lock_guard lock(mutex_);
        const std::size_t length = std::min(text.size(), kCapacity - 1);
        std::memcpy(text_, text.data(), length);
        text_[length] = '\0';
        changed_ = true;
    }
    std::string text() const {
        std::lock_guard lock(mutex_);
        return text_;
    }
    bool changed() const {
        std::lock_guard lock(mutex_);
        return changed_;
    }
    void setChanged(bool changed) {
        std::lock_guard lock(mutex_);
        changed_ = changed;
    }

private:
    mutable std::mutex mutex_;
    char text_[kCapacity] = {};
    bool changed_ = false;
};

// The program-wide receiver values, one object per program (tests build their own).
struct ReceiverContext {
    std::atomic<int> LinkProtocol{kNotConnected};
    std::atomic<int> ProductSelection{kKestrel};
    std::atomic<int> DebugToggleCount{kDebugToggleThreshold};
    std::atomic<int> NavLibToggleCount{kNavLibToggleThreshold};
    std::atomic<int> NmeaChannelCount{kNmeaChannelToggleThreshold};
    TtffText Ttff;
    TtffClock TtffCounter;  // the signal page's live count until the first fix
};

}  // namespace vexa
