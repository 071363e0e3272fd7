#include "cli/decode_command.h"

#include <gtest/gtest.h>

#include <ogrsf_frmts.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "receiver/binary/message_writer.h"
#include "receiver/product/receiver_context.h"
#include "sim/sample_capture.h"
#include "support/captured_stream.h"
#include "support/frame_bytes.h"
#include "support/log_file_text.h"
#include "support/nmea_text.h"

namespace vexa {
namespace {

using test::Bytes;
using test::DigitsMasked;
using test::Frame;
using test::Join;
using test::ReadFile;
using test::Text;

struct Outcome {
    int code;
    std::string output;
    std::string errors;
};

// Runs the command with `input` as standard input.
Outcome RunCli(const std::vector<std::string>& arguments, Bytes input = {}) {
    input.push_back(0);  // fmemopen wants a non-empty buffer; the size excludes this byte
    std::FILE* in = fmemopen(input.data(), input.size() - 1, "rb");
    test::CapturedStream out;
    test::CapturedStream err;
    const int code = RunDecodeCommand(arguments, in, out.file(), err.file());
    std::fclose(in);
    return Outcome{code, out.text(), err.text()};
}

TEST(DecodeCommand, Options) {
    struct Case {
        std::vector<std::string> arguments;
        bool valid;
        std::string path;
        int product;
    };
    const Case cases[] = {
        {{"--decode", "a.bin"}, true, "a.bin", kKestrel},
        {{"--decode", "-", "--product", "osprey"}, true, "-", kOsprey},
        {{"--product", "merlin", "--decode", "x"}, true, "x", kMerlin},
        {{"--product", "kestrel", "--decode", "x"}, true, "x", kKestrel},
        {{}, false, "", 0},
        {{"--decode"}, false, "", 0},
        {{"--decode", "x", "--product"}, false, "", 0},
        {{"--decode", "x", "--product", "harrier"}, false, "", 0},
        {{"--decode", "x", "--decode", "y"}, false, "", 0},
        {{"--decode", "x", "--verbose"}, false, "", 0},
        {{"--decode", "x", "--log"}, false, "", 0},
        {{"--decode", "x", "--log", "a.gps", "--log", "b.gps"}, false, "", 0},
    };
    for (const Case& c : cases) {
        std::string error;
        const std::optional<DecodeOptions> options = ParseDecodeOptions(c.arguments, error);
        ASSERT_EQ(options.has_value(), c.valid) << ::testing::PrintToString(c.arguments);
        if (!c.valid) {
            EXPECT_NE(error.find("usage: vexademo-cli --decode FILE"), std::string::npos);
            continue;
        }
        EXPECT_EQ(options->path, c.path);
        EXPECT_EQ(options->product, c.product);
    }
    std::string error;
    EXPECT_EQ(ParseDecodeOptions({"--log", "run.gps", "--decode", "x"}, error)->logPath, "run.gps");
}

TEST(DecodeCommand, PrintsRenderedLinesAndCounts) {
    const Bytes capture = Join({Text("$GPGSA,A,3*00\r\n"), Frame(Join({Bytes{0xFF}, Text("dev text")})),
                                Frame(Bytes{0x12, 0x01}, 0xB2), Frame(Bytes{0x08, 0x01}), Frame(Bytes{0x12, 0x01}),
                                Text("garbage")});
    const Outcome outcome = RunCli({"--decode", "-"}, capture);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.output, "$GPGSA,A,3*00  \ndev text\nOkToSend: 1\n");
    EXPECT_EQ(outcome.errors, "bytes " + std::to_string(capture.size()) +
                                  ", frames 3, sentences 1, dropped 2 (bad checksum 1, bad length 1)\n");
}

// Frames of ids nobody knows are printed where they came, with --unknown, and always counted by id.
TEST(DecodeCommand, UnknownIdsAreShownAndCounted) {
    const Bytes capture = Join({Frame(Bytes{77, 1, 2, 3, 4, 5}), Frame(Bytes{0x12, 0x01}), Frame(Bytes{0x12, 0x01}, 0x100),
                                Frame(Bytes{201}), Frame(Bytes{77, 0xFE}), Frame(Bytes{0x0B, 0x84})});
    const std::string counts = "bytes " + std::to_string(capture.size()) +
                               ", frames 5, sentences 0, dropped 4 (bad checksum 1, bad length 0, unknown MID 77: 2, "
                               "unknown MID 201: 1)\n";
    const Outcome shown = RunCli({"--decode", "-", "--unknown"}, capture);
    EXPECT_EQ(shown.code, 0);
    EXPECT_EQ(shown.output,
              "Unknown MID 77, 5 bytes: 01 02 03 04 05\nOkToSend: 1\nUnknown MID 201, 0 bytes\n"
              "Unknown MID 77, 1 byte: FE\nAck: 0x84\n");
    EXPECT_EQ(shown.errors, counts);

    const Outcome quiet = RunCli({"--decode", "-"}, capture);
    EXPECT_EQ(quiet.output, "OkToSend: 1\nAck: 0x84\n");
    EXPECT_EQ(quiet.errors, counts);

    // The output of --json holds only JSON; the lines go with the counts.
    const Outcome json = RunCli({"--decode", "-", "--unknown", "--json"}, capture);
    EXPECT_EQ(json.output, "");
    EXPECT_EQ(json.errors, "Unknown MID 77, 5 bytes: 01 02 03 04 05\nUnknown MID 201, 0 bytes\n"
                           "Unknown MID 77, 1 byte: FE\n" + counts);
}

TEST(DecodeCommand, OspreyChannels) {
    const Bytes capture = Join({Frame(Join({Bytes{0xDD}, Text("$GPRMC\r\n")})), Frame(Bytes{0xEE, 0x12, 0x00}),
                                Frame(Bytes{0x01, 0x02, 0x03}), Frame(Bytes{0x00, 0x12, 0x00})});
    const Outcome outcome = RunCli({"--product", "osprey", "--decode", "-"}, capture);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.output, "$GPRMC  \nOkToSend: 0\n");
    EXPECT_EQ(outcome.errors, "bytes " + std::to_string(capture.size()) +
                                  ", frames 4, sentences 0, dropped 1 (bad checksum 0, bad length 0, unknown channel 1)\n");
}

