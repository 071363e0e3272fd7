#include "location/message_frame.h"

#include "location/logical_channel.h"

namespace vexa {

namespace {

void appendU16(std::vector<std::uint8_t>& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

}  // namespace

std::uint16_t checksum15(std::span<const std::uint8_t> bytes) {
    unsigned sum = 0;
    for (std::uint8_t byte : bytes) sum += byte;
    return static_cast<std::uint16_t>(sum & 0x7FFF);
}

void appendReceiverFrame(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> header,
                         std::span<const std::uint8_t> body, bool frameFlag) {
    out.push_back(0xA0);
    out.push_back(0xA2);
    appendU16(out, header.size() + body.size());
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), body.begin(), body.end());
    unsigned checksum = (checksum15(header) + checksum15(body)) & 0x7FFF;
    if (frameFlag) checksum |= FrameFlag;
    appendU16(out, checksum);
    out.push_back(0xB0);
    out.push_back(0xB3);
}

void appendServerFrame(std::vector<std::uint8_t>& out, std::uint8_t id, std::span<const std::uint8_t> body) {
    out.push_back(0xA0);
    out.push_back(0xA2);
    appendU16(out, body.size() + 1);
    out.push_back(id);
    out.insert(out.end(), body.begin(), body.end());
    out.push_back(0xB0);
    out.push_back(0xB3);
}

}  // namespace vexa
