#include "receiver/binary/renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/result_codes.h"
#include "receiver/binary/decoder.h"
#include "receiver/binary/records.h"

namespace vexa {
namespace {

// The line buffer sits between guard bytes, so any write outside it shows.
struct GuardedLine {
    static constexpr char kGuard = '#';
    std::array<char, 16> before;
    std::array<char, kRenderBufferSize> line;
    std::array<char, 16> after;

    GuardedLine() {
        before.fill(kGuard);
        line.fill('?');
        after.fill(kGuard);
    }
    bool guardsIntact() const {
        for (char c : before) if (c != kGuard) return false;
        for (char c : after) if (c != kGuard) return false;
        return true;
    }
};

template <class Record>
std::string Render(int id, const Record& record, std::size_t length = sizeof(Record)) {
    GuardedLine out;
    const LinkResult code = RenderMessage(id, reinterpret_cast<const std::uint8_t*>(&record), length, out.line.data());
    EXPECT_EQ(code, kResultOk) << id;
    EXPECT_TRUE(out.guardsIntact()) << id;
    return std::string(out.line.data(), strnlen(out.line.data(), out.line.size()));
}

std::string RenderText(int id, std::string_view text) {
    GuardedLine out;
    EXPECT_EQ(RenderMessage(id, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), out.line.data()),
              kResultOk);
    EXPECT_TRUE(out.guardsIntact());
    return out.line.data();
}

TEST(RenderMessage, NavigationLine) {
    const NavData nav{-2430000, -4703000, 3544000, -8, 12, -1, 0x84, 5, 1, 1234, 4000000000u, 7,
                      {3, 6, 9, 12, 15, 18, 21}};
    EXPECT_EQ(Render(2, nav),
              "2,-2430000,-4703000,3544000,-1.000,1.500,-0.125,132,1.0,1,1234,4000000000,7,3,6,9,12,15,18,21,0,0,0,0,0");
}

TEST(RenderMessage, TrackerLineTruncatesScaledAngles) {
    TrackData track{};
    track.Week = 1234;
    track.Tow = 36000000;
    track.ChannelCount = 12;
    TrackChannel& first = track.Channels[0];
    first.Prn = 5;
    first.Azimuth = 3;
    first.Elevation = 1;
    first.State = 0xBF;
    for (int i = 0; i < 10; ++i) first.Cn0[i] = static_cast<std::uint8_t>(40 + i);
    TrackChannel& second = track.Channels[1];
    second.Prn = 17;
    second.Azimuth = 255;
    second.Elevation = 179;
    std::string expected = "4,1234,36000000,12,5,4,0,191,40,41,42,43,44,45,46,47,48,49,17,382,89,0";
    expected += ",0,0,0,0,0,0,0,0,0,0";
    for (int c = 2; c < 12; ++c) expected += ",0,0,0,0,0,0,0,0,0,0,0,0,0,0";
    EXPECT_EQ(Render(4, track), expected);
}

TEST(RenderMessage, LongestTrackerLineFits) {
    TrackData track;
    std::memset(&track, 0xFF, sizeof track);
    track.Week = -32768;
    const std::string line = Render(4, track);
    EXPECT_EQ(line.size(), 719u);
    EXPECT_EQ(line.substr(0, 42), "4,-32768,4294967295,255,255,382,127,65535,");
}

TEST(RenderMessage, RawTrackLinePrintsStateInHex) {
    RawTrackData raw{3, 14, 0xB, -1, 19, 1022, 123456, -2500, 99, 7, 2, {44}, 1, 2, -3, 1000};
    EXPECT_EQ(Render(5, raw), "5,3,14,0b,-1,19,1022,123456,-2500,99,7,2,44,0,0,0,0,0,0,0,0,0,1,2,-3,1000");
    raw.State = 0xABCD;
    EXPECT_NE(Render(5, raw).find(",14,abcd,"), std::string::npos);
}

TEST(RenderMessage, VersionTextStopsAtTerminatorOrRecordEnd) {
    const char terminated[] = "VX 1.2.3\0garbage";
    EXPECT_EQ(RenderText(6, std::string_view(terminated, sizeof terminated)), "SW Version: VX 1.2.3");
    const char unterminated[] = "VX 4.5.6TAIL";
    EXPECT_EQ(RenderText(6, std::string_view(unterminated, 8)), "SW Version: VX 4.5.6");
    const std::string longest(1013, 'v');
    EXPECT_EQ(RenderText(6, longest), "SW Version: " + longest);
}

TEST(RenderMessage, LabelledLines) {
    ClockStatus clock{1234, 4294967295u, 8, 96000, 100000, 12};
    EXPECT_EQ(Render(7, clock),
              "Week:1234  TOW:4294967295  EstGPSTime:12 ms  SVCnt:8  Clock Drift:96000 Hz  Clock Bias:100000 ns");

    Throughput throughput{12, 5, 123, 45};
    EXPECT_EQ(Render(9, throughput), "ThrPut(186=1ms): Latency:005 SegStatMax:012 AveTrkTime:123 Nav Complete:0045 ms");

    EXPECT_EQ(Render(18, OkToSendRecord{2}), "OkToSend: 1");
    EXPECT_EQ(Render(18, OkToSendRecord{0}), "OkToSend: 0");
}

TEST(RenderMessage, VisibleList) {
    VisibleList list{};
    EXPECT_EQ(Render(13, list), "Visible List\n");
    list.Count = 2;
    list.Satellites[0] = {7, 90, -5};
    list.Satellites[1] = {131, 1359, 45};
    EXPECT_EQ(Render(13, list), "Visible List\nSVID:07  Az:090  El:-05\nSVID:131  Az:1359  El:045\n");
}

TEST(RenderMessage, LongestVisibleListFitsAndCountIsCapped) {
    VisibleList list{};
    list.Count = 255;
    for (auto& satellite : list.Satellites) satellite = {255, -32768, -32768};
    const std::string line = Render(13, list);
    EXPECT_EQ(line.size(), 13u + 32u * 31u);
}

TEST(RenderMessage, NavLibraryLines) {
    const NavLibMeasurement measurement{
        1, 4294967295u, 6, 1.0, 2.0e7, -0.5f, 0.0, 300, 3, {0, 0, 0, 0, 0, 0, 0, 0, 0, 40}, 65535, -1, 2, 4, 5};
    EXPECT_EQ(Render(28, measurement),
              "28,1,4294967295,6,1.0000000000e+00,2.0000000000e+07,-5.0000000000e-01,0.0000000000e+00,300,3,"
              "0,0,0,0,0,0,0,0,0,40,65535,-1,2,4,5");

    NavLibDgpsData lib29{-1, 2, 3, 1.0f, 0.25f, 0, {0, -2.0f}};
    EXPECT_EQ(Render(29, lib29),
              "29,-1,2,3,1.0000000000e+00,2.5000000000e-01,0.0000000000e+00,0.0000000000e+00,-2.0000000000e+00");

    const NavLibSatelliteState lib30{1, 1.0, {0, 0, 0}, {0, 0, 3.0}, -4.0, 0.5f, 9, {0, 0}, 8.0f};
    const std::string zero = ",0.0000000000e+00";
    EXPECT_EQ(Render(30, lib30), "30,1,1.00000000000e+00" + zero + zero + zero + zero + zero +
                                     ",3.0000000000e+00,-4.0000000000e+00,5.0000000000e-01,9" + zero + zero +
                                     ",8.0000000000e+00");
}

TEST(RenderMessage, NavLibrary31KeepsWireOrder) {
    NavLibInitialisation lib31{};
    lib31.Reserved1 = 1;
    lib31.AltitudeSource = 3;
    lib31.Altitude = 0.25f;
    lib31.DegradedMode = 8;
    lib31.DegradedTimeout = -9;
    lib31.Reserved12 = -37;
    lib31.PositionX = 39.0;
    lib31.PositionSource = 63;
    lib31.GpsTime = -64.0;
    lib31.Week = -72;
    lib31.TimeSource = 74;
    lib31.ClockDrift = 75.0;
    lib31.ClockDriftSource = 83;
    EXPECT_EQ(Render(31, lib31),
              "31,1,0,3,2.5000000000e-01,8,-9,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,-37,3.9000000000e+01,"
              "0.0000000000e+00,0.0000000000e+00,63,-6.4000000000e+01,-72,74,7.5000000000e+01,83");
}

TEST(RenderMessage, GeodeticLinePrintsRecordValues) {
    GeoNavData geo{};
    geo.NavValid = 1;
    geo.Tow = 4294967295u;
    geo.UtcMonth = 255;
    geo.Latitude = -2147483647 - 1;
    geo.AltitudeMsl = 35;
    geo.MagneticVariation = -44;
    geo.HeadingRate = 48;
    geo.ClockBias = -64;
    geo.Distance = 80;
    geo.ModeInfo = 90;
    EXPECT_EQ(Render(41, geo),
              "41,1,0,0,4294967295,0,255,0,0,0,0,0,-2147483648,0,0,35,0,0,0,-44,0,48,0,0,0,0,-64,0,0,0,80,0,0,0,0,90");
}

TEST(RenderMessage, TtffReportOnlyForSubId6) {
    TtffReport report{};
    report.SubId = 6;
    report.TimeToFirstFix = 1234;
    report.NavigationMode = 33;
    report.PositionMode = 34;
    report.Status = -1;
    EXPECT_EQ(Render(225, report), "225,6,1234,33,34,4294967295");

    GuardedLine out;
    EXPECT_EQ(RenderMessage(225, reinterpret_cast<const std::uint8_t*>(&report), 0, out.line.data()),
              kResultBadLength);
    EXPECT_EQ(out.line[0], '?');
}

TEST(RenderMessage, ReceiverTextPassesThrough) {
    EXPECT_EQ(RenderText(255, "$GPGGA,123519,4807.038,N*47\r\n"), "$GPGGA,123519,4807.038,N*47  ");
    EXPECT_EQ(RenderText(255, std::string_view("AB\0CD", 5)), "   AB");
    EXPECT_EQ(RenderText(255, ""), "");
    EXPECT_EQ(RenderText(255, std::string(1100, 't')).size(), kRenderBufferSize - 1);
}

TEST(RenderMessage, SubframeWords) {
    SubframeData subframe{3, 17, {0x1234, 0xDEADBEEF}};
    EXPECT_EQ(Render(8, subframe), ": 03 17 1234     deadbeef 0        0        0        0        0        0        "
                                   "0        0        ");
    subframe.SvId = 0;
    GuardedLine out;
    EXPECT_EQ(RenderMessage(8, reinterpret_cast<const std::uint8_t*>(&subframe), sizeof subframe, out.line.data()),
              kResultBadLength);
    EXPECT_EQ(out.line[0], '?');
}

TEST(RenderMessage, ErrorReports) {
    struct Case {
        std::uint16_t errorId;
        std::vector<std::uint32_t> params;
        const char* expected;
    };
    const Case cases[] = {
        {2, {5, 3}, "Bad parity from SV 05, subframe 3"},
        {8, {0xFFFFFFFF, 100}, "KFDBG @-1: Bad altitude = 100"},
        {13, {1, 0x80000000, 3}, "SRAM: Bad position during startup, x:1 y:-2147483648 z:3"},
        {4097, {0xFFFFFFFF}, "VCO lock lost in 4294967295 msec"},
        {4100, {7, 2, static_cast<std::uint32_t>(-300)}, "Kalman Filter @7: Kill chan 02, range res=-300"},
        {4103, {1, 2, 3, 4, 5},
         "Krause solution poor:\nPOS = 1 2 3 PR = 4 5 0\nSAT1= 0 0 0\nSAT2= 0 0 0\nSAT3= 0 0 0\nSAT4= 0 0 0"},
        {4103, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18},
         "Krause solution poor:\nPOS = 1 2 3 PR = 4 5 6\nSAT1= 7 8 9\nSAT2= 10 11 12\nSAT3= 13 14 15\nSAT4= 16 17 18"},
        {4104, {}, "SRAM control flags contain bad checksum"},
        {2, {5}, "Bad parity from SV 05, subframe 0"},
        {999, {}, "Error in unknown format: err_id=3e7 params: 0 0 0 0 0"},
        {8194, {12, 40}, "OSOR #12 (40 ms)"},
        {8195, {0xDEADBEEF}, "Memory test failed at 0xdeadbeef"},
        {999, {1, 2, 3, 4, 0xFFFFFFFF}, "Error in unknown format: err_id=3e7 params: 1 2 3 4 ffffffff"},
    };
    for (const Case& c : cases) {
        ErrorReport report{};
        report.ErrorId = c.errorId;
        report.ParamCount = static_cast<std::uint16_t>(c.params.size());
        std::copy(c.params.begin(), c.params.end(), report.Params);
        EXPECT_EQ(Render(10, report), c.expected) << c.errorId;
    }
}

