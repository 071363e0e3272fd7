#pragma once

#include "receiver/message_ids.h"
#include "receiver/records.h"
#include "receiver/wire_layout.h"

// The wire layout of every fixed-layout message the decoder knows, one FieldRun per record member.

namespace vexa::layouts {

using K = FieldKind;

inline constexpr FieldRun kNavData[] = {{K::I32}, {K::I32}, {K::I32}, {K::I16}, {K::I16},    {K::I16},
                                        {K::Bytes}, {K::Bytes}, {K::Bytes}, {K::U16}, {K::U32}, {K::Bytes},
                                        {K::Bytes, 12}};
inline constexpr FieldRun kTrackHeader[] = {{K::I16}, {K::U32}, {K::Bytes}};
inline constexpr FieldRun kTrackChannel[] = {{K::Bytes}, {K::Bytes}, {K::Bytes}, {K::U16}, {K::Bytes, 10}};
inline constexpr FieldRun kRawTrackData[] = {{K::I32}, {K::I16},   {K::U16},   {K::I32}, {K::I16},
                                             {K::I16}, {K::I32},   {K::I32},   {K::I32}, {K::I32},
                                             {K::I16}, {K::Bytes, 10}, {K::Bytes}, {K::Bytes}, {K::I16},
                                             {K::I16}};
inline constexpr FieldRun kClockStatus[] = {{K::U16}, {K::U32}, {K::Bytes}, {K::U32}, {K::U32}, {K::U32}};
inline constexpr FieldRun kThroughput[] = {{K::U16, 4}};
inline constexpr FieldRun kVisibleHeader[] = {{K::Bytes}};
inline constexpr FieldRun kVisibleSatellite[] = {{K::Bytes}, {K::I16}, {K::I16}};
inline constexpr FieldRun kOkToSend[] = {{K::Bytes}};
inline constexpr FieldRun kNavLibMeasurement[] = {
    {K::Bytes}, {K::U32}, {K::Bytes}, {K::F64}, {K::F64}, {K::F32},   {K::F64}, {K::U16},
    {K::Bytes}, {K::Bytes, 10},       {K::U16}, {K::I16}, {K::I16}, {K::Bytes}, {K::Bytes}};
inline constexpr FieldRun kNavLib29[] = {{K::I16}, {K::I16}, {K::Bytes}, {K::F32, 5}};
inline constexpr FieldRun kNavLib30[] = {{K::Bytes}, {K::F64},   {K::F64, 6}, {K::F64},
                                         {K::F32},   {K::Bytes}, {K::F32, 3}};
inline constexpr FieldRun kNavLib31[] = {
    {K::Bytes}, {K::Bytes}, {K::Bytes}, {K::F32},   {K::Bytes}, {K::I16},   {K::I16},   {K::I16},
    {K::Bytes}, {K::Bytes}, {K::I16},   {K::I16},   {K::I16},   {K::Bytes}, {K::I16},   {K::I16},
    {K::I16},   {K::Bytes}, {K::I16},   {K::Bytes}, {K::I16},   {K::Bytes}, {K::I16},   {K::F64},
    {K::F64},   {K::F64},   {K::Bytes}, {K::F64},   {K::I16},   {K::Bytes}, {K::F64},   {K::Bytes}};
inline constexpr FieldRun kGeoNavData[] = {
    {K::U16},   {K::U16}, {K::U16}, {K::U32}, {K::U16}, {K::Bytes}, {K::Bytes}, {K::Bytes}, {K::Bytes},
    {K::U16},   {K::U32}, {K::I32}, {K::I32}, {K::I32}, {K::I32},   {K::Bytes}, {K::U16},   {K::U16},
    {K::I16},   {K::I16}, {K::I16}, {K::U32}, {K::U32}, {K::U32},   {K::U16},   {K::I32},   {K::U32},
    {K::I32},   {K::U32}, {K::U32}, {K::U16}, {K::U16}, {K::Bytes}, {K::Bytes}, {K::Bytes}};
inline constexpr FieldRun kTtffReport[] = {{K::Bytes}, {K::U16}, {K::I16},   {K::I16},      {K::I32, 4},
                                           {K::I16},   {K::Bytes}, {K::I16}, {K::Bytes, 6}, {K::I16},
                                           {K::Bytes}, {K::Bytes}};

// Subframe, error report and command replies: the records the renderer's lines were written for, each
// field sent big-endian in record order. Message 8: channel, satellite id, ten 32-bit words (43 bytes);
// message 10: error id, parameter count, five 32-bit parameters (25 bytes); messages 11 and 12: the id
// of the command answered (2 bytes).
inline constexpr FieldRun kSubframe[] = {{K::Bytes}, {K::Bytes}, {K::U32, 10}};
inline constexpr FieldRun kErrorReport[] = {{K::U16}, {K::U16}, {K::U32, 5}};
inline constexpr FieldRun kCommandReply[] = {{K::Bytes}};

inline constexpr MessageLayout kNavDataLayout = MakeLayout<kNavData>();
inline constexpr MessageLayout kTrackDataLayout = MakeLayout<kTrackHeader, kTrackChannel>(kTrackChannels);
inline constexpr MessageLayout kRawTrackDataLayout = MakeLayout<kRawTrackData>();
inline constexpr MessageLayout kClockStatusLayout = MakeLayout<kClockStatus>();
inline constexpr MessageLayout kThroughputLayout = MakeLayout<kThroughput>();
inline constexpr MessageLayout kVisibleListLayout =
    MakeLayout<kVisibleHeader, kVisibleSatellite>(kMaxVisible, true);
inline constexpr MessageLayout kOkToSendLayout = MakeLayout<kOkToSend>();
inline constexpr MessageLayout kNavLibMeasurementLayout = MakeLayout<kNavLibMeasurement>();
inline constexpr MessageLayout kNavLib29Layout = MakeLayout<kNavLib29>();
inline constexpr MessageLayout kNavLib30Layout = MakeLayout<kNavLib30>();
inline constexpr MessageLayout kNavLib31Layout = MakeLayout<kNavLib31>();
inline constexpr MessageLayout kGeoNavDataLayout = MakeLayout<kGeoNavData>();
inline constexpr MessageLayout kTtffReportLayout = MakeLayout<kTtffReport>();
inline constexpr MessageLayout kSubframeLayout = MakeLayout<kSubframe>();
inline constexpr MessageLayout kErrorReportLayout = MakeLayout<kErrorReport>();
inline constexpr MessageLayout kCommandReplyLayout = MakeLayout<kCommandReply>();

// Each layout must give its struct's size and the payload length the receiver sends.
constexpr bool Matches(const MessageLayout& layout, std::size_t recordSize, std::size_t payloadLength) {
    return layout.recordLength == recordSize && layout.payloadLength(layout.groupCount) == payloadLength;
}
static_assert(Matches(kNavDataLayout, sizeof(NavData), 41));
static_assert(Matches(kTrackDataLayout, sizeof(TrackData), 188));
static_assert(Matches(kRawTrackDataLayout, sizeof(RawTrackData), 51));
static_assert(Matches(kClockStatusLayout, sizeof(ClockStatus), 20));
static_assert(Matches(kThroughputLayout, sizeof(Throughput), 9));
static_assert(Matches(kVisibleListLayout, sizeof(VisibleList), 2 + 5 * kMaxVisible));
static_assert(Matches(kOkToSendLayout, sizeof(OkToSendRecord), 2));
static_assert(Matches(kNavLibMeasurementLayout, sizeof(NavLibMeasurement), 56));
static_assert(Matches(kNavLib29Layout, sizeof(NavLibMessage29), 26));
static_assert(Matches(kNavLib30Layout, sizeof(NavLibMessage30), 83));
static_assert(Matches(kNavLib31Layout, sizeof(NavLibMessage31), 84));
static_assert(Matches(kGeoNavDataLayout, sizeof(GeoNavData), 91));
static_assert(Matches(kTtffReportLayout, sizeof(TtffReport), 39));
static_assert(Matches(kSubframeLayout, sizeof(SubframeData), 43));
static_assert(Matches(kErrorReportLayout, sizeof(ErrorReport), 25));
static_assert(Matches(kCommandReplyLayout, sizeof(CommandReply), 2));
static_assert(kTrackDataLayout.groupRecord == offsetof(TrackData, Channels) &&
              kTrackDataLayout.groupRecordStride == sizeof(TrackChannel));
static_assert(kVisibleListLayout.groupRecord == offsetof(VisibleList, Satellites) &&
              kVisibleListLayout.groupRecordStride == sizeof(VisibleSatellite));

// The fixed layout of a message id, or nullptr for copy-type, sub-id and unknown messages.
constexpr const MessageLayout* FixedLayout(int id) {
    if (id < 0 || id > 0xFF) return nullptr;
    switch (FromWire(static_cast<std::uint8_t>(id))) {
        case MessageId::NavData: return &kNavDataLayout;
        case MessageId::TrackData: return &kTrackDataLayout;
        case MessageId::RawTrackData: return &kRawTrackDataLayout;
        case MessageId::ClockStatus: return &kClockStatusLayout;
        case MessageId::SubframeData: return &kSubframeLayout;
        case MessageId::Throughput: return &kThroughputLayout;
        case MessageId::ErrorReport: return &kErrorReportLayout;
        case MessageId::CommandAck:
        case MessageId::CommandNak: return &kCommandReplyLayout;
        case MessageId::VisibleList: return &kVisibleListLayout;
        case MessageId::OkToSend: return &kOkToSendLayout;
        case MessageId::NavLibMeasurement: return &kNavLibMeasurementLayout;
        case MessageId::NavLib29: return &kNavLib29Layout;
        case MessageId::NavLib30: return &kNavLib30Layout;
        case MessageId::NavLib31: return &kNavLib31Layout;
        case MessageId::GeoNavData: return &kGeoNavDataLayout;
        default: return nullptr;
    }
}

}  // namespace vexa::layouts
