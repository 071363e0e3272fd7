#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vexa {

// How one link frames its messages: A0 A2, 16-bit length, content, [16-bit checksum], B0 B3.
struct FrameRules {
    std::size_t maxLength;                     // longest accepted length field; 0 is always refused
    bool checksum;                             // a 16-bit checksum follows the content
    std::uint16_t checksumMask;                // bits of the received field compared with the 15-bit sum
    std::optional<std::uint8_t> channel;       // stored ahead of the content (frames that carry none)
    std::string_view tooLong;
    std::string_view empty;
    std::string_view badChecksum;
    std::string_view badEnd1;
    std::string_view badEnd2;
};

// The receiver's frames as the serial module takes them: at most 506 bytes, whole checksum compared.
FrameRules serialModuleRules();
// The server's frames as the network module takes them: at most 4090 bytes, no checksum, channel 0xAA.
FrameRules networkModuleRules();

// Cuts a byte stream into frames one byte at a time, in a buffer sized once. A byte that breaks a frame
// is looked at again as a possible start, so A0 A0 A2 synchronises.
class FrameCutter {
public:
    class Listener {
    public:
        virtual ~Listener() = default;
        // The content (channel byte first); valid only during the call.
        virtual void onFrame(std::span<const std::uint8_t> content) = 0;
        virtual void onRefused(std::string_view text) = 0;
    };

    FrameCutter(const FrameRules& rules, Listener& listener);

    void feed(std::span<const std::uint8_t> bytes);
    // Forgets a frame begun before: the next byte is looked at as a possible start.
    void reset();

private:
    enum class State : std::uint8_t {
        Hunt,
        AwaitA2,
        LengthHigh,
        LengthLow,
        Payload,
        ChecksumHigh,
        ChecksumLow,
        AwaitB0,
        AwaitB3,
    };

    void step(std::uint8_t byte);
    void refuse(std::string_view text, std::uint8_t byte);
    void startOver(std::uint8_t byte);

    FrameRules rules_;
    Listener& listener_;
    State state_ = State::Hunt;
    std::size_t remaining_ = 0;
    std::size_t fill_ = 0;
    std::uint16_t checksum_ = 0;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace vexa
