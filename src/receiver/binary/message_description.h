#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>

#include "receiver/binary/message_ids.h"

// The words a message's description is written in; message_table.h holds the descriptions.
//
// A body is its record's members in wire order. Every member travels at its own width, big-endian:
// an integer as itself, a float as its 32-bit pattern, a double as two 32-bit words (the one holding
// its low half first), an array as its elements one after another. So a member's type is its wire
// kind, and no offset or width is ever written down.

namespace vexa {

// What the model does with a delivered message.
enum class ModelUse : std::uint8_t {
    LogOnly,         // written to the data log, nothing kept
    Kept,            // the latest record is kept for whoever asks
    Fix,             // kept, and the fix is made from it
    Sky,             // kept, and the sky is made from it
    TextLine,        // its rendered line joins the text lines
    Text,            // its bytes are a text line
    SendPermission,  // says whether commands may be sent
};

constexpr bool IsKept(ModelUse use) { return use == ModelUse::Kept || use == ModelUse::Fix || use == ModelUse::Sky; }

namespace wire {

template <class MemberPointer>
struct MemberOf;
template <class Record, class T>
struct MemberOf<T Record::*> {
    using RecordType = Record;
    using Value = T;
};

template <class T>
concept Scalar = std::is_arithmetic_v<T> && (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4 || sizeof(T) == 8);

// Bytes a value takes on the wire.
template <class T>
constexpr std::size_t Width() {
    if constexpr (std::is_array_v<T>) {
        return std::extent_v<T> * Width<std::remove_extent_t<T>>();
    } else {
        static_assert(Scalar<T>, "a wire field is an integer, a float or a double, or an array of them");
        return sizeof(T);
    }
}

}  // namespace wire

// The record and the value type of a member.
template <auto Member>
using MemberRecord = typename wire::MemberOf<std::remove_cv_t<decltype(Member)>>::RecordType;
template <auto Member>
using MemberValue = typename wire::MemberOf<std::remove_cv_t<decltype(Member)>>::Value;

// The body's parts in wire order: record members, or the parts below.
template <auto... Parts>
struct Wire;

// Every element of an array of structs in turn, each element's members in wire order.
template <auto Array, auto... ElementMembers>
struct Each {
    static constexpr auto kArray = Array;
    using Element = std::remove_extent_t<MemberValue<Array>>;
    static constexpr std::size_t kElements = std::extent_v<MemberValue<Array>>;
    using Items = Wire<ElementMembers...>;
};

// What becomes of a count larger than the record's array: the message is refused as a bad length
// (its length is checked for as many items as the array holds), or the items beyond are read past
// and left out (the record's count then says how many it holds).
enum class Beyond : std::uint8_t { Refused, LeftOut };

// A count, then that many items of an array: its elements, or (given `ItemMembers`) each element's
// members. The record's count holds the number of items in the record. Always the last part.
template <auto Count, auto Array, Beyond Overflow, auto... ItemMembers>
struct CountThen {
    static constexpr auto kCount = Count;
    static constexpr auto kArray = Array;
    static constexpr Beyond kOverflow = Overflow;
    using Element = std::remove_extent_t<MemberValue<Array>>;
    static constexpr std::size_t kCapacity = std::extent_v<MemberValue<Array>>;
    using Items = Wire<ItemMembers...>;
};

// The body's first byte tells its kind: only kind `Carried` goes on with the rest of the body; any
// other is that byte alone, with an empty record. Always the first part.
template <auto Member, std::uint8_t Carried>
struct SubId {
    static constexpr auto kMember = Member;
    static constexpr std::uint8_t kCarried = Carried;
};

template <class Part>
inline constexpr bool kIsEach = false;
template <auto Array, auto... ElementMembers>
inline constexpr bool kIsEach<Each<Array, ElementMembers...>> = true;

template <class Part>
inline constexpr bool kIsCountThen = false;
template <auto Count, auto Array, Beyond Overflow, auto... ItemMembers>
inline constexpr bool kIsCountThen<CountThen<Count, Array, Overflow, ItemMembers...>> = true;

template <class Part>
inline constexpr bool kIsSubId = false;
template <auto Member, std::uint8_t Carried>
inline constexpr bool kIsSubId<SubId<Member, Carried>> = true;

template <auto Part>
constexpr std::size_t PartWidth() {
    using P = std::remove_cv_t<decltype(Part)>;
    if constexpr (std::is_member_object_pointer_v<P>) {
        return wire::Width<MemberValue<Part>>();
    } else if constexpr (kIsEach<P>) {
        return P::kElements * P::Items::kWidth;
    } else if constexpr (kIsCountThen<P>) {
        return wire::Width<MemberValue<P::kCount>>();  // the items come on top
    } else {
        static_assert(kIsSubId<P>, "a part is a record member, Each, CountThen or SubId");
        return 1;
    }
}

template <auto... Parts>
struct Wire {
    // Bytes of the body, a counted part's items left out.
    static constexpr std::size_t kWidth = (std::size_t{0} + ... + PartWidth<Parts>());
    static constexpr auto kFirst = std::get<0>(std::tuple{Parts...});
    static constexpr auto kLast = std::get<sizeof...(Parts) - 1>(std::tuple{Parts...});
    static constexpr bool kSubIdFirst = kIsSubId<std::remove_cv_t<decltype(kFirst)>>;
    static constexpr bool kCounted = kIsCountThen<std::remove_cv_t<decltype(kLast)>>;
};

template <>
struct Wire<> {
    static constexpr std::size_t kWidth = 0;
};

// The whole body, unchanged: a text of any length.
struct TextBody {};
// The whole body, passed on unread.
struct UnreadBody {};

// A line of every field as ",<value>" after the id: integers as their record values, floats and
// doubles as %.10e.
struct PlainValues {};
inline constexpr PlainValues kPlainValues;

// The ids of a row: one id, or a range.
struct IdRange {
    constexpr IdRange(MessageId id) : first(ToWire(id)), last(ToWire(id)) {}
    constexpr IdRange(int firstId, int lastId)
        : first(static_cast<std::uint8_t>(firstId)), last(static_cast<std::uint8_t>(lastId)) {}
    std::uint8_t first;
    std::uint8_t last;
};

// One row of the table: the message's ids, its record, what the model does with it, its line (a
// function of the record, or of the text, giving kResultOk or kResultBadLength; kPlainValues; or
// nullptr for none), its body, and what is done with each record decoded (nullptr: nothing).
template <IdRange MessageIds, class RecordType, ModelUse Use, auto Line, class Body, auto Decoded = nullptr>
struct MessageRow {
    static constexpr IdRange ids = MessageIds;
    using Record = RecordType;
    static constexpr ModelUse model = Use;
    static constexpr auto line = Line;
    using Fields = Body;
    static constexpr auto decoded = Decoded;
};

template <class... Rows>
struct MessageList {};

// Whether a body names its record's members in their order: laid out one after another with their
// natural alignment, they must fill the record exactly. (A member left out or named twice changes
// the size; the decoder's tests check the order of members of one type.)
template <class Record, auto... Parts>
consteval bool FillsRecord(Wire<Parts...>) {
    std::size_t end = 0;
    std::size_t alignment = 1;
    bool ownMembers = true;
    const auto place = [&]<auto Member>() {
        using Value = MemberValue<Member>;
        ownMembers = ownMembers && std::is_same_v<MemberRecord<Member>, Record>;
        end = (end + alignof(Value) - 1) / alignof(Value) * alignof(Value) + sizeof(Value);
        alignment = std::max(alignment, alignof(Value));
    };
    const auto fillsItems = []<class Part>() {
        if constexpr (std::is_same_v<typename Part::Items, Wire<>>) {
            return true;
        } else {
            return FillsRecord<typename Part::Element>(typename Part::Items{});
        }
    };
    bool itemsFilled = true;
    (
        [&] {
            using P = std::remove_cv_t<decltype(Parts)>;
            if constexpr (std::is_member_object_pointer_v<P>) {
                place.template operator()<Parts>();
            } else if constexpr (kIsEach<P>) {
                place.template operator()<P::kArray>();
                itemsFilled = itemsFilled && fillsItems.template operator()<P>();
            } else if constexpr (kIsCountThen<P>) {
                place.template operator()<P::kCount>();
                place.template operator()<P::kArray>();
                itemsFilled = itemsFilled && fillsItems.template operator()<P>();
            } else {
                place.template operator()<P::kMember>();
            }
        }(),
        ...);
    return ownMembers && itemsFilled && (end + alignment - 1) / alignment * alignment == sizeof(Record);
}

template <class Row>
consteval bool DescribesItsRecord() {
    if constexpr (std::is_same_v<typename Row::Fields, TextBody> || std::is_same_v<typename Row::Fields, UnreadBody>) {
        return true;
    } else {
        return FillsRecord<typename Row::Record>(typename Row::Fields{});
    }
}

}  // namespace vexa
