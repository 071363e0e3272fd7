#pragma once

#include <cstddef>
#include <cstdint>

// Native records of the receiver's binary output messages. Fields follow the wire order with the
// wire's widths, so each struct's size is the record length reported with the message
// (message_table.h says how each travels). Records are laid out in a RecordBuffer; readers copy them
// out with memcpy.

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
    double GpsSoftwareTime;  // s
    double Pseudorange;      // m
    float CarrierFrequency;  // m/s
    double CarrierPhase;     // m
    std::uint16_t TimeInTrack;  // ms
    std::uint8_t SyncFlags;
    std::uint8_t Cn0[kCn0Samples];      // dB-Hz
    std::uint16_t DeltaRangeInterval;   // ms
    std::int16_t MeanDeltaRangeTime;    // ms
    std::int16_t ExtrapolationTime;     // ms
    std::uint8_t PhaseErrorCount;
    std::uint8_t LowPowerCount;
};
static_assert(sizeof(NavLibMeasurement) == 72);

// Message 29: navigation-library differential correction of one satellite.
struct NavLibDgpsData {
    std::int16_t SvId;
    std::int16_t IssueOfData;
    std::uint8_t Source;                  // where the correction comes from, 0 = none
    float PseudorangeCorrection;          // m
    float PseudorangeRateCorrection;      // m/s
    float CorrectionAge;                  // s
    float Reserved[2];
};
static_assert(sizeof(NavLibDgpsData) == 28);

// Message 30: navigation-library state of one satellite.
struct NavLibSatelliteState {
    std::uint8_t SvId;
    double GpsTime;      // s
    double Position[3];  // ECEF, m
    double Velocity[3];  // ECEF, m/s
    double ClockBias;    // s
    float ClockDrift;    // s/s
    std::uint8_t EphemerisFlag;
    float Reserved[2];
    float IonosphericDelay;  // m
};
static_assert(sizeof(NavLibSatelliteState) == 96);

// Message 31: the navigation library's initialisation.
struct NavLibInitialisation {
    std::uint8_t Reserved1;
    std::uint8_t AltitudeMode;
    std::uint8_t AltitudeSource;
    float Altitude;  // m
    std::uint8_t DegradedMode;
    std::int16_t DegradedTimeout;       // s
    std::int16_t DeadReckoningTimeout;  // s
    std::int16_t Reserved2;
    std::uint8_t TrackSmoothingMode;
    std::uint8_t Reserved3;
    std::int16_t Reserved4;
    std::int16_t Reserved5;
    std::int16_t Reserved6;
    std::uint8_t DgpsSelection;
    std::int16_t DgpsTimeout;    // s
    std::int16_t ElevationMask;  // 0.1 degree
    std::int16_t Reserved7;
    std::uint8_t Reserved8;
    std::int16_t Reserved9;
    std::uint8_t Reserved10;
    std::int16_t Reserved11;
    std::uint8_t StaticNavigation;
    std::int16_t Reserved12;
    double PositionX;  // ECEF, m
    double PositionY;
    double PositionZ;
    std::uint8_t PositionSource;
    double GpsTime;  // s
    std::int16_t Week;
    std::uint8_t TimeSource;
    double ClockDrift;  // Hz
    std::uint8_t ClockDriftSource;
};
static_assert(sizeof(NavLibInitialisation) == 112);

// Message 41: geodetic navigation data.
struct GeoNavData {
    std::uint16_t NavValid;  // 0 when the solution is valid, else the bits of what is missing
    std::uint16_t NavType;   // fix mode bits
    std::uint16_t Week;
    std::uint32_t Tow;  // ms
    std::uint16_t UtcYear;
    std::uint8_t UtcMonth;
    std::uint8_t UtcDay;
    std::uint8_t UtcHour;
    std::uint8_t UtcMinute;
    std::uint16_t UtcSecond;       // ms
    std::uint32_t SatellitesUsed;  // bit n - 1: satellite n is in the solution
    std::int32_t Latitude;         // 1e-7 degree
    std::int32_t Longitude;        // 1e-7 degree
    std::int32_t AltitudeEllipsoid;  // cm
    std::int32_t AltitudeMsl;        // cm
    std::uint8_t MapDatum;
    std::uint16_t SpeedOverGround;   // cm/s
    std::uint16_t CourseOverGround;  // 0.01 degree
    std::int16_t MagneticVariation;
    std::int16_t ClimbRate;    // cm/s
    std::int16_t HeadingRate;  // 0.01 degree/s
    std::uint32_t HorizontalPositionError;  // cm
    std::uint32_t VerticalPositionError;    // cm
    std::uint32_t TimeError;
    std::uint16_t HorizontalVelocityError;  // cm/s
    std::int32_t ClockBias;         // cm
    std::uint32_t ClockBiasError;   // cm
    std::int32_t ClockDrift;        // cm/s
    std::uint32_t ClockDriftError;  // cm/s
    std::uint32_t Distance;         // travelled, m
    std::uint16_t DistanceError;    // m
    std::uint16_t HeadingError;     // 0.01 degree
    std::uint8_t SvCount;           // satellites in the solution
    std::uint8_t Hdop;              // HDOP x 5
    std::uint8_t ModeInfo;          // more mode bits
};
static_assert(sizeof(GeoNavData) == 96);

// Message 225 with sub-id 6: time-to-first-fix report.
struct TtffReport {
    std::uint8_t SubId;
    std::uint16_t TimeToFirstFix;       // since the reset, 0.1 s
    std::int16_t TtffSinceAiding;       // since all aiding arrived, 0.1 s
    std::int16_t TtffFirstNavigation;   // first navigation since the reset, 0.1 s
    std::int32_t PositionAidingErrorNorth;
    std::int32_t PositionAidingErrorEast;
    std::int32_t PositionAidingErrorDown;
    std::int32_t TimeAidingError;
    std::int16_t FrequencyAidingError;
    std::uint8_t HorizontalUncertainty;
    std::int16_t VerticalUncertainty;
    std::uint8_t TimeUncertainty;
    std::uint8_t FrequencyUncertainty;
    std::uint8_t AidedEphemerisCount;
    std::uint8_t AidedAcquisitionCount;
    std::uint8_t NavigationMode;
    std::uint8_t PositionMode;
    std::int16_t Status;
    std::uint8_t StartMode;
    std::uint8_t Reserved;
};
static_assert(sizeof(TtffReport) == 40);

inline constexpr std::uint8_t kTtffSubId = 6;

// Diagnostic records (ids 8, 10, 11, 12).

// Message 8: one subframe of navigation bits as ten 32-bit words.
struct SubframeData {
    std::uint8_t Channel;
    std::uint8_t SvId;  // 0: nothing to show
    std::uint32_t Words[10];
};
static_assert(sizeof(SubframeData) == 44);

// The most parameters an error report's text takes.
inline constexpr std::size_t kErrorReportParams = 18;

// Message 10: a receiver error report with its parameters (ParamCount of them are held).
struct ErrorReport {
    std::uint16_t ErrorId;
    std::uint16_t ParamCount;
    std::uint32_t Params[kErrorReportParams];
};
static_assert(sizeof(ErrorReport) == 76);

// Messages 11 (acknowledge) and 12 (refuse): the id of the command answered.
struct CommandReply {
    std::uint8_t MessageId;
};
static_assert(sizeof(CommandReply) == 1);

}  // namespace vexa
