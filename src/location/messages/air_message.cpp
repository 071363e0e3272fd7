#include "location/messages/air_message.h"

#include <algorithm>
#include <vector>

#include "receiver/frames/byte_order.h"

namespace vexa {

namespace {

constexpr std::uint16_t kOrbitBlock = 1;
constexpr std::uint16_t kTimeBlock = 2;
constexpr std::size_t kBlockHeader = 6;

struct Block {
    std::uint16_t type;
    std::span<const std::uint8_t> bytes;
};

bool decodeOrbitBlock(std::span<const std::uint8_t> block, OrbitSlots& slots) {
    if (block.empty()) return false;
    const std::size_t records = block[0];
    if (records * kOrbitRecordLength > block.size() - 1) return false;
    for (std::size_t i = 0; i < records; ++i) {
        const auto record = block.subspan(1 + i * kOrbitRecordLength, kOrbitRecordLength);
        const std::uint8_t satellite = record[0];
        if (satellite >= kSatelliteSlots) continue;
        slots[satellite].present = true;
        std::copy(record.begin(), record.end(), slots[satellite].record.begin());
    }
    return true;
}

bool decodeTimeBlock(std::span<const std::uint8_t> block, AidingTime& time) {
    if (block.size() < 7 || block[0] != 1) return false;
    time.gpsWeek = LoadBig16(&block[1]);
    time.timeOfWeekMs = LoadBig32(&block[3]) * 1000.0;
    return true;
}

}  // namespace

unsigned decodeAirMessage(std::span<const std::uint8_t> data, OrbitSlots& slots, AidingTime& time) {
    if (data.size() <= 1) return 0;
    const std::size_t count = data[0];
    std::vector<Block> blocks;
    blocks.reserve(count);
    std::size_t position = 2;
    for (std::size_t i = 0; i < count; ++i) {
        if (data.size() < position || data.size() - position < kBlockHeader) return 0;
        const std::uint16_t type = LoadBig16(&data[position]);
        const std::uint32_t length = LoadBig32(&data[position + 2]);
        position += kBlockHeader;
        if (length > data.size() - position) return 0;
        blocks.push_back({type, data.subspan(position, length)});
        position += length;
    }

    unsigned flags = 0;
    for (const Block& block : blocks) {
        if (block.type == kOrbitBlock && decodeOrbitBlock(block.bytes, slots)) flags |= kOrbitRecordsDecoded;
        if (block.type == kTimeBlock && decodeTimeBlock(block.bytes, time)) flags |= kValidTimeDecoded;
    }
    return flags;
}

std::optional<std::span<const std::uint8_t>> aidingBlockOfFrame(std::span<const std::uint8_t> frame) {
    constexpr std::size_t kShortest = 8;  // five leading and two closing bytes around at least one
    if (frame.size() < kShortest) return std::nullopt;
    return frame.subspan(5, frame.size() - 7);
}

}  // namespace vexa