TEST(DecodeCommand, FailsClearly) {
    const Outcome missing = RunCli({"--decode", "/nonexistent/capture.bin"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.errors, "vexademo-cli: cannot read /nonexistent/capture.bin: No such file or directory\n");
    const Outcome directory = RunCli({"--decode", VEXA_SOURCE_DIR});
    EXPECT_EQ(directory.code, 1);
    EXPECT_NE(directory.errors.find("cannot read"), std::string::npos);
    const Outcome badOption = RunCli({"--decode", "-", "--speed"});
    EXPECT_EQ(badOption.code, 1);
    EXPECT_NE(badOption.errors.find("unknown option '--speed'"), std::string::npos);
    EXPECT_EQ(badOption.output, "");
    const Outcome otherMode = RunCli({"--decode", "-", "--port", "/dev/x"});
    EXPECT_EQ(otherMode.code, 1);
    EXPECT_NE(otherMode.errors.find("--port cannot be used with --decode"), std::string::npos);
}

// A full disk under the output is a failure with its reason, not a decode that seems to have worked.
TEST(DecodeCommand, OutputThatCannotBeWrittenFails) {
    const Bytes capture = Join({Frame(Bytes{0x12, 0x01}), Text("$GPGSA,A,3*00\r\n")});
    Bytes input = capture;
    input.push_back(0);
    std::FILE* in = fmemopen(input.data(), capture.size(), "rb");
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    char* errText = nullptr;
    std::size_t errSize = 0;
    std::FILE* err = open_memstream(&errText, &errSize);
    EXPECT_EQ(RunDecodeCommand({"--decode", "-"}, in, full, err), 1);
    std::fclose(in);
    std::fclose(full);
    std::fclose(err);
    EXPECT_EQ(std::string(errText, errSize), "vexademo-cli: cannot write the output: No space left on device\n");
    std::free(errText);
}

TEST(DecodeCommand, WritesTheDataLogBetweenBannerAndClosingLine) {
    const std::string log = ::testing::TempDir() + "decode_command_test.gps";
    const Bytes capture = Join({Text("$GPGSA,A,3*00\r\n"), Frame(Bytes{0x12, 0x01}), Frame(Bytes{0xB4, 0x05})});
    const Outcome outcome = RunCli({"--decode", "-", "--log", log}, capture);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(DigitsMasked(ReadFile(log)),
              "VexaDemoPPC Version #.## log file opened ##/##/#### ##:##:##\r\n\r\n"
              "$GPGSA,A,#*##  \r\nOkToSend: #\r\n"
              "\r\nLog file closed ##/##/#### ##:##:##\r\n");
    std::remove(log.c_str());
}

TEST(DecodeCommand, LogProblemsAreReported) {
    const Outcome uncreatable = RunCli({"--decode", "-", "--log", "/nonexistent/run.gps"}, Text("$GPGSA*00\r\n"));
    EXPECT_EQ(uncreatable.code, 1);
    EXPECT_EQ(uncreatable.output, "");
    EXPECT_NE(uncreatable.errors.find("cannot create /nonexistent/run.gps"), std::string::npos);
    const Outcome full = RunCli({"--decode", "-", "--log", "/dev/full"}, Text("$GPGSA*00\r\n"));
    EXPECT_EQ(full.code, 1);
    EXPECT_EQ(full.output, "$GPGSA*00  \n");
    EXPECT_EQ(full.errors.find("vexademo-cli: Disk is full. Log file will be closed.\n"), 0u) << full.errors;
    EXPECT_NE(full.errors.find("vexademo-cli: the data log /dev/full is incomplete\n"), std::string::npos) << full.errors;
}

// The standard output of a shell command, and whether it succeeded.
std::pair<bool, std::string> Shell(const std::string& command) {
    std::string text;
    std::FILE* pipe = popen(command.c_str(), "r");
    char buffer[256];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, read);
    return {pclose(pipe) == 0, text};
}