TEST(RenderMessage, CommandReplies) {
    EXPECT_EQ(Render(11, CommandReply{0xA6}), "Ack: 0xA6");
    EXPECT_EQ(Render(12, CommandReply{5}), "Nak: 0x05");
}

TEST(RenderMessage, NoRenderingLeavesTheBufferUntouched) {
    const std::uint8_t record[RecordBuffer::kSize] = {};
    struct Case {
        int id;
        std::size_t length;
    };
    // Ids without a rendering, and records shorter than their layout.
    const Case cases[] = {{0, 10}, {3, 10}, {180, 10}, {199, 10}, {200, 10}, {2, 43}, {4, 203},
                          {7, 0},  {13, 193}, {41, 95}, {10, 23},  {11, 0},   {18, 0}, {28, 71}};
    for (const Case& c : cases) {
        GuardedLine out;
        EXPECT_EQ(RenderMessage(c.id, record, c.length, out.line.data()), kResultBadLength) << c.id;
        EXPECT_EQ(out.line[0], '?') << c.id;
        EXPECT_TRUE(out.guardsIntact());
    }
}

// Whatever the record holds, every line stays inside the buffer.
TEST(RenderMessage, AnyRecordContentFits) {
    const int ids[] = {2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 18, 28, 29, 30, 31, 41, 225, 255};
    for (std::uint8_t fill : {0x00, 0x7F, 0x80, 0xFF, 0x0A}) {
        std::uint8_t record[RecordBuffer::kSize];
        std::memset(record, fill, sizeof record);
        record[0] = fill == 0 ? 6 : fill;  // lets 225 render
        for (int id : ids) {
            GuardedLine out;
            const LinkResult code = RenderMessage(id, record, sizeof record, out.line.data());
            if (code != kResultOk) continue;
            EXPECT_TRUE(out.guardsIntact()) << id;
            EXPECT_LT(strnlen(out.line.data(), out.line.size()), kRenderBufferSize) << id;
        }
    }
}

}  // namespace
}  // namespace vexa
