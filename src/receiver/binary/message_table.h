#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>

#include "receiver/binary/message_description.h"
#include "receiver/binary/message_ids.h"
#include "receiver/binary/message_lines.h"
#include "receiver/binary/records.h"
#include "receiver/binary/reported_ttff.h"

// Every binary message the receiver sends, described once: one row each. The decoder, the renderer,
// the writer (the simulator's too) and the model read their rows and nothing else.
//
// A new message needs its record in records.h, its id in message_ids.h, its row here and, unless
// its line is kPlainValues, its line in message_lines.h.

namespace vexa {

using MessageTable = MessageList<
    // ids, record, model, line, body (record members in wire order), what decoding also does
    MessageRow<MessageId::NavData, NavData, ModelUse::Fix, RenderNavData,
            Wire<&NavData::X, &NavData::Y, &NavData::Z, &NavData::VX, &NavData::VY, &NavData::VZ, &NavData::Mode1,
                 &NavData::Hdop, &NavData::Mode2, &NavData::Week, &NavData::Tow, &NavData::SvCount,
                 &NavData::SvPrn>>,
    MessageRow<MessageId::TrackData, TrackData, ModelUse::Sky, RenderTrackData,
            Wire<&TrackData::Week, &TrackData::Tow, &TrackData::ChannelCount,
                 Each<&TrackData::Channels, &TrackChannel::Prn, &TrackChannel::Azimuth, &TrackChannel::Elevation,
                      &TrackChannel::State, &TrackChannel::Cn0>{}>>,
    MessageRow<MessageId::RawTrackData, RawTrackData, ModelUse::LogOnly, RenderRawTrackData,
            Wire<&RawTrackData::Channel, &RawTrackData::SvId, &RawTrackData::State, &RawTrackData::BitCount,
                 &RawTrackData::MsCount, &RawTrackData::ChipCount, &RawTrackData::CodePhase,
                 &RawTrackData::CarrierDoppler, &RawTrackData::TimeTag, &RawTrackData::DeltaCarrierPhase,
                 &RawTrackData::SearchCount, &RawTrackData::Cn0, &RawTrackData::PowerBadCount,
                 &RawTrackData::PhaseBadCount, &RawTrackData::DeltaCarrierInterval,
                 &RawTrackData::CorrelationInterval>>,
    MessageRow<MessageId::SwVersion, SwVersion, ModelUse::Kept, RenderSwVersion, TextBody>,
    MessageRow<MessageId::ClockStatus, ClockStatus, ModelUse::Kept, RenderClockStatus,
            Wire<&ClockStatus::Week, &ClockStatus::TOW, &ClockStatus::SVCnt, &ClockStatus::ClockDrift,
                 &ClockStatus::ClockBias, &ClockStatus::EstGPSTime>>,
    MessageRow<MessageId::SubframeData, SubframeData, ModelUse::TextLine, RenderSubframe,
            Wire<&SubframeData::Channel, &SubframeData::SvId, &SubframeData::Words>>,
    MessageRow<MessageId::Throughput, Throughput, ModelUse::LogOnly, RenderThroughput,
            Wire<&Throughput::SegStatMax, &Throughput::Latency, &Throughput::AveTrkTime, &Throughput::NavComplete>>,
    MessageRow<MessageId::ErrorReport, ErrorReport, ModelUse::TextLine, RenderErrorReport,
            Wire<&ErrorReport::ErrorId,
                 CountThen<&ErrorReport::ParamCount, &ErrorReport::Params, Beyond::LeftOut>{}>>,
    MessageRow<MessageId::CommandAck, CommandReply, ModelUse::TextLine, RenderCommandAck,
            Wire<&CommandReply::MessageId>>,
    MessageRow<MessageId::CommandNak, CommandReply, ModelUse::TextLine, RenderCommandNak,
            Wire<&CommandReply::MessageId>>,
    MessageRow<MessageId::VisibleList, VisibleList, ModelUse::LogOnly, RenderVisibleList,
            Wire<CountThen<&VisibleList::Count, &VisibleList::Satellites, Beyond::Refused, &VisibleSatellite::SvId,
                           &VisibleSatellite::Azimuth, &VisibleSatellite::Elevation>{}>>,
    MessageRow<MessageId::OkToSend, OkToSendRecord, ModelUse::SendPermission, RenderOkToSend,
            Wire<&OkToSendRecord::OkToSend>>,
    MessageRow<MessageId::NavLibMeasurement, NavLibMeasurement, ModelUse::LogOnly, kPlainValues,
            Wire<&NavLibMeasurement::Channel, &NavLibMeasurement::TimeTag, &NavLibMeasurement::SvId,
                 &NavLibMeasurement::GpsSoftwareTime, &NavLibMeasurement::Pseudorange,
                 &NavLibMeasurement::CarrierFrequency, &NavLibMeasurement::CarrierPhase,
                 &NavLibMeasurement::TimeInTrack, &NavLibMeasurement::SyncFlags, &NavLibMeasurement::Cn0,
                 &NavLibMeasurement::DeltaRangeInterval, &NavLibMeasurement::MeanDeltaRangeTime,
                 &NavLibMeasurement::ExtrapolationTime, &NavLibMeasurement::PhaseErrorCount,
                 &NavLibMeasurement::LowPowerCount>>,
    MessageRow<MessageId::NavLib29, NavLibDgpsData, ModelUse::LogOnly, kPlainValues,
            Wire<&NavLibDgpsData::SvId, &NavLibDgpsData::IssueOfData, &NavLibDgpsData::Source,
                 &NavLibDgpsData::PseudorangeCorrection, &NavLibDgpsData::PseudorangeRateCorrection,
                 &NavLibDgpsData::CorrectionAge, &NavLibDgpsData::Reserved>>,
    MessageRow<MessageId::NavLib30, NavLibSatelliteState, ModelUse::LogOnly, RenderNavLibSatelliteState,
            Wire<&NavLibSatelliteState::SvId, &NavLibSatelliteState::GpsTime, &NavLibSatelliteState::Position,
                 &NavLibSatelliteState::Velocity, &NavLibSatelliteState::ClockBias, &NavLibSatelliteState::ClockDrift,
                 &NavLibSatelliteState::EphemerisFlag, &NavLibSatelliteState::Reserved,
                 &NavLibSatelliteState::IonosphericDelay>>,
    MessageRow<MessageId::NavLib31, NavLibInitialisation, ModelUse::LogOnly, kPlainValues,
            Wire<&NavLibInitialisation::Reserved1, &NavLibInitialisation::AltitudeMode,
                 &NavLibInitialisation::AltitudeSource, &NavLibInitialisation::Altitude,
                 &NavLibInitialisation::DegradedMode, &NavLibInitialisation::DegradedTimeout,
                 &NavLibInitialisation::DeadReckoningTimeout, &NavLibInitialisation::Reserved2,
                 &NavLibInitialisation::TrackSmoothingMode, &NavLibInitialisation::Reserved3,
                 &NavLibInitialisation::Reserved4, &NavLibInitialisation::Reserved5, &NavLibInitialisation::Reserved6,
                 &NavLibInitialisation::DgpsSelection, &NavLibInitialisation::DgpsTimeout,
                 &NavLibInitialisation::ElevationMask, &NavLibInitialisation::Reserved7,
                 &NavLibInitialisation::Reserved8, &NavLibInitialisation::Reserved9, &NavLibInitialisation::Reserved10,
                 &NavLibInitialisation::Reserved11, &NavLibInitialisation::StaticNavigation,
                 &NavLibInitialisation::Reserved12, &NavLibInitialisation::PositionX, &NavLibInitialisation::PositionY,
                 &NavLibInitialisation::PositionZ, &NavLibInitialisation::PositionSource,
                 &NavLibInitialisation::GpsTime, &NavLibInitialisation::Week, &NavLibInitialisation::TimeSource,
                 &NavLibInitialisation::ClockDrift, &NavLibInitialisation::ClockDriftSource>>,
    MessageRow<MessageId::GeoNavData, GeoNavData, ModelUse::LogOnly, kPlainValues,
            Wire<&GeoNavData::NavValid, &GeoNavData::NavType, &GeoNavData::Week, &GeoNavData::Tow,
                 &GeoNavData::UtcYear, &GeoNavData::UtcMonth, &GeoNavData::UtcDay, &GeoNavData::UtcHour,
                 &GeoNavData::UtcMinute, &GeoNavData::UtcSecond, &GeoNavData::SatellitesUsed, &GeoNavData::Latitude,
                 &GeoNavData::Longitude, &GeoNavData::AltitudeEllipsoid, &GeoNavData::AltitudeMsl,
                 &GeoNavData::MapDatum, &GeoNavData::SpeedOverGround, &GeoNavData::CourseOverGround,
                 &GeoNavData::MagneticVariation, &GeoNavData::ClimbRate, &GeoNavData::HeadingRate,
                 &GeoNavData::HorizontalPositionError, &GeoNavData::VerticalPositionError, &GeoNavData::TimeError,
                 &GeoNavData::HorizontalVelocityError, &GeoNavData::ClockBias, &GeoNavData::ClockBiasError,
                 &GeoNavData::ClockDrift, &GeoNavData::ClockDriftError, &GeoNavData::Distance,
                 &GeoNavData::DistanceError, &GeoNavData::HeadingError, &GeoNavData::SvCount, &GeoNavData::Hdop,
                 &GeoNavData::ModeInfo>>,
    MessageRow<IdRange{kFirstPassThroughId, kLastPassThroughId}, void, ModelUse::LogOnly, nullptr, UnreadBody>,
    MessageRow<MessageId::TtffReport, TtffReport, ModelUse::LogOnly, RenderTtffReport,
            Wire<SubId<&TtffReport::SubId, kTtffSubId>{}, &TtffReport::TimeToFirstFix, &TtffReport::TtffSinceAiding,
                 &TtffReport::TtffFirstNavigation, &TtffReport::PositionAidingErrorNorth,
                 &TtffReport::PositionAidingErrorEast, &TtffReport::PositionAidingErrorDown,
                 &TtffReport::TimeAidingError, &TtffReport::FrequencyAidingError, &TtffReport::HorizontalUncertainty,
                 &TtffReport::VerticalUncertainty, &TtffReport::TimeUncertainty, &TtffReport::FrequencyUncertainty,
                 &TtffReport::AidedEphemerisCount, &TtffReport::AidedAcquisitionCount, &TtffReport::NavigationMode,
                 &TtffReport::PositionMode, &TtffReport::Status, &TtffReport::StartMode, &TtffReport::Reserved>,
            NoteReportedTtff>,
    MessageRow<MessageId::DevelopmentText, void, ModelUse::Text, RenderReceiverText, TextBody>>;

// Something for every id: what `pick.template operator()<Row>()` gives for the id's row, a
// default-made T for an id without one.
template <class T, class Pick>
consteval std::array<T, 256> PerMessageId(Pick pick) {
    std::array<T, 256> table{};
    std::array<bool, 256> taken{};
    [&]<class... Rows>(MessageList<Rows...>) {
        (
            [&] {
                for (int id = Rows::ids.first; id <= Rows::ids.last; ++id) {
                    if (taken[static_cast<std::size_t>(id)]) throw "two rows for one id";
                    taken[static_cast<std::size_t>(id)] = true;
                    table[static_cast<std::size_t>(id)] = pick.template operator()<Rows>();
                }
            }(),
            ...);
    }(MessageTable{});
    return table;
}

inline constexpr auto kModelUses = PerMessageId<ModelUse>([]<class Row>() { return Row::model; });

constexpr ModelUse ModelUseOf(int id) {
    return id >= 0 && id < 256 ? kModelUses[static_cast<std::size_t>(id)] : ModelUse::LogOnly;
}

template <class Table>
struct KeptRecordsOf;
template <class... Rows>
struct KeptRecordsOf<MessageList<Rows...>> {
    using type = decltype(std::tuple_cat(
        std::declval<std::conditional_t<IsKept(Rows::model), std::tuple<typename Rows::Record>, std::tuple<>>>()...));
};

// The records the model keeps, one of each.
using KeptRecords = KeptRecordsOf<MessageTable>::type;

static_assert([]<class... Rows>(MessageList<Rows...>) { return (DescribesItsRecord<Rows>() && ...); }(MessageTable{}),
              "every body names its record's members, each once and in their order");

// The one id whose record is a `Record`.
template <class Record>
inline constexpr int kIdOfRecord = []<class... Rows>(MessageList<Rows...>) {
    int id = -1;
    int rows = 0;
    ((std::is_same_v<typename Rows::Record, Record> ? (id = Rows::ids.first, ++rows) : 0), ...);
    if (rows != 1) throw "a record of exactly one row";
    return id;
}(MessageTable{});

}  // namespace vexa
