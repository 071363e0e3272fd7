#pragma once

#include <cstddef>
#include <cstdint>

// Native records of the receiver's binary output messages. Fields follow the wire order with the
// wire's widths, so each struct's size is the record length reported with the message. Records are
// laid out in a RecordBuffer; readers copy them out with memcpy. Fields named AtN are known only by
// their wire offset N.

namespace vexa {

// Message 2: navigation solution, ECEF.
struct NavData {
    std::int32_t X;  // metres
    std::int32_t Y;
    std::int32_t Z;
    std::int16_t VX;  // 1/8 m/s
    std::int16_t VY;
    std::int16_t VZ;
    std::uint8_t Mode1;  // low 3 bits fix type, bit 7 flag
    std::uint8_t Hdop;   // HDOP x 5
    std::uint8_t Mode2;
    std::uint16_t Week;
    std::uint32_t Tow;  // 1/100 s
    std::uint8_t SvCount;
    std::uint8_t SvPrn[12];  // per channel, 0 = none
};
static_assert(sizeof(NavData) == 44);

inline constexpr std::size_t kTrackChannels = 12;
inline constexpr std::size_t kCn0Samples = 10;

struct TrackChannel {
    std::uint8_t Prn;
    std::uint8_t Azimuth;    // 1.5 degrees
    std::uint8_t Elevation;  // 0.5 degree
    std::uint16_t State;
    std::uint8_t Cn0[kCn0Samples];  // dB-Hz
};
static_assert(sizeof(TrackChannel) == 16);

// Message 4: tracker data of every channel.
struct TrackData {
    std::int16_t Week;
    std::uint32_t Tow;  // 1/100 s
    std::uint8_t ChannelCount;
    TrackChannel Channels[kTrackChannels];
};
static_assert(sizeof(TrackData) == 204);

// Message 5: raw tracking data of one channel.
struct RawTrackData {
    std::int32_t Channel;
    std::int16_t SvId;
    std::uint16_t State;
    std::int32_t BitCount;
    std::int16_t MsCount;
    std::int16_t ChipCount;
    std::int32_t CodePhase;
    std::int32_t CarrierDoppler;
    std::int32_t TimeTag;
    std::int32_t DeltaCarrierPhase;
    std::int16_t SearchCount;
    std::uint8_t Cn0[kCn0Samples];
    std::uint8_t PowerBadCount;
    std::uint8_t PhaseBadCount;
    std::int16_t DeltaCarrierInterval;
    std::int16_t CorrelationInterval;
};
static_assert(sizeof(RawTrackData) == 52);

// Message 6 as the model keeps it; the decoded record itself is the whole text the receiver sent.
struct SwVersion {
    char Text[100];  // zero-terminated only when the receiver sends the terminator
};
static_assert(sizeof(SwVersion) == 100);

// Message 7: clock status.
struct ClockStatus {
    std::uint16_t Week;
    std::uint32_t TOW;  // 1/100 s
    std::uint8_t SVCnt;
    std::uint32_t ClockDrift;  // Hz
    std::uint32_t ClockBias;   // ns
    std::uint32_t EstGPSTime;  // ms
};
static_assert(sizeof(ClockStatus) == 24);

// Message 9: throughput.
struct Throughput {
    std::uint16_t SegStatMax;
    std::uint16_t Latency;
    std::uint16_t AveTrkTime;
    std::uint16_t NavComplete;
};
static_assert(sizeof(Throughput) == 8);

inline constexpr std::size_t kMaxVisible = 32;

struct VisibleSatellite {
    std::uint8_t SvId;
    std::int16_t Azimuth;    // degrees
    std::int16_t Elevation;  // degrees
};
static_assert(sizeof(VisibleSatellite) == 6);

// Message 13: visible list; Count entries are valid, the rest are zero.
struct VisibleList {
    std::uint8_t Count;
    VisibleSatellite Satellites[kMaxVisible];
};
static_assert(sizeof(VisibleList) == 194);

// Message 18: 0 asks the host to stop sending, non-zero allows it.
struct OkToSendRecord {
    std::uint8_t OkToSend;
};
static_assert(sizeof(OkToSendRecord) == 1);

// Message 28: navigation-library measurement of one channel.
struct NavLibMeasurement {
    std::uint8_t Channel;
    std::uint32_t TimeTag;
    std::uint8_t SvId;
    double GpsSoftwareTime;
    double Pseudorange;
    float CarrierFrequency;
    double CarrierPhase;
    std::uint16_t TimeInTrack;
    std::uint8_t SyncFlags;
    std::uint8_t Cn0[kCn0Samples];
    std::uint16_t DeltaRangeInterval;
    std::int16_t MeanDeltaRangeTime;
    std::int16_t ExtrapolationTime;
    std::uint8_t PhaseErrorCount;
    std::uint8_t LowPowerCount;
};
static_assert(sizeof(NavLibMeasurement) == 72);

// Message 29: navigation-library data.
struct NavLibMessage29 {
    std::int16_t At1;
    std::int16_t At3;
    std::uint8_t At5;
    float At6[5];
};
static_assert(sizeof(NavLibMessage29) == 28);

// Message 30: navigation-library data.
struct NavLibMessage30 {
    std::uint8_t At1;
    double At2;
    double At10[6];
    double At58;
    float At66;
    std::uint8_t At70;
    float At71[3];
};
static_assert(sizeof(NavLibMessage30) == 96);

// Message 31: navigation-library data.
struct NavLibMessage31 {
    std::uint8_t At1;
    std::uint8_t At2;
    std::uint8_t At3;
    float At4;
    std::uint8_t At8;
    std::int16_t At9;
    std::int16_t At11;
    std::int16_t At13;
    std::uint8_t At15;
    std::uint8_t At16;
    std::int16_t At17;
    std::int16_t At19;
    std::int16_t At21;
    std::uint8_t At23;
    std::int16_t At24;
    std::int16_t At26;
    std::int16_t At28;
    std::uint8_t At30;
    std::int16_t At31;
    std::uint8_t At33;
    std::int16_t At34;
    std::uint8_t At36;
    std::int16_t At37;
    double At39;
    double At47;
    double At55;
    std::uint8_t At63;
    double At64;
    std::int16_t At72;
    std::uint8_t At74;
    double At75;
    std::uint8_t At83;
};
static_assert(sizeof(NavLibMessage31) == 112);

// Message 41: geodetic navigation data.
struct GeoNavData {
    std::uint16_t At1;
    std::uint16_t At3;
    std::uint16_t At5;
    std::uint32_t At7;
    std::uint16_t At11;
    std::uint8_t At13;
    std::uint8_t At14;
    std::uint8_t At15;
    std::uint8_t At16;
    std::uint16_t At17;
    std::uint32_t At19;
    std::int32_t At23;
    std::int32_t At27;
    std::int32_t At31;
    std::int32_t At35;
    std::uint8_t At39;
    std::uint16_t At40;
    std::uint16_t At42;
    std::int16_t At44;
    std::int16_t At46;
    std::int16_t At48;
    std::uint32_t At50;
    std::uint32_t At54;
    std::uint32_t At58;
    std::uint16_t At62;
    std::int32_t At64;
    std::uint32_t At68;
    std::int32_t At72;
    std::uint32_t At76;
    std::uint32_t At80;
    std::uint16_t At84;
    std::uint16_t At86;
    std::uint8_t At88;
    std::uint8_t At89;
    std::uint8_t At90;
};
static_assert(sizeof(GeoNavData) == 96);

// Message 225 with sub-id 6: time-to-first-fix report.
struct TtffReport {
    std::uint8_t SubId;
    std::uint16_t TimeToFirstFix;  // 0.1 s
    std::int16_t At4;
    std::int16_t At6;
    std::int32_t At8[4];
    std::int16_t At24;
    std::uint8_t At26;
    std::int16_t At27;
    std::uint8_t At29[6];
    std::int16_t At35;
    std::uint8_t At37;
    std::uint8_t At38;
};
static_assert(sizeof(TtffReport) == 40);

inline constexpr std::uint8_t kTtffSubId = 6;

// Diagnostic records (ids 8, 10, 11, 12); message_layouts.h says how they travel.

// Message 8: one subframe of navigation bits as ten 32-bit words.
struct SubframeData {
    std::uint8_t Channel;
    std::uint8_t SvId;  // 0: nothing to show
    std::uint32_t Words[10];
};
static_assert(sizeof(SubframeData) == 44);

// Message 10: a receiver error report with its parameters.
struct ErrorReport {
    std::uint16_t ErrorId;
    std::uint16_t ParamCount;
    std::uint32_t Params[5];
};
static_assert(sizeof(ErrorReport) == 24);

// Messages 11 (acknowledge) and 12 (refuse): the id of the command answered.
struct CommandReply {
    std::uint8_t MessageId;
};
static_assert(sizeof(CommandReply) == 1);

}  // namespace vexa
