#include "receiver/frames/frame_writer.h"

#include <algorithm>

#include "receiver/frames/byte_order.h"
#include "receiver/frames/frame_format.h"

namespace vexa {
namespace {

std::size_t FrameSize(std::size_t length, bool checksum) {
    return length + (checksum ? kFrameOverhead : kUncheckedFrameOverhead);
}

void PutFrame(std::uint8_t* out, std::span<const std::uint8_t> head, std::span<const std::uint8_t> body,
              std::optional<std::uint16_t> checksumTopBits) {
    const std::size_t length = head.size() + body.size();
    *out++ = kFrameStart1;
    *out++ = kFrameStart2;
    StoreBig16(out, static_cast<std::uint16_t>(length));
    out = std::copy(head.begin(), head.end(), out + 2);
    out = std::copy(body.begin(), body.end(), out);
    if (checksumTopBits) {
        const std::uint32_t sum = (PayloadSum(head) + PayloadSum(body)) & kChecksumMask;
        StoreBig16(out, static_cast<std::uint16_t>(sum | *checksumTopBits));
        out += 2;
    }
    *out++ = kFrameEnd1;
    *out = kFrameEnd2;
}

}  // namespace

std::size_t WriteFrame(std::span<const std::uint8_t> payload, std::span<std::uint8_t> frame) {
    const std::size_t size = FrameSize(payload.size(), true);
    if (frame.size() < size || payload.size() > 0xFFFF) return 0;
    PutFrame(frame.data(), {}, payload, 0);
    return size;
}

void AppendFrame(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> head, std::span<const std::uint8_t> body,
                 std::optional<std::uint16_t> checksumTopBits) {
    const std::size_t start = out.size();
    out.resize(start + FrameSize(head.size() + body.size(), checksumTopBits.has_value()));
    PutFrame(out.data() + start, head, body, checksumTopBits);
}

}  // namespace vexa
