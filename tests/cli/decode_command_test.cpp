#include "cli/decode_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../link/log_file_text.h"
#include "../receiver/frame_bytes.h"
#include "receiver/receiver_context.h"

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
    char* outText = nullptr;
    char* errText = nullptr;
    std::size_t outSize = 0;
    std::size_t errSize = 0;
    std::FILE* out = open_memstream(&outText, &outSize);
    std::FILE* err = open_memstream(&errText, &errSize);
    const int code = RunDecodeCommand(arguments, in, out, err);
    std::fclose(in);
    std::fclose(out);
    std::fclose(err);
    Outcome outcome{code, std::string(outText, outSize), std::string(errText, errSize)};
    std::free(outText);
    std::free(errText);
    return outcome;
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
    EXPECT_EQ(outcome.errors, "bytes " + std::to_string(capture.size()) + ", frames 3, sentences 1, dropped 2\n");
}

TEST(DecodeCommand, OspreyChannels) {
    const Bytes capture = Join({Frame(Join({Bytes{0xDD}, Text("$GPRMC\r\n")})), Frame(Bytes{0xEE, 0x12, 0x00}),
                                Frame(Bytes{0x01, 0x02, 0x03}), Frame(Bytes{0x00, 0x12, 0x00})});
    const Outcome outcome = RunCli({"--product", "osprey", "--decode", "-"}, capture);
    EXPECT_EQ(outcome.code, 0);
    EXPECT_EQ(outcome.output, "$GPRMC  \nOkToSend: 0\n");
    EXPECT_EQ(outcome.errors, "bytes " + std::to_string(capture.size()) + ", frames 4, sentences 0, dropped 1\n");
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
    EXPECT_EQ(full.code, 0);
    EXPECT_EQ(full.output, "$GPGSA*00  \n");
    EXPECT_EQ(full.errors.find("vexademo-cli: Disk is full. Log file will be closed.\n"), 0u) << full.errors;
}

}  // namespace
}  // namespace vexa
