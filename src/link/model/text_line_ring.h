#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vexa {

// The 32 lines of receiver text waiting for the text view. When the writer catches up with
// the reader the oldest unread line is dropped and counted, so the ring holds the newest 31 lines,
// in order.
class TextLineRing {
public:
    static constexpr std::size_t kSlots = 32;
    static constexpr std::size_t kSlotSize = 256;  // 255 characters and the terminating zero

    // The slot to fill next; Commit() makes it readable.
    char* WriteSlot() { return slots_[write_].data(); }
    void Commit() {
        write_ = (write_ + 1) % kSlots;
        if (write_ == read_) {
            read_ = (read_ + 1) % kSlots;
            ++dropped_;
        }
    }
    // The lines dropped unread since the ring was made.
    std::uint64_t Dropped() const { return dropped_; }

    // The oldest unread line (the caller may write into it), or nullptr when none is left.
    char* Next() {
        if (read_ == write_) return nullptr;
        char* line = slots_[read_].data();
        read_ = (read_ + 1) % kSlots;
        return line;
    }

private:
    std::array<std::array<char, kSlotSize>, kSlots> slots_{};
    std::size_t read_ = 0;
    std::size_t write_ = 0;
    std::uint64_t dropped_ = 0;
};

}  // namespace vexa
