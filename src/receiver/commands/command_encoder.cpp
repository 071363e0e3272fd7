#include "receiver/commands/command_encoder.h"

#include <algorithm>
#include <cstring>

#include "platform/result_codes.h"
#include "receiver/frames/channel_bytes.h"
#include "receiver/frames/frame_writer.h"
#include "receiver/binary/message_ids.h"

namespace vexa {
namespace {

// `count` consecutive native fields of `width` bytes starting at block byte `offset`.
struct FieldRun {
    std::uint8_t offset;
    std::uint8_t width;
    std::uint8_t count;
};

// Unused runs have count 0.
struct Layout {
    MessageId id;
    FieldRun runs[3];
};

const Layout kLayouts[] = {
    {MessageId::Reset, {{0, 4, 5}, {20, 2, 1}, {22, 1, 2}}},
    {MessageId::SwitchToNmea, {{0, 1, 21}, {22, 2, 1}}},
    {MessageId::SwVersionPoll, {{0, 1, 1}}},
    {MessageId::Command133, {{0, 1, 1}, {4, 4, 1}, {8, 1, 1}}},
    {MessageId::Command134, {{0, 4, 1}, {4, 1, 4}}},
    {MessageId::Command137, {{0, 1, 4}}},
    {MessageId::ElevationMask, {{0, 2, 2}}},
    {MessageId::Command140, {{0, 1, 2}}},
    {MessageId::ClockStatusPoll, {{0, 1, 1}}},
    {MessageId::PowerMode, {{0, 2, 2}, {4, 4, 1}}},
    {MessageId::OutputRate, {{0, 1, 3}}},
    {MessageId::PowerTiming, {{0, 4, 3}, {12, 2, 1}}},
    {MessageId::Command170, {{0, 1, 1}, {4, 4, 2}}},
};

constexpr std::size_t kMaxCommandPayload = 32;

const Layout* FindLayout(int id) {
    for (const Layout& layout : kLayouts) {
        if (ToWire(layout.id) == id) return &layout;
    }
    return nullptr;
}

std::size_t NativeSize(const Layout& layout) {
    std::size_t size = 0;
    for (const FieldRun& run : layout.runs) size = std::max<std::size_t>(size, run.offset + run.width * run.count);
    return size;
}

std::uint32_t ReadNative(const std::uint8_t* field, std::size_t width) {
    switch (width) {
    case 1:
        return *field;
    case 2: {
        std::uint16_t value;
        std::memcpy(&value, field, sizeof value);
        return value;
    }
    default: {
        std::uint32_t value;
        std::memcpy(&value, field, sizeof value);
        return value;
    }
    }
}

}  // namespace

EncodeResult EncodeMessage(int id, const void* block, std::size_t blockLength, std::span<std::uint8_t> frame,
                           bool channelByte) {
    const Layout* layout = FindLayout(id);
    if (layout == nullptr) return {kResultUnknownId, 0};
    if (blockLength < NativeSize(*layout)) return {kResultBadLength, 0};

    std::uint8_t payload[kMaxCommandPayload];
    std::size_t length = 0;
    if (channelByte) payload[length++] = kBinaryChannel;
    payload[length++] = static_cast<std::uint8_t>(id);
    const auto* native = static_cast<const std::uint8_t*>(block);
    for (const FieldRun& run : layout->runs) {
        for (std::size_t field = 0; field < run.count; ++field) {
            const std::uint32_t value = ReadNative(native + run.offset + field * run.width, run.width);
            for (std::size_t byte = run.width; byte-- > 0;) payload[length++] = static_cast<std::uint8_t>(value >> (8 * byte));
        }
    }
    const std::size_t frameLength = WriteFrame(std::span(payload, length), frame);
    if (frameLength == 0) return {kResultBadLength, 0};
    return {kResultOk, frameLength};
}

}  // namespace vexa
