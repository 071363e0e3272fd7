#include "link/data_log.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "log_file_text.h"
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