// The sample capture (binary and NMEA fixes) as a track: a well-formed GPX 1.1 document that
// GDAL's GPX driver reads back point for point, with every field a fix had.
TEST(DecodeCommand, TheTrackOfACaptureIsGpxThatGdalReads) {
    const std::string gpx = ::testing::TempDir() + "decode_command_track.gpx";
    const Outcome outcome = RunCli({"--decode", "-", "--gpx", gpx}, MakeSampleCapture());
    ASSERT_EQ(outcome.code, 0) << outcome.errors;

    ASSERT_TRUE(Shell("xmllint --noout " + gpx + " 2>&1").first) << Shell("xmllint --noout " + gpx + " 2>&1").second;
    const auto [found, count] =
        Shell("xmllint --xpath \"count(/*[local-name()='gpx'][@version='1.1']/*[local-name()='trk']"
              "/*[local-name()='trkseg']/*[local-name()='trkpt'])\" " + gpx);
    ASSERT_TRUE(found);
    const int points = std::stoi(count);
    EXPECT_GT(points, 100);

    GDALAllRegister();
    const char* const gpxOnly[] = {"GPX", nullptr};
    GDALDataset* dataset = GDALDataset::Open(gpx.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, gpxOnly);
    ASSERT_NE(dataset, nullptr);
    OGRLayer* layer = dataset->GetLayerByName("track_points");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->GetFeatureCount(), points);
    int threeD = 0;
    layer->ResetReading();
    while (OGRFeature* feature = layer->GetNextFeature()) {
        const auto* point = feature->GetGeometryRef()->toPoint();
        EXPECT_NEAR(point->getY(), 37.3875, 0.01);
        EXPECT_NEAR(point->getX(), -121.972, 0.01);
        EXPECT_TRUE(feature->IsFieldSetAndNotNull(feature->GetFieldIndex("time")));
        EXPECT_TRUE(feature->IsFieldSetAndNotNull(feature->GetFieldIndex("ele")));
        EXPECT_GT(feature->GetFieldAsInteger("sat"), 3);
        EXPECT_GT(feature->GetFieldAsDouble("hdop"), 0.0);
        threeD += std::string(feature->GetFieldAsString("fix")) == "3d" ? 1 : 0;
        OGRFeature::DestroyFeature(feature);
    }
    EXPECT_EQ(threeD, points);
    GDALClose(dataset);
    std::remove(gpx.c_str());
}

