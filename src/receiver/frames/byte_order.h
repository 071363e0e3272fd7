#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vexa {

// Every multi-byte integer on the wire is big-endian.
inline std::uint16_t LoadBig16(const std::uint8_t* in) {
    return static_cast<std::uint16_t>(in[0] << 8 | in[1]);
}
inline std::uint32_t LoadBig32(const std::uint8_t* in) {
    return std::uint32_t{in[0]} << 24 | std::uint32_t{in[1]} << 16 | std::uint32_t{in[2]} << 8 | in[3];
}
inline void StoreBig16(std::uint8_t* out, std::uint16_t value) {
    out[0] = static_cast<std::uint8_t>(value >> 8);
    out[1] = static_cast<std::uint8_t>(value);
}
inline void StoreBig32(std::uint8_t* out, std::uint32_t value) {
    StoreBig16(out, static_cast<std::uint16_t>(value >> 16));
    StoreBig16(out + 2, static_cast<std::uint16_t>(value));
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
