#include "link/sources/message_start.h"

#include <array>
#include <limits>

#include "receiver/frames/frame_format.h"

namespace vexa {
namespace {

constexpr std::size_t kPiece = 4096;

}  // namespace

std::optional<std::uint64_t> FindMessageStart(std::istream& capture, std::uint64_t from) {
    if (from > static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max())) return std::nullopt;
    capture.clear();
    capture.seekg(static_cast<std::streamoff>(from));
    if (!capture) return std::nullopt;
    std::uint64_t offset = from;
    bool afterFrameStart1 = false;
    std::array<char, kPiece> piece{};
    while (capture) {
        capture.read(piece.data(), piece.size());
        const auto count = static_cast<std::size_t>(capture.gcount());
        for (std::size_t i = 0; i < count; ++i, ++offset) {
            const auto byte = static_cast<std::uint8_t>(piece[i]);
            if (byte == '$') return offset;
            if (afterFrameStart1 && byte == kFrameStart2) return offset - 1;
            afterFrameStart1 = byte == kFrameStart1;
        }
    }
    return std::nullopt;
}

}  // namespace vexa
