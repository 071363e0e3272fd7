#include "receiver/binary/decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/result_codes.h"
#include "receiver/frames/byte_order.h"
#include "receiver/binary/message_writer.h"
#include "receiver/binary/records.h"

namespace vexa {
namespace {

// A payload of `length` bytes where every byte holds its own offset, so a field at wire offset w
// must decode to the big-endian value of the bytes w, w + 1, ...
std::vector<std::uint8_t> OffsetPattern(int id, std::size_t length) {
    std::vector<std::uint8_t> payload(length);
    for (std::size_t i = 0; i < length; ++i) payload[i] = static_cast<std::uint8_t>(i);
    payload[0] = static_cast<std::uint8_t>(id);
    return payload;
}
constexpr std::uint16_t At16(unsigned w) { return static_cast<std::uint16_t>(w << 8 | (w + 1)); }
constexpr std::uint32_t At32(unsigned w) { return std::uint32_t{At16(w)} << 16 | At16(w + 2); }

template <class Record>
Record Decode(const std::vector<std::uint8_t>& payload, DecodeResult* result = nullptr) {
    RecordBuffer buffer{};
    ReceiverContext context;
    const DecodeResult decoded = DecodeMessage(payload, buffer, context);
    EXPECT_EQ(decoded.code, kResultOk);
    if (result) *result = decoded;
    Record record;
    std::memcpy(&record, buffer.bytes, sizeof record);
    return record;
}

struct LengthCase {
    const char* legend;
    int id;
    std::size_t length;
    int secondByte;  // sub-id or entry count, -1 to keep the offset pattern
    LinkResult code;
    int reportedId;
    std::size_t recordLength;
};

TEST(DecodeMessage, ChecksEveryLayoutLength) {
    const LengthCase cases[] = {
        {"navigation", 2, 41, -1, kResultOk, 2, 44},
        {"navigation one short", 2, 40, -1, kResultBadLength, 0, 0},
        {"navigation one long", 2, 42, -1, kResultBadLength, 0, 0},
        {"tracker", 4, 188, -1, kResultOk, 4, 204},
        {"tracker one short", 4, 187, -1, kResultBadLength, 0, 0},
        {"raw track", 5, 51, -1, kResultOk, 5, 52},
        {"clock", 7, 20, -1, kResultOk, 7, 24},
        {"throughput", 9, 9, -1, kResultOk, 9, 8},
        {"ok to send", 18, 2, -1, kResultOk, 18, 1},
        {"ok to send without byte", 18, 1, -1, kResultBadLength, 0, 0},
        {"measurement", 28, 56, -1, kResultOk, 28, 72},
        {"message 29", 29, 26, -1, kResultOk, 29, 28},
        {"message 30", 30, 83, -1, kResultOk, 30, 96},
        {"message 31", 31, 84, -1, kResultOk, 31, 112},
        {"geodetic", 41, 91, -1, kResultOk, 41, 96},
        {"geodetic one short", 41, 90, -1, kResultBadLength, 0, 0},
        {"visible, no entries", 13, 2, 0, kResultOk, 13, 194},
        {"visible, 3 entries", 13, 17, 3, kResultOk, 13, 194},
        {"visible, 3 entries one short", 13, 16, 3, kResultBadLength, 0, 0},
        {"visible, 32 entries", 13, 162, 32, kResultOk, 13, 194},
        {"visible, 33 entries", 13, 167, 33, kResultBadLength, 0, 0},
        {"visible without count", 13, 1, -1, kResultBadLength, 0, 0},
        {"ttff", 225, 39, 6, kResultOk, 225, 40},
        {"ttff one short", 225, 38, 6, kResultBadLength, 0, 0},
        {"other sub-id", 225, 2, 5, kResultOk, 225, 0},
        {"other sub-id, longer", 225, 3, 5, kResultBadLength, 0, 0},
        {"sub-id missing", 225, 1, -1, kResultBadLength, 0, 0},
        {"empty version", 6, 1, -1, kResultOk, 6, 0},
        {"version", 6, 30, -1, kResultOk, 6, 29},
        {"development text", 255, 1014, -1, kResultOk, 255, 1013},
        {"text beyond the record buffer", 255, 1026, -1, kResultBadLength, 0, 0},
        {"copy type 180", 180, 20, -1, kResultOk, 180, 19},
        {"copy type 199 of 1025", 199, 1025, -1, kResultOk, 199, 1024},
        {"copy type beyond the record buffer", 199, 1026, -1, kResultUnknownId, 199, 0},
        {"subframe", 8, 43, -1, kResultOk, 8, 44},
        {"subframe one short", 8, 42, -1, kResultBadLength, 0, 0},
        {"acknowledgement", 11, 2, -1, kResultOk, 11, 1},
        {"refusal", 12, 2, -1, kResultOk, 12, 1},
        {"refusal without command id", 12, 1, -1, kResultBadLength, 0, 0},
        {"id 0", 0, 5, -1, kResultUnknownId, 0, 0},
        {"id 200", 200, 5, -1, kResultUnknownId, 200, 0},
    };
    for (const LengthCase& c : cases) {
        auto payload = OffsetPattern(c.id, c.length);
        if (c.secondByte >= 0) payload[1] = static_cast<std::uint8_t>(c.secondByte);
        RecordBuffer record{};
        ReceiverContext context;
        const DecodeResult result = DecodeMessage(payload, record, context);
        EXPECT_EQ(result.code, c.code) << c.legend;
        EXPECT_EQ(result.id, c.reportedId) << c.legend;
        EXPECT_EQ(result.recordLength, c.recordLength) << c.legend;
    }
}

// An error report carries its error id, its parameter count and that many 32-bit parameters.
TEST(DecodeMessage, ErrorReportsCarryAsManyParametersAsTheyCount) {
    struct Case {
        const char* legend;
        std::vector<std::uint8_t> payload;
        LinkResult code;
        std::uint16_t count;
        std::uint32_t last;  // the last parameter held
    };
    const Case cases[] = {
        {"no parameters", {10, 0x10, 0x08, 0, 0}, kResultOk, 0, 0},
        {"one parameter", {10, 0x10, 0x01, 0, 1, 0, 0, 0x01, 0xF4}, kResultOk, 1, 500},
        {"two parameters", {10, 0, 2, 0, 2, 0, 0, 0, 7, 0xFF, 0xFF, 0xFF, 0xFD}, kResultOk, 2, 0xFFFFFFFD},
        {"a parameter short of its count", {10, 0, 2, 0, 2, 0, 0, 0, 7}, kResultBadLength, 0, 0},
        {"a byte beyond its count", {10, 0x10, 0x08, 0, 0, 0}, kResultBadLength, 0, 0},
        {"no count", {10, 0x10, 0x08, 0}, kResultBadLength, 0, 0},
    };
    for (const Case& c : cases) {
        RecordBuffer buffer;
        std::memset(buffer.bytes, 0xAA, sizeof buffer.bytes);
        ReceiverContext context;
        const DecodeResult result = DecodeMessage(c.payload, buffer, context);
        ASSERT_EQ(result.code, c.code) << c.legend;
        if (result.code != kResultOk) continue;
        EXPECT_EQ(result.recordLength, sizeof(ErrorReport)) << c.legend;
        ErrorReport report;
        std::memcpy(&report, buffer.bytes, sizeof report);
        EXPECT_EQ(report.ErrorId, LoadBig16(&c.payload[1])) << c.legend;
        EXPECT_EQ(report.ParamCount, c.count) << c.legend;
        if (c.count > 0) EXPECT_EQ(report.Params[c.count - 1], c.last) << c.legend;
        EXPECT_EQ(report.Params[kErrorReportParams - 1], 0u) << c.legend << ": the parameters not sent read as 0";
    }
}

// More parameters than the longest text takes: the report is kept with the first eighteen.
TEST(DecodeMessage, ErrorReportKeepsTheParametersItsTextsTake) {
    std::vector<std::uint8_t> payload = {10, 0x10, 0x07, 0, 20};
    for (std::uint8_t p = 1; p <= 20; ++p) payload.insert(payload.end(), {0, 0, 0, p});
    const auto report = Decode<ErrorReport>(payload);
    EXPECT_EQ(report.ParamCount, kErrorReportParams);
    EXPECT_EQ(report.Params[kErrorReportParams - 1], 18u);
}

TEST(DecodeMessage, EmptyPayloadIsABadLength) {
    RecordBuffer record{};
    ReceiverContext context;
    const DecodeResult result = DecodeMessage({}, record, context);
    EXPECT_EQ(result.code, kResultBadLength);
    EXPECT_EQ(result.id, 0);
}

TEST(DecodeMessage, NavigationFieldsAtTheirOffsets) {
    const auto nav = Decode<NavData>(OffsetPattern(2, 41));
    EXPECT_EQ(nav.X, static_cast<std::int32_t>(At32(1)));
    EXPECT_EQ(nav.Y, static_cast<std::int32_t>(At32(5)));
    EXPECT_EQ(nav.Z, static_cast<std::int32_t>(At32(9)));
    EXPECT_EQ(nav.VX, static_cast<std::int16_t>(At16(13)));
    EXPECT_EQ(nav.VZ, static_cast<std::int16_t>(At16(17)));
    EXPECT_EQ(nav.Mode1, 19);
    EXPECT_EQ(nav.Hdop, 20);
    EXPECT_EQ(nav.Mode2, 21);
    EXPECT_EQ(nav.Week, At16(22));
    EXPECT_EQ(nav.Tow, At32(24));
    EXPECT_EQ(nav.SvCount, 28);
    EXPECT_EQ(nav.SvPrn[0], 29);
    EXPECT_EQ(nav.SvPrn[11], 40);
}

TEST(DecodeMessage, TrackerChannelsAtTheirOffsets) {
    const auto track = Decode<TrackData>(OffsetPattern(4, 188));
    EXPECT_EQ(track.Week, static_cast<std::int16_t>(At16(1)));
    EXPECT_EQ(track.Tow, At32(3));
    EXPECT_EQ(track.ChannelCount, 7);
    for (unsigned c : {0u, 5u, 11u}) {
        const TrackChannel& channel = track.Channels[c];
        const unsigned base = 8 + 15 * c;
        EXPECT_EQ(channel.Prn, base) << c;
        EXPECT_EQ(channel.Azimuth, base + 1) << c;
        EXPECT_EQ(channel.Elevation, base + 2) << c;
        EXPECT_EQ(channel.State, At16(base + 3)) << c;
        EXPECT_EQ(channel.Cn0[0], base + 5) << c;
        EXPECT_EQ(channel.Cn0[9], base + 14) << c;
    }
}

TEST(DecodeMessage, ClockAndThroughputFieldsAtTheirOffsets) {
    const auto clock = Decode<ClockStatus>(OffsetPattern(7, 20));
    EXPECT_EQ(clock.Week, At16(1));
    EXPECT_EQ(clock.TOW, At32(3));
    EXPECT_EQ(clock.SVCnt, 7);
    EXPECT_EQ(clock.ClockDrift, At32(8));
    EXPECT_EQ(clock.ClockBias, At32(12));
    EXPECT_EQ(clock.EstGPSTime, At32(16));

    const auto throughput = Decode<Throughput>(OffsetPattern(9, 9));
    EXPECT_EQ(throughput.SegStatMax, At16(1));
    EXPECT_EQ(throughput.NavComplete, At16(7));
}

TEST(DecodeMessage, RawTrackAndLibraryFieldsAtTheirOffsets) {
    const auto raw = Decode<RawTrackData>(OffsetPattern(5, 51));
    EXPECT_EQ(raw.State, At16(7));
    EXPECT_EQ(raw.DeltaCarrierPhase, static_cast<std::int32_t>(At32(29)));
    EXPECT_EQ(raw.Cn0[0], 35);
    EXPECT_EQ(raw.PhaseBadCount, 46);
    EXPECT_EQ(raw.CorrelationInterval, static_cast<std::int16_t>(At16(49)));

    const auto lib31 = Decode<NavLibInitialisation>(OffsetPattern(31, 84));
    EXPECT_EQ(lib31.Reserved12, static_cast<std::int16_t>(At16(37)));
    EXPECT_EQ(lib31.Week, static_cast<std::int16_t>(At16(72)));
    EXPECT_EQ(lib31.ClockDriftSource, 83);

    const auto lib30 = Decode<NavLibSatelliteState>(OffsetPattern(30, 83));
    EXPECT_EQ(lib30.EphemerisFlag, 70);
    std::uint32_t floatBits;
    std::memcpy(&floatBits, &lib30.IonosphericDelay, 4);
    EXPECT_EQ(floatBits, At32(79));
}

TEST(DecodeMessage, GeodeticFieldsAtTheirOffsets) {
    const auto geo = Decode<GeoNavData>(OffsetPattern(41, 91));
    EXPECT_EQ(geo.Tow, At32(7));
    EXPECT_EQ(geo.UtcSecond, At16(17));
    EXPECT_EQ(geo.AltitudeMsl, static_cast<std::int32_t>(At32(35)));
    EXPECT_EQ(geo.MapDatum, 39);
    EXPECT_EQ(geo.HeadingRate, static_cast<std::int16_t>(At16(48)));
    EXPECT_EQ(geo.HorizontalVelocityError, At16(62));
    EXPECT_EQ(geo.Distance, At32(80));
    EXPECT_EQ(geo.HeadingError, At16(86));
    EXPECT_EQ(geo.ModeInfo, 90);
}

TEST(DecodeMessage, DoubleTravelsLowWordFirst) {
    auto payload = OffsetPattern(28, 56);
    const std::uint8_t one[] = {0x00, 0x00, 0x00, 0x00, 0x3F, 0xF0, 0x00, 0x00};
    std::memcpy(&payload[7], one, sizeof one);
    const std::uint8_t minusHalf[] = {0xBF, 0x00, 0x00, 0x00};  // float -0.5
    std::memcpy(&payload[23], minusHalf, sizeof minusHalf);
    const auto measurement = Decode<NavLibMeasurement>(payload);
    EXPECT_EQ(measurement.GpsSoftwareTime, 1.0);
    EXPECT_EQ(measurement.CarrierFrequency, -0.5f);
    EXPECT_EQ(measurement.Channel, 1);
    EXPECT_EQ(measurement.TimeTag, At32(2));
    EXPECT_EQ(measurement.SvId, 6);
    EXPECT_EQ(measurement.TimeInTrack, At16(35));
    EXPECT_EQ(measurement.LowPowerCount, 55);
}

TEST(DecodeMessage, VisibleListHoldsItsEntriesAndZeroesTheRest) {
    const std::vector<std::uint8_t> payload = {13, 2, 7, 0x00, 0x5A, 0xFF, 0xFB, 31, 0x01, 0x0E, 0x00, 0x2D};
    RecordBuffer buffer;
    std::memset(buffer.bytes, 0xAA, sizeof buffer.bytes);
    ReceiverContext context;
    ASSERT_EQ(DecodeMessage(payload, buffer, context).code, kResultOk);
    VisibleList list;
    std::memcpy(&list, buffer.bytes, sizeof list);
    EXPECT_EQ(list.Count, 2);
    EXPECT_EQ(list.Satellites[0].SvId, 7);
    EXPECT_EQ(list.Satellites[0].Azimuth, 90);
    EXPECT_EQ(list.Satellites[0].Elevation, -5);
    EXPECT_EQ(list.Satellites[1].SvId, 31);
    EXPECT_EQ(list.Satellites[1].Azimuth, 270);
    EXPECT_EQ(list.Satellites[1].Elevation, 45);
    EXPECT_EQ(list.Satellites[2].SvId, 0);
    EXPECT_EQ(list.Satellites[31].Elevation, 0);
}

TEST(DecodeMessage, TtffReportSetsTheContextText) {
    auto payload = OffsetPattern(225, 39);
    payload[1] = 6;
    payload[2] = 0x04;  // 1234 tenths
    payload[3] = 0xD2;
    RecordBuffer buffer{};
    ReceiverContext context;
    ASSERT_EQ(DecodeMessage(payload, buffer, context).code, kResultOk);
    EXPECT_EQ(context.Ttff.text(), "123.4 sec");
    EXPECT_TRUE(context.Ttff.changed());
    ASSERT_TRUE(context.Ttff.seconds());
    EXPECT_DOUBLE_EQ(context.Ttff.seconds()->seconds, 123.4);
    EXPECT_EQ(context.Ttff.seconds()->source, TtffSource::Receiver);
    TtffReport report;
    std::memcpy(&report, buffer.bytes, sizeof report);
    EXPECT_EQ(report.SubId, 6);
    EXPECT_EQ(report.TimeToFirstFix, 1234);
    EXPECT_EQ(report.TimeAidingError, static_cast<std::int32_t>(At32(20)));
    EXPECT_EQ(report.PositionMode, 34);
    EXPECT_EQ(report.Status, static_cast<std::int16_t>(At16(35)));
    EXPECT_EQ(report.Reserved, 38);
}

TEST(DecodeMessage, RefusedTtffLeavesTheContextAlone) {
    ReceiverContext context;
    RecordBuffer buffer{};
    auto shortReport = OffsetPattern(225, 38);
    shortReport[1] = 6;
    EXPECT_EQ(DecodeMessage(shortReport, buffer, context).code, kResultBadLength);
    EXPECT_EQ(DecodeMessage(std::vector<std::uint8_t>{225, 5}, buffer, context).code, kResultOk);
    EXPECT_FALSE(context.Ttff.changed());
    EXPECT_EQ(context.Ttff.text(), "");
}

TEST(DecodeMessage, DiagnosticFieldsAtTheirOffsets) {
    const auto subframe = Decode<SubframeData>(OffsetPattern(8, 43));
    EXPECT_EQ(subframe.Channel, 1);
    EXPECT_EQ(subframe.SvId, 2);
    EXPECT_EQ(subframe.Words[0], At32(3));
    EXPECT_EQ(subframe.Words[9], At32(39));

    auto reportPayload = OffsetPattern(10, 25);
    reportPayload[3] = 0;  // five parameters
    reportPayload[4] = 5;
    const auto report = Decode<ErrorReport>(reportPayload);
    EXPECT_EQ(report.ErrorId, At16(1));
    EXPECT_EQ(report.ParamCount, 5);
    EXPECT_EQ(report.Params[0], At32(5));
    EXPECT_EQ(report.Params[4], At32(21));

    EXPECT_EQ(Decode<CommandReply>({11, 0x84}).MessageId, 0x84);
    EXPECT_EQ(Decode<CommandReply>(ReplyPayload(false, 0x80)).MessageId, 0x80);
    EXPECT_EQ(ReplyPayload(false, 0x80)[0], 12);
}

// Wire -> record -> wire must give back every byte, for random bodies of every layout.
TEST(MessageWriter, RoundTripsEveryDecodedMessage) {
    struct Shape {
        int id;
        std::size_t length;
        int secondByte;
    };
    const Shape shapes[] = {{2, 41, -1},  {4, 188, -1}, {5, 51, -1},   {7, 20, -1},   {9, 9, -1},
                            {13, 2, 0},   {13, 27, 5},  {13, 162, 32}, {18, 2, -1},   {28, 56, -1},
                            {29, 26, -1}, {30, 83, -1}, {31, 84, -1},  {41, 91, -1},  {225, 39, 6},
                            {6, 40, -1},  {6, 1, -1},   {185, 300, -1}, {255, 1014, -1}, {8, 43, -1},
                            {10, 5, -1},  {10, 25, -1}, {10, 77, -1}, {11, 2, -1},  {12, 2, -1}};
    std::mt19937 random(7);
    for (const Shape& shape : shapes) {
        for (int trial = 0; trial < 8; ++trial) {
            std::vector<std::uint8_t> payload(shape.length);
            for (auto& byte : payload) byte = static_cast<std::uint8_t>(random());
            payload[0] = static_cast<std::uint8_t>(shape.id);
            if (shape.secondByte >= 0) payload[1] = static_cast<std::uint8_t>(shape.secondByte);
            if (shape.id == 10) {  // the parameter count the length carries
                payload[3] = 0;
                payload[4] = static_cast<std::uint8_t>((shape.length - 5) / 4);
            }
            RecordBuffer record{};
            ReceiverContext context;
            const DecodeResult decoded = DecodeMessage(payload, record, context);
            ASSERT_EQ(decoded.code, kResultOk) << shape.id;
            std::vector<std::uint8_t> written(1100);
            written.resize(WriteMessage(shape.id, std::span(record.bytes, decoded.recordLength), written));
            EXPECT_EQ(written, payload) << shape.id << " length " << shape.length;
        }
    }
}

TEST(MessageWriter, TypedPayloadsDecodeToTheSameRecord) {
    const NavData nav{-1288000, 0, 0, 0, -12, 0, 0, 5, 0, 0, 4000000000u, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 32}};
    EXPECT_EQ(MessagePayload(nav).size(), 41u);
    const auto back = Decode<NavData>(MessagePayload(nav));
    EXPECT_EQ(back.X, -1288000);
    EXPECT_EQ(back.VY, -12);
    EXPECT_EQ(back.Hdop, 5);
    EXPECT_EQ(back.Tow, 4000000000u);
    EXPECT_EQ(back.SvPrn[11], 32);

    NavLibMeasurement measurement{};
    measurement.GpsSoftwareTime = 1.0;
    const auto wire = MessagePayload(measurement);
    const std::vector<std::uint8_t> one = {0x00, 0x00, 0x00, 0x00, 0x3F, 0xF0, 0x00, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(wire.begin() + 7, wire.begin() + 15), one);

    EXPECT_EQ(TextPayload(255, "$GPGGA\r\n").size(), 9u);
    EXPECT_TRUE(TextPayload(42, "x").empty());
    EXPECT_EQ(SubIdPayload(5), (std::vector<std::uint8_t>{225, 5}));
}

TEST(MessageWriter, RefusesWhatItCannotWrite) {
    std::uint8_t record[44] = {};
    std::uint8_t small[40];
    std::uint8_t large[64];
    EXPECT_EQ(WriteMessage(2, record, small), 0u);
    EXPECT_EQ(WriteMessage(2, std::span(record, 43), large), 0u);
    EXPECT_EQ(WriteMessage(77, record, large), 0u);
    EXPECT_EQ(WriteMessage(2, record, large), 41u);
}

}  // namespace
}  // namespace vexa
