#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/decode_command.h"
#include "support/captured_stream.h"
#include "support/nmea_text.h"
#include "support/program_run.h"

namespace vexa {
namespace {

using test::Sentence;

struct Outcome {
    int code;
    std::string output;
    std::string errors;
};

Outcome Decode(const std::vector<std::string>& arguments, std::string input) {
    input.push_back('\0');  // fmemopen wants a non-empty buffer; the size leaves this byte out
    std::FILE* in = fmemopen(input.data(), input.size() - 1, "rb");
    test::CapturedStream out;
    test::CapturedStream err;
    const int code = RunDecodeCommand(arguments, in, out.file(), err.file());
    std::fclose(in);
    return {code, out.text(), err.text()};
}

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// Three seconds at 50 N 8 E, 100 m above the ellipsoid, each with the receiver's GST.
std::string CaptureAtTheReference() {
    std::string capture;
    for (const char* time : {"120000.00", "120001.00", "120002.00"}) {
        capture += Sentence(std::string("GPGGA,") + time + ",5000.0000,N,00800.0000,E,1,08,1.0,100.0,M,0.0,M,,");
        capture += Sentence(std::string("GPGST,") + time + ",2.5,2.0,1.5,0.0,1.5,2.0,3.0");
        capture += Sentence(std::string("GPRMC,") + time + ",A,5000.0000,N,00800.0000,E,0.0,0.0,091226,,,A");
    }
    return capture;
}

TEST(CaptureAccuracy, TheFiguresOfACaptureWithTheReceiversOwnEstimateBesideThem) {
    test::ScratchFolder folder;
    const Outcome outcome =
        Decode({"--decode", "-", "--accuracy", "--reference", "50,8,100", "--report", folder / "r"}, CaptureAtTheReference());
    ASSERT_EQ(outcome.code, 0) << outcome.errors;
    EXPECT_NE(outcome.output.find("fixes 3 (3d 3); about the reference: CEP50 0.00 m"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("the receiver's own sigma (RMS): east 2.00 m north 1.50 m up 3.00 m"), std::string::npos);
    const std::string summary = FileText(folder / "r/summary.json");
    EXPECT_NE(summary.find("\"source\": \"entered\""), std::string::npos) << summary;
    EXPECT_NE(summary.find("\"sigma_east\": 2.0000"), std::string::npos) << summary;
    EXPECT_TRUE(std::filesystem::exists(folder / "r/report.html"));
}

TEST(CaptureAccuracy, NoFixEmptyOrUnwritableAndBadOptions) {
    test::ScratchFolder folder;
    const std::string noFix = Sentence("GPGGA,120000.00,,,,,0,00,,,M,,M,,");
    for (const std::string& capture : {std::string(), noFix}) {
        const Outcome outcome = Decode({"--decode", "-", "--accuracy", "--reference", "mean", "--report", folder / "n"}, capture);
        EXPECT_EQ(outcome.code, 0);
        EXPECT_NE(outcome.errors.find("no fix in -"), std::string::npos) << outcome.errors;
        EXPECT_EQ(outcome.output, "no fix\n");
        EXPECT_NE(FileText(folder / "n/summary.json").find("\"total\": 0"), std::string::npos);
    }

    const Outcome unwritable =
        Decode({"--decode", "-", "--accuracy", "--report", "/proc/no-report-here"}, CaptureAtTheReference());
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_NE(unwritable.errors.find("vexademo-cli: report not written: /proc/no-report-here"), std::string::npos)
        << unwritable.errors;

    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--decode", "x", "--accuracy"}, "--accuracy needs --report DIR"},
        {{"--decode", "x", "--report", "r"}, "--report needs --accuracy"},
        {{"--decode", "x", "--accuracy", "--json", "--report", "r"}, "--json cannot be used with --accuracy"},
        {{"--decode", "x", "--accuracy", "--report", "r", "--reference", "91,0,0"}, "reference point \"91,0,0\": the latitude"},
    };
    for (const auto& [arguments, message] : refused) {
        std::string error;
        EXPECT_FALSE(ParseDecodeOptions(arguments, error));
        EXPECT_TRUE(error.starts_with(message)) << error;
    }
}

}  // namespace
}  // namespace vexa
