#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "receiver/byte_order.h"

// How a message's big-endian wire fields map onto its native record. One description per message
// drives the decoder, the writer and the generic parts of the renderer, so no layout is written twice.
// Record offsets follow natural alignment, which is what the record structs get from the compiler;
// message_layouts.h checks every layout against its struct.

namespace vexa {

enum class FieldKind : std::uint8_t { Bytes, U16, I16, U32, I32, F32, F64 };

constexpr std::size_t FieldWidth(FieldKind kind) {
    switch (kind) {
        case FieldKind::Bytes: return 1;
        case FieldKind::U16:
        case FieldKind::I16: return 2;
        case FieldKind::U32:
        case FieldKind::I32:
        case FieldKind::F32: return 4;
        case FieldKind::F64: return 8;
    }
    return 0;
}

// One record member: `count` consecutive values of one kind (an array when above 1).
struct FieldRun {
    FieldKind kind;
    std::uint8_t count = 1;
};

// One value, or one run of bytes, with its offsets from the start of its block.
struct Field {
    std::uint16_t wire = 0;
    std::uint16_t record = 0;
    FieldKind kind = FieldKind::Bytes;
    std::uint8_t count = 1;  // bytes of a Bytes field, 1 otherwise
};

constexpr std::size_t AlignUp(std::size_t offset, std::size_t alignment) {
    return (offset + alignment - 1) / alignment * alignment;
}

constexpr std::size_t FieldCount(std::span<const FieldRun> runs) {
    std::size_t count = 0;
    for (const FieldRun& run : runs) count += run.kind == FieldKind::Bytes ? 1 : run.count;
    return count;
}

template <std::size_t N>
struct Block {
    std::array<Field, N> fields{};
    std::size_t wireLength = 0;
    std::size_t recordEnd = 0;  // end of the last field, before any tail padding
    std::size_t alignment = 1;
};

template <const auto& Runs>
constexpr auto MakeBlock() {
    Block<FieldCount(Runs)> block;
    std::size_t index = 0;
    for (const FieldRun& run : Runs) {
        const std::size_t width = FieldWidth(run.kind);
        const std::size_t values = run.kind == FieldKind::Bytes ? 1 : run.count;
        for (std::size_t v = 0; v < values; ++v) {
            block.recordEnd = AlignUp(block.recordEnd, width);
            const std::uint8_t bytes = run.kind == FieldKind::Bytes ? run.count : 1;
            block.fields[index++] = Field{static_cast<std::uint16_t>(block.wireLength),
                                          static_cast<std::uint16_t>(block.recordEnd), run.kind, bytes};
            block.wireLength += width * bytes;
            block.recordEnd += width * bytes;
        }
        block.alignment = std::max(block.alignment, width);
    }
    return block;
}

template <const auto& Runs>
inline constexpr auto kBlock = MakeBlock<Runs>();

// A message body: the header fields, then optionally a group of fields repeated `groupCount` times
// (or, when counted, as many times as the header's first byte says, at most `groupCount`).
struct MessageLayout {
    std::span<const Field> header;
    std::span<const Field> group;
    std::size_t groupCount = 0;
    bool counted = false;
    std::size_t groupWire = 0;  // offsets of the first repetition, from the start of the body
    std::size_t groupRecord = 0;
    std::size_t groupWireStride = 0;
    std::size_t groupRecordStride = 0;
    std::size_t recordLength = 0;

    constexpr std::size_t payloadLength(std::size_t repetitions) const {
        return 1 + groupWire + repetitions * groupWireStride;
    }
};

// The group of a message that has none; never laid out.
inline constexpr FieldRun kNoGroup[1] = {{FieldKind::Bytes, 0}};

template <const auto& HeaderRuns, const auto& GroupRuns = kNoGroup>
constexpr MessageLayout MakeLayout(std::size_t groupCount = 0, bool counted = false) {
    constexpr const auto& header = kBlock<HeaderRuns>;
    MessageLayout layout;
    layout.header = header.fields;
    std::size_t alignment = header.alignment;
    std::size_t recordEnd = header.recordEnd;
    layout.groupWire = header.wireLength;
    if (groupCount > 0) {
        constexpr const auto& group = kBlock<GroupRuns>;
        layout.group = group.fields;
        layout.groupCount = groupCount;
        layout.counted = counted;
        layout.groupRecord = AlignUp(header.recordEnd, group.alignment);
        layout.groupWireStride = group.wireLength;
        layout.groupRecordStride = AlignUp(group.recordEnd, group.alignment);
        recordEnd = layout.groupRecord + groupCount * layout.groupRecordStride;
        alignment = std::max(alignment, group.alignment);
    }
    layout.recordLength = AlignUp(recordEnd, alignment);
    return layout;
}

// A double on the wire: its low 32-bit word first, then its high word.
inline std::uint64_t LoadWireDouble(const std::uint8_t* in) {
    return std::uint64_t{LoadBig32(in + 4)} << 32 | LoadBig32(in);
}
inline void StoreWireDouble(std::uint8_t* out, std::uint64_t bits) {
    StoreBig32(out, static_cast<std::uint32_t>(bits));
    StoreBig32(out + 4, static_cast<std::uint32_t>(bits >> 32));
}

template <class T>
inline T LoadNative(const std::uint8_t* in) {
    T value;
    std::memcpy(&value, in, sizeof value);
    return value;
}
template <class T>
inline void StoreNative(std::uint8_t* out, T value) {
    std::memcpy(out, &value, sizeof value);
}

}  // namespace vexa
