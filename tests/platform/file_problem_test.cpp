#include "platform/file_problem.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

// Looked at, never opened: a named pipe nobody writes to must not hold the caller up.
TEST_F(FileProblem, WhyNotARegularFileNamesWhatThePathIsInstead) {
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
    fs::create_symlink(Path("pipe"), Path("link-to-pipe"));
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = Path("socket");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const struct {
        std::string path;
        std::string reason;
        int error;
    } cases[] = {
        {Path("notes.txt"), "", 0},
        {Path("pipe"), "a named pipe, not a regular file", 0},
        {Path("link-to-pipe"), "a named pipe, not a regular file", 0},
        {socketPath, "a socket, not a regular file", 0},
        {"/dev/null", "a device, not a regular file", 0},
        {folder_.string(), "Is a directory", EISDIR},
        {Path("gone.bin"), "No such file or directory", ENOENT},
    };
    for (const auto& c : cases) {
        int error = -1;
        EXPECT_EQ(WhyNotARegularFile(c.path, error), c.reason) << c.path;
        EXPECT_EQ(error, c.error) << c.path;
    }
    ::close(listener);
}

}  // namespace
}  // namespace vexa
