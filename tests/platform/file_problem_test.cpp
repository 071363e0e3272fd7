#include "platform/file_problem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace vexa {
namespace {

namespace fs = std::filesystem;

class FileProblem : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::path(::testing::TempDir()) / ("file_problem_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        std::ofstream(Path("notes.txt")) << "x";
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Path(const std::string& relative) const { return (folder_ / relative).string(); }

    fs::path folder_;
};

TEST_F(FileProblem, AMissingFolderIsNamedRatherThanTheFile) {
    const std::string log = Path("trips/monday/walk.gps");
    EXPECT_EQ(FileErrorText(log, ENOENT), log + ": the folder " + Path("trips/monday") + " does not exist");
}

TEST_F(FileProblem, AFileOnTheWayThatIsNoFolderIsNamed) {
    const std::string log = Path("notes.txt/walk.gps");
    EXPECT_EQ(FileErrorText(log, ENOTDIR), log + ": " + Path("notes.txt") + " is not a folder");
}

TEST_F(FileProblem, OtherwiseTheSystemsReasonFollowsThePath) {
    EXPECT_EQ(FileErrorText(Path("walk.gps"), EACCES), Path("walk.gps") + ": Permission denied");
    EXPECT_EQ(FileErrorText(Path("walk.gps"), ENOSPC), Path("walk.gps") + ": No space left on device");
}

TEST_F(FileProblem, WhyNotWritableFindsWhatStandsInTheWay) {
    EXPECT_EQ(WhyNotWritable(Path("settings.ini")), "");
    EXPECT_EQ(WhyNotWritable(Path("new/deeper/settings.ini")), "") << "missing folders can be made";
    EXPECT_EQ(WhyNotWritable(folder_.string()), folder_.string() + ": Is a directory");
    EXPECT_EQ(WhyNotWritable(Path("notes.txt/settings.ini")),
              Path("notes.txt/settings.ini") + ": " + Path("notes.txt") + " is not a folder");
    EXPECT_EQ(WhyNotWritable(Path("notes.txt/more/settings.ini")),
              Path("notes.txt/more/settings.ini") + ": " + Path("notes.txt") + " is not a folder");
}

}  // namespace
}  // namespace vexa
