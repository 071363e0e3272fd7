#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
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

// Who timed a time to first fix: the program, from the connection or reset to the first fix, or
// the receiver in its own report.
enum class TtffSource : std::uint8_t { Program, Receiver };

// A time to first fix as a number. `serial` rises with every one set, so that a reader can tell a
// new one from the one it saw.
struct TtffSeconds {
    double seconds = 0;
    TtffSource source = TtffSource::Program;
    std::uint64_t serial = 0;
};

// The last time to first fix: its text, its seconds when it has a number, and the changed flag.
// Written by the reader thread (message 225, the first fix) and by the user-interface thread
// (resets, the text view), read by the signal view, the metrics and the Receiver Test window.
class TtffText {
public:
    static constexpr std::size_t kCapacity = 16;  // bytes including the terminating zero

    // A text without a number (empty after a reset).
    void set(std::string_view text) { set(text, std::nullopt, TtffSource::Program); }
    // "12.3 sec".
    void set(double seconds, TtffSource source) {
        char text[kCapacity];
        const int length = std::snprintf(text, sizeof text, "%.1f sec", seconds);
        const std::size_t written = std::min(static_cast<std::size_t>(std::max(length, 0)), kCapacity - 1);
        set(std::string_view(text, written), seconds, source);
    }
    // The text as given (a receiver's text line), and its number when it has one.
    void set(std::string_view text, std::optional<double> seconds, TtffSource source) {
        std::lock_guard lock(mutex_);
        const std::size_t length = std::min(text.size(), kCapacity - 1);
        std::memcpy(text_, text.data(), length);
        text_[length] = '\0';
        changed_ = true;
        ++serial_;
        seconds_.reset();
        if (seconds) seconds_ = TtffSeconds{*seconds, source, serial_};
    }
    std::optional<TtffSeconds> seconds() const {
        std::lock_guard lock(mutex_);
        return seconds_;
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
    std::uint64_t serial_ = 0;
    std::optional<TtffSeconds> seconds_;
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