// A track that cannot be written is said before the capture is read, or, when the disk is full,
// at the end; nothing is left behind that looks like a track.
TEST(DecodeCommand, ATrackThatCannotBeWrittenIsReported) {
    const Bytes capture = Frame(Bytes{0x12, 0x01});
    const std::string folder = ::testing::TempDir() + "decode_command_no_such_folder";
    const Outcome missing = RunCli({"--decode", "-", "--gpx", folder + "/t.gpx"}, capture);
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.output, "");
    EXPECT_EQ(missing.errors, "vexademo-cli: cannot write the track " + folder + "/t.gpx: the folder " + folder +
                                  " does not exist\n");

    const Outcome folderItself = RunCli({"--decode", "-", "--gpx", ::testing::TempDir()}, capture);
    EXPECT_EQ(folderItself.code, 1);
    EXPECT_NE(folderItself.errors.find("Is a directory"), std::string::npos) << folderItself.errors;

    const Outcome full = RunCli({"--decode", "-", "--gpx", "/dev/full"}, capture);
    EXPECT_EQ(full.code, 1);
    EXPECT_EQ(full.output, "OkToSend: 1\n");
    EXPECT_EQ(full.errors, "vexademo-cli: cannot write the track /dev/full: No space left on device\n");
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

// The members of one JSON object, each as its raw text ("3", "\"TPV\"", "[...]"). Enough for the
// flat reports and their satellite array.
std::map<std::string, std::string> Members(std::string_view object) {
    std::map<std::string, std::string> members;
    EXPECT_TRUE(object.starts_with('{') && object.ends_with('}')) << object;
    std::size_t at = 1;
    while (at < object.size() - 1) {
        const std::size_t nameEnd = object.find('"', at + 1);
        const std::string name(object.substr(at + 1, nameEnd - at - 1));
        std::size_t end = nameEnd + 2;
        int depth = 0;
        bool inString = false;
        for (; end < object.size() - 1; ++end) {
            const char c = object[end];
            if (c == '"') inString = !inString;
            if (inString) continue;
            if (c == '[' || c == '{') ++depth;
            if (c == ']' || c == '}') --depth;
            if (c == ',' && depth == 0) break;
        }
        members[name] = std::string(object.substr(nameEnd + 2, end - nameEnd - 2));
        at = end + 1;
    }
    return members;
}

// The objects of a JSON array of objects.
std::vector<std::string> Elements(std::string_view array) {
    std::vector<std::string> elements;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 1; i + 1 < array.size(); ++i) {
        if (array[i] == '{' && depth++ == 0) start = i;
        if (array[i] == '}' && --depth == 0) elements.emplace_back(array.substr(start, i - start + 1));
    }
    return elements;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "every report ends its line";
    return lines;
}

using JsonObject = std::map<std::string, std::string>;

