#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "receiver/frames/byte_order.h"
#include "receiver/binary/message_description.h"

// Moves a described body between the wire and its record. Offsets are template arguments, so each
// field becomes one load or store at a fixed place.

namespace vexa::wire {

template <Scalar T>
T Load(const std::uint8_t* in) {
    if constexpr (sizeof(T) == 1) {
        return std::bit_cast<T>(in[0]);
    } else if constexpr (sizeof(T) == 2) {
        return std::bit_cast<T>(LoadBig16(in));
    } else if constexpr (sizeof(T) == 4) {
        return std::bit_cast<T>(LoadBig32(in));
    } else {
        return std::bit_cast<T>(std::uint64_t{LoadBig32(in + 4)} << 32 | LoadBig32(in));
    }
}

template <Scalar T>
void Store(std::uint8_t* out, T value) {
    if constexpr (sizeof(T) == 1) {
        out[0] = std::bit_cast<std::uint8_t>(value);
    } else if constexpr (sizeof(T) == 2) {
        StoreBig16(out, std::bit_cast<std::uint16_t>(value));
    } else if constexpr (sizeof(T) == 4) {
        StoreBig32(out, std::bit_cast<std::uint32_t>(value));
    } else {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        StoreBig32(out, static_cast<std::uint32_t>(bits));
        StoreBig32(out + 4, static_cast<std::uint32_t>(bits >> 32));
    }
}

template <class T>
void LoadValue(T& value, const std::uint8_t* in) {
    if constexpr (!std::is_array_v<T>) {
        value = Load<T>(in);
    } else if constexpr (sizeof(std::remove_extent_t<T>) == 1) {
        std::memcpy(value, in, sizeof value);
    } else {
        constexpr std::size_t kStep = Width<std::remove_extent_t<T>>();
        for (std::size_t i = 0; i < std::extent_v<T>; ++i) LoadValue(value[i], in + i * kStep);
    }
}

template <class T>
void StoreValue(const T& value, std::uint8_t* out) {
    if constexpr (!std::is_array_v<T>) {
        Store(out, value);
    } else if constexpr (sizeof(std::remove_extent_t<T>) == 1) {
        std::memcpy(out, value, sizeof value);
    } else {
        constexpr std::size_t kStep = Width<std::remove_extent_t<T>>();
        for (std::size_t i = 0; i < std::extent_v<T>; ++i) StoreValue(value[i], out + i * kStep);
    }
}

// Bytes of one item of an array part: the element itself, or its members.
template <class Part>
constexpr std::size_t ItemWidth() {
    if constexpr (std::is_same_v<typename Part::Items, vexa::Wire<>>) {
        return Width<typename Part::Element>();
    } else {
        return Part::Items::kWidth;
    }
}

template <std::size_t Offset, auto Part, auto... Rest, class Record>
void DecodeParts(const std::uint8_t* body, Record& record, std::size_t items);

template <class Part, class Element>
void DecodeItem(const std::uint8_t* in, Element& element) {
    if constexpr (std::is_same_v<typename Part::Items, vexa::Wire<>>) {
        LoadValue(element, in);
    } else {
        [&]<auto... Members>(vexa::Wire<Members...>) {
            DecodeParts<0, Members...>(in, element, 0);
        }(typename Part::Items{});
    }
}

// The parts from wire offset `Offset` of the body; a counted part takes `items` items.
template <std::size_t Offset, auto Part, auto... Rest, class Record>
void DecodeParts(const std::uint8_t* body, Record& record, std::size_t items) {
    using P = std::remove_cv_t<decltype(Part)>;
    if constexpr (std::is_member_object_pointer_v<P>) {
        LoadValue(record.*Part, body + Offset);
    } else if constexpr (kIsEach<P>) {
        for (std::size_t i = 0; i < P::kElements; ++i) {
            DecodeItem<P>(body + Offset + i * ItemWidth<P>(), (record.*P::kArray)[i]);
        }
    } else if constexpr (kIsCountThen<P>) {
        record.*P::kCount = static_cast<MemberValue<P::kCount>>(items);
        const std::uint8_t* first = body + Offset + PartWidth<Part>();
        for (std::size_t i = 0; i < items; ++i) DecodeItem<P>(first + i * ItemWidth<P>(), (record.*P::kArray)[i]);
    } else {
        LoadValue(record.*P::kMember, body + Offset);
    }
    if constexpr (sizeof...(Rest) > 0) DecodeParts<Offset + PartWidth<Part>(), Rest...>(body, record, items);
}

template <std::size_t Offset, auto Part, auto... Rest, class Record>
void EncodeParts(const Record& record, std::uint8_t* body, std::size_t items);

template <class Part, class Element>
void EncodeItem(const Element& element, std::uint8_t* out) {
    if constexpr (std::is_same_v<typename Part::Items, vexa::Wire<>>) {
        StoreValue(element, out);
    } else {
        [&]<auto... Members>(vexa::Wire<Members...>) {
            EncodeParts<0, Members...>(element, out, 0);
        }(typename Part::Items{});
    }
}

template <std::size_t Offset, auto Part, auto... Rest, class Record>
void EncodeParts(const Record& record, std::uint8_t* body, std::size_t items) {
    using P = std::remove_cv_t<decltype(Part)>;
    if constexpr (std::is_member_object_pointer_v<P>) {
        StoreValue(record.*Part, body + Offset);
    } else if constexpr (kIsEach<P>) {
        for (std::size_t i = 0; i < P::kElements; ++i) {
            EncodeItem<P>((record.*P::kArray)[i], body + Offset + i * ItemWidth<P>());
        }
    } else if constexpr (kIsCountThen<P>) {
        Store(body + Offset, static_cast<MemberValue<P::kCount>>(items));
        std::uint8_t* first = body + Offset + PartWidth<Part>();
        for (std::size_t i = 0; i < items; ++i) EncodeItem<P>((record.*P::kArray)[i], first + i * ItemWidth<P>());
    } else {
        StoreValue(record.*P::kMember, body + Offset);
    }
    if constexpr (sizeof...(Rest) > 0) EncodeParts<Offset + PartWidth<Part>(), Rest...>(record, body, items);
}

}  // namespace vexa::wire
