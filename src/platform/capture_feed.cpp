#include "platform/capture_feed.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <span>

namespace vexa {
namespace {

constexpr std::size_t kReadPiece = 512;

}  // namespace

CaptureFeed::CaptureFeed(const std::string& path) {
    errno = 0;
    file_.open(path, std::ios::binary);
    if (!file_.is_open()) openError_ = errno != 0 ? errno : ENOENT;
}

void CaptureFeed::Refill(LinePacer& line, bool loop) {
    char piece[kReadPiece];
    const auto oneSecond = static_cast<std::size_t>(line.baud() / 10);
    bool rewound = false;  // an empty file gives nothing however often it starts again
    while (line.queued() < oneSecond) {
        if (!file_) {
            if (!loop || rewound) return;
            Rewind();
            rewound = true;
        }
        file_.read(piece, sizeof piece);
        const auto count = static_cast<std::size_t>(file_.gcount());
        if (count == 0) continue;
        rewound = false;
        line.enqueue(std::span(reinterpret_cast<const std::uint8_t*>(piece), count));
    }
}

bool CaptureFeed::Finished() const { return !file_; }

void CaptureFeed::MoveTo(std::uint64_t byte) {
    file_.clear();
    file_.seekg(0, std::ios::end);
    const auto end = static_cast<std::uint64_t>(std::max<std::streamoff>(file_.tellg(), 0));
    file_.seekg(static_cast<std::streamoff>(std::min(byte, end)));
}

void CaptureFeed::Rewind() {
    file_.clear();
    file_.seekg(0);
}

}  // namespace vexa