TEST(DecodeJson, NmeaCaptureGivesTpvAndSkyReports) {
    using test::Sentence;
    const std::string second =
        Sentence("GNRMC,102030.00,A,5230.0000,N,01322.5000,E,10.0,90.0,140325,,,D,V") +
        Sentence("GNGGA,102030.00,5230.0000,N,01322.5000,E,2,04,0.8,35.0,M,40.0,M,,") +
        Sentence("GNGSA,A,3,02,05,,,,,,,,,,,1.5,0.8,1.2,1") + Sentence("GNGSA,A,3,70,,,,,,,,,,,,1.5,0.8,1.2,2") +
        Sentence("GNGSA,A,3,11,,,,,,,,,,,,1.5,0.8,1.2,3") +
        Sentence("GPGSV,1,1,03,02,45,100,40,05,30,200,38,46,20,150,30,1") +
        Sentence("GLGSV,1,1,01,70,50,010,39,1") + Sentence("GAGSV,1,1,01,11,35,140,37,7") +
        Sentence("GBGSV,1,1,01,21,55,250,,1");
    const Outcome outcome = RunCli({"--decode", "-", "--json"}, Text(second + "$PXYZ,not for the reports\r\n"));
    EXPECT_EQ(outcome.code, 0);
    const std::vector<std::string> lines = Lines(outcome.output);
    ASSERT_EQ(lines.size(), 2u) << outcome.output;

    const JsonObject tpv = Members(lines[0]);
    EXPECT_EQ(tpv, (JsonObject{{"class", "\"TPV\""},
                             {"mode", "3"},
                             {"status", "2"},
                             {"time", "\"2025-03-14T10:20:30.000Z\""},
                             {"lat", "52.500000000"},
                             {"lon", "13.375000000"},
                             {"altHAE", "75.000"},
                             {"altMSL", "35.000"},
                             {"track", "90.0000"},
                             {"speed", "5.144"}}));

    const JsonObject sky = Members(lines[1]);
    EXPECT_EQ(sky.at("class"), "\"SKY\"");
    EXPECT_EQ(sky.at("time"), "\"2025-03-14T10:20:30.000Z\"");
    EXPECT_EQ(sky.at("hdop"), "0.80");
    EXPECT_EQ(sky.at("vdop"), "1.20");
    EXPECT_EQ(sky.at("pdop"), "1.50");
    EXPECT_EQ(sky.at("nSat"), "6");
    EXPECT_EQ(sky.at("uSat"), "4");
    const std::vector<std::string> satellites = Elements(sky.at("satellites"));
    const JsonObject expected[] = {
        {{"PRN", "2"}, {"gnssid", "0"}, {"svid", "2"}, {"az", "100.0"}, {"el", "45.0"}, {"ss", "40.0"}, {"used", "true"}},
        {{"PRN", "5"}, {"gnssid", "0"}, {"svid", "5"}, {"az", "200.0"}, {"el", "30.0"}, {"ss", "38.0"}, {"used", "true"}},
        {{"PRN", "133"}, {"gnssid", "1"}, {"svid", "133"}, {"az", "150.0"}, {"el", "20.0"}, {"ss", "30.0"}, {"used", "false"}},
        {{"PRN", "70"}, {"gnssid", "6"}, {"svid", "6"}, {"az", "10.0"}, {"el", "50.0"}, {"ss", "39.0"}, {"used", "true"}},
        {{"PRN", "311"}, {"gnssid", "2"}, {"svid", "11"}, {"az", "140.0"}, {"el", "35.0"}, {"ss", "37.0"}, {"used", "true"}},
        {{"PRN", "421"}, {"gnssid", "3"}, {"svid", "21"}, {"az", "250.0"}, {"el", "55.0"}, {"used", "false"}},
    };
    ASSERT_EQ(satellites.size(), std::size(expected)) << sky.at("satellites");
    for (std::size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(Members(satellites[i]), expected[i]) << i;
}

TEST(DecodeJson, BinaryCaptureGivesTheSameReports) {
    NavData nav{};
    nav.X = 6378137;
    nav.Mode1 = 0x04;
    nav.Hdop = 5;
    nav.Week = 2400;
    nav.Tow = (4 * 86400 + 10 * 3600 + 18) * 100;
    nav.SvCount = 1;
    nav.SvPrn[0] = 7;
    TrackData track{};
    track.Week = 2400;
    track.Tow = nav.Tow;
    track.Channels[0] = TrackChannel{7, 60, 90, 0x3F, {40, 40, 40, 40, 40, 40, 40, 40, 40, 40}};
    nav.Mode1 = 0;
    const Bytes noFix = Frame(MessagePayload(nav));
    nav.Mode1 = 0x04;
    const Outcome outcome =
        RunCli({"--decode", "-", "--json"}, Join({noFix, Frame(MessagePayload(nav)), Frame(MessagePayload(track))}));
    EXPECT_EQ(outcome.code, 0);
    const std::vector<std::string> lines = Lines(outcome.output);
    ASSERT_EQ(lines.size(), 2u) << "no report for the navigation message without a fix\n" << outcome.output;
    const JsonObject tpv = Members(lines[0]);
    EXPECT_EQ(tpv.at("mode"), "3");
    EXPECT_EQ(tpv.at("time"), "\"2026-01-08T10:00:00.000Z\"");
    EXPECT_EQ(tpv.at("lat"), "0.000000000");
    EXPECT_EQ(tpv.at("lon"), "0.000000000");
    EXPECT_EQ(tpv.count("altMSL"), 0u) << "the binary protocol gives the height above the ellipsoid only";
    const JsonObject sky = Members(lines[1]);
    EXPECT_EQ(sky.at("nSat"), "1");
    EXPECT_EQ(sky.at("uSat"), "1");
    EXPECT_EQ(Members(Elements(sky.at("satellites")).at(0)),
              (JsonObject{{"PRN", "7"}, {"gnssid", "0"}, {"svid", "7"}, {"az", "90.0"}, {"el", "45.0"}, {"ss", "40.0"}, {"used", "true"}}));
}

// The history files of a capture: a row per satellite of each epoch, numbered as the JSON reports
// number them, and a row per epoch; a failure leaves neither file behind.
TEST(DecodeCommand, HistoryCsvOfACapture) {
    using test::Sentence;
    const std::string epoch =
        Sentence("GNRMC,102030.00,A,5230.0000,N,01322.5000,E,10.0,90.0,140325,,,D,V") +
        Sentence("GNGGA,102030.00,5230.0000,N,01322.5000,E,2,04,0.8,35.0,M,40.0,M,,") +
        Sentence("GNGSA,A,3,02,05,,,,,,,,,,,1.5,0.8,1.2,1") + Sentence("GNGSA,A,3,70,,,,,,,,,,,,1.5,0.8,1.2,2") +
        Sentence("GPGSV,1,1,03,02,45,100,40,05,30,200,38,46,20,150,30,1") + Sentence("GLGSV,1,1,01,70,50,010,39,1") +
        Sentence("GBGSV,1,1,01,21,55,250,,1");
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "decode_history";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string prefix = (folder / "run").string();
    const Outcome outcome = RunCli({"--decode", "-", "--history-csv", prefix}, Text(epoch));
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_EQ(ReadFile(prefix + "-satellites.csv"),
              "time,gnssid,svid,az,el,cn0,used\n"
              "2025-03-14T10:20:30.000Z,0,2,100.0,45.0,40.0,1\n"
              "2025-03-14T10:20:30.000Z,0,5,200.0,30.0,38.0,1\n"
              "2025-03-14T10:20:30.000Z,1,133,150.0,20.0,30.0,0\n"
              "2025-03-14T10:20:30.000Z,6,6,10.0,50.0,39.0,1\n"
              "2025-03-14T10:20:30.000Z,3,21,250.0,55.0,,0\n");
    EXPECT_EQ(ReadFile(prefix + "-epochs.csv"),
              "time,fix,in_view,used,hdop,vdop,pdop,lat,lon,height,east,north,up\n"
              "2025-03-14T10:20:30.000Z,dgps,5,3,0.80,1.20,1.50,52.500000000,13.375000000,75.000,,,\n");

    const std::string missing = (folder / "absent" / "run").string();
    const Outcome noFolder = RunCli({"--decode", "-", "--history-csv", missing}, Text(epoch));
    EXPECT_EQ(noFolder.code, 1);
    EXPECT_EQ(noFolder.errors.rfind("vexademo-cli: history not written: " + missing + "-satellites.csv: ", 0), 0u) << noFolder.errors;

    // A file size limit fails the writes part-way as a full disk does.
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const Outcome full = RunCli({"--decode", VEXA_SOURCE_DIR "/res/samples/demo.bin", "--history-csv", prefix});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(full.code, 1);
    EXPECT_NE(full.errors.find("history not written: " + prefix + "-satellites.csv: File too large"), std::string::npos) << full.errors;
    EXPECT_TRUE(std::filesystem::is_empty(folder)) << "no partial file is left";
}

// The sample capture decodes to the outputs committed beside it, byte for byte. After an intended
// change of the output, scripts/golden-decode writes them again.
TEST(DecodeCommand, SampleCaptureGivesTheCommittedOutputs) {
    const std::string samples = VEXA_SOURCE_DIR "/res/samples/";
    const struct {
        const char* legend;
        std::vector<std::string> arguments;
        std::string expectedFile;
    } cases[] = {
        {"message lines", {"--decode", samples + "demo.bin"}, "demo.decode.txt"},
        {"gpsd reports", {"--decode", samples + "demo.bin", "--json"}, "demo.jsonl"},
    };
    for (const auto& c : cases) {
        std::ifstream in(samples + c.expectedFile, std::ios::binary);
        const std::string expected(std::istreambuf_iterator<char>(in), {});
        ASSERT_FALSE(expected.empty()) << c.legend << ": " << c.expectedFile << " is missing";
        const Outcome outcome = RunCli(c.arguments);
        EXPECT_EQ(outcome.code, 0) << c.legend << ": " << outcome.errors;
        EXPECT_TRUE(outcome.output == expected)
            << c.legend << " differ from " << c.expectedFile << "; if the change is intended, run scripts/golden-decode";
    }
}

}  // namespace
}  // namespace vexa
