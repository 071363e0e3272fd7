#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vexa {

// A fixed ring of bytes: appended at the back, taken from the front. Not locked.
template <std::size_t Capacity>
class ByteRing {
public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t room() const { return Capacity - size_; }
    void clear() { read_ = size_ = 0; }

    // Appends as many bytes as there is room for; gives that count.
    std::size_t append(std::span<const std::uint8_t> bytes) {
        const std::size_t count = std::min(bytes.size(), room());
        for (std::size_t i = 0; i < count; ++i) bytes_[(read_ + size_ + i) % Capacity] = bytes[i];
        size_ += count;
        return count;
    }
    // Copies up to out.size() bytes from the front without taking them; gives the count.
    std::size_t peek(std::span<std::uint8_t> out) const {
        const std::size_t count = std::min(out.size(), size_);
        for (std::size_t i = 0; i < count; ++i) out[i] = bytes_[(read_ + i) % Capacity];
        return count;
    }
    void drop(std::size_t count) {
        count = std::min(count, size_);
        read_ = (read_ + count) % Capacity;
        size_ -= count;
    }
    std::size_t take(std::span<std::uint8_t> out) {
        const std::size_t count = peek(out);
        drop(count);
        return count;
    }

private:
    std::array<std::uint8_t, Capacity> bytes_{};
    std::size_t read_ = 0;
    std::size_t size_ = 0;
};

}  // namespace vexa
