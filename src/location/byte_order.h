#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexa {

// Every multi-byte field on the wire is big-endian.
inline std::uint16_t loadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t loadU32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

// Writes big-endian fields into a buffer of known size; a write past its end is dropped, never made.
class ByteWriter {
public:
    explicit ByteWriter(std::span<std::uint8_t> buffer) : buffer_(buffer) {}

    ByteWriter& u8(std::uint8_t value) {
        if (position_ < buffer_.size()) buffer_[position_] = value;
        ++position_;
        return *this;
    }
    ByteWriter& u16(std::uint16_t value) { return u8(static_cast<std::uint8_t>(value >> 8)).u8(value & 0xFF); }
    ByteWriter& u24(std::uint32_t value) {
        return u8(static_cast<std::uint8_t>(value >> 16)).u16(static_cast<std::uint16_t>(value));
    }
    ByteWriter& u32(std::uint32_t value) {
        return u16(static_cast<std::uint16_t>(value >> 16)).u16(static_cast<std::uint16_t>(value));
    }
    ByteWriter& bytes(std::span<const std::uint8_t> data) {
        for (std::uint8_t byte : data) u8(byte);
        return *this;
    }
    ByteWriter& zeros(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) u8(0);
        return *this;
    }
    std::size_t position() const { return position_; }

private:
    std::span<std::uint8_t> buffer_;
    std::size_t position_ = 0;
};

}  // namespace vexa
