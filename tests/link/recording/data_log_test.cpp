#include "link/recording/data_log.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <regex>

#include "support/log_file_text.h"
#include "platform/result_codes.h"

namespace vexa {
namespace {

using test::DigitsMasked;
using test::ReadFile;

struct DataLogFile : ::testing::Test {
    std::filesystem::path path = std::filesystem::path(::testing::TempDir()) /
        (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".gps");
    ~DataLogFile() override { std::filesystem::remove(path); }
};

TEST_F(DataLogFile, BannerLinesAndClosingLineWithLocalDateAndTime) {
    DataLog log;
    ASSERT_EQ(log.Open(path.string()), kResultOk);
    EXPECT_EQ(log.Write("line one\r\n"), 0);
    EXPECT_EQ(log.Write("line two\r\n"), 0);
    EXPECT_EQ(log.Close(), 0);
    EXPECT_FALSE(log.IsOpen());
    EXPECT_EQ(DigitsMasked(ReadFile(path)),
              "VexaDemoPPC Version #.## log file opened ##/##/#### ##:##:##\r\n\r\n"
              "line one\r\nline two\r\n"
              "\r\nLog file closed ##/##/#### ##:##:##\r\n");
}

// The local date as month, day and year.
std::array<int, 3> Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_mon + 1, local.tm_mday, local.tm_year + 1900};
}

TEST_F(DataLogFile, TheBannerCarriesVersion102AndTheDateMonthFirst) {
    const std::array<int, 3> before = Today();
    DataLog log;
    ASSERT_EQ(log.Open(path.string()), kResultOk);
    log.Close();
    const std::array<int, 3> after = Today();

    const std::string text = ReadFile(path);
    const std::regex dated(R"((\d\d)/(\d\d)/(\d{4}) ([01]\d|2[0-3]):[0-5]\d:[0-5]\d\r\n)");
    for (const std::string prefix : {"VexaDemoPPC Version 1.02 log file opened ", "Log file closed "}) {
        const std::size_t at = text.find(prefix);
        ASSERT_NE(at, std::string::npos) << prefix;
        std::smatch date;
        const std::string rest = text.substr(at + prefix.size());
        ASSERT_TRUE(std::regex_search(rest, date, dated, std::regex_constants::match_continuous)) << rest;
        const std::array<int, 3> shown{std::stoi(date[1]), std::stoi(date[2]), std::stoi(date[3])};
        EXPECT_TRUE(shown == before || shown == after) << prefix << date[0];
    }
    EXPECT_EQ(text.rfind("VexaDemoPPC Version 1.02 log file opened ", 0), 0u);
}

TEST_F(DataLogFile, ReplacesAnExistingFile) {
    std::ofstream(path) << std::string(100000, 'Z');
    DataLog log;
    ASSERT_EQ(log.Open(path.string()), kResultOk);
    log.Close();
    EXPECT_EQ(ReadFile(path).find('Z'), std::string::npos);
}

TEST_F(DataLogFile, LongTextsAndManyLinesArriveWhole) {
    DataLog log;
    ASSERT_EQ(log.Open(path.string()), kResultOk);
    const std::string big(200000, 'b');
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        const std::string line = "message " + std::to_string(i) + "\r\n";
        log.Write(line);
        expected += line;
    }
    log.Write(big);
    expected += big;
    log.Close();
    EXPECT_NE(ReadFile(path).find(expected), std::string::npos);
}

TEST(DataLogErrors, CausesAndTheirTexts) {
    const struct {
        int errnoValue;
        int cause;
    } causes[] = {{ENOSPC, 13}, {EDQUOT, 13}, {EFBIG, 13}, {EIO, 10}, {EACCES, 5}, {EBADF, 6}, {EINVAL, 1}};
    for (const auto& c : causes) EXPECT_EQ(FileErrorCause(c.errnoValue), c.cause) << c.errnoValue;
    EXPECT_EQ(LogErrorText(13), "Disk is full. Log file will be closed.");
    EXPECT_EQ(LogErrorText(10), "CFileException = 10. Log file will be closed.");
}

}  // namespace
}  // namespace vexa
