#include "link/sources/replay_source.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "support/link_fixture.h"
#include "support/manual_clock.h"
#include "link/sources/replay_name.h"
#include "platform/result_codes.h"

namespace vexa {
namespace {

using test::Bytes;
using std::chrono::milliseconds;

TEST(ReplayName, ReadsThePathAndThePace) {
    struct Case {
        const char* name;
        const char* path;
        double speed;
        bool loop;
    };
    const Case cases[] = {
        {"replay:/data/drive.bin", "/data/drive.bin", 1, false},
        {"replay,speed=10:/data/drive.bin", "/data/drive.bin", 10, false},
        {"replay,loop,speed=2.5:/data/a:b.bin", "/data/a:b.bin", 2.5, true},
        {"replay,speed=50,loop:relative.bin", "relative.bin", 50, true},
    };
    for (const Case& c : cases) {
        std::string problem;
        const auto parsed = ParseReplayName(c.name, problem);
        ASSERT_TRUE(parsed) << c.name << ": " << problem;
        EXPECT_EQ(parsed->path, c.path) << c.name;
        EXPECT_EQ(parsed->pace.speed, c.speed) << c.name;
        EXPECT_EQ(parsed->pace.loop, c.loop) << c.name;
    }
}

TEST(ReplayName, RefusesWhatIsNoUsableReplayName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/dev/ttyUSB0", "not a replay name"},
        {"replayer:/x.bin", "not a replay name"},
        {"replay:", "needs a capture file"},
        {"replay,speed=0:/x.bin", "from 0.1 to 50, not 0"},
        {"replay,speed=1000:/x.bin", "from 0.1 to 50, not 1000"},
        {"replay,speed=fast:/x.bin", "from 0.1 to 50, not fast"},
        {"replay,backwards:/x.bin", "unknown replay option 'backwards'"},
    };
    for (const auto& [name, reason] : cases) {
        std::string problem;
        EXPECT_FALSE(ParseReplayName(name, problem)) << name;
        EXPECT_NE(problem.find(reason), std::string::npos) << name << ": " << problem;
    }
}

TEST(ReplayName, MadeNamesReadBackAndHoldAnAbsolutePath) {
    const std::string name = MakeReplayName("captures/../drive.bin", {2.5, true});
    std::string problem;
    const auto parsed = ParseReplayName(name, problem);
    ASSERT_TRUE(parsed) << problem;
    EXPECT_EQ(parsed->path, (std::filesystem::current_path() / "drive.bin").string());
    EXPECT_EQ(parsed->pace.speed, 2.5);
    EXPECT_TRUE(parsed->pace.loop);
    EXPECT_EQ(MakeReplayName("/data/drive.bin", {}), "replay:/data/drive.bin");
}

TEST(ReplayName, SpeedsAreNumbersFromATenthToFifty) {
    for (const char* good : {"0.1", "0.5", "1", "50", "2.5", "10"}) EXPECT_TRUE(ParseReplaySpeed(good)) << good;
    for (const char* bad : {"0", "0.09", "1000", "50.1", "", "x", "10x", "nan", "-5", "inf"}) {
        EXPECT_FALSE(ParseReplaySpeed(bad)) << bad;
    }
}

TEST(ReplayName, SpeedStepsGoToTheNextStepOnTheirWayAndStopAtTheEnds) {
    struct Case {
        double speed;
        int steps;
        double stepped;
    };
    const Case cases[] = {{1, 1, 2}, {1, -1, 0.5}, {3, 1, 5}, {3, -1, 2}, {10, -2, 2}, {50, 1, 50}, {0.1, -1, 0.1}, {0.15, -1, 0.1}};
    for (const Case& c : cases) EXPECT_EQ(SteppedReplaySpeed(c.speed, c.steps), c.stepped) << c.speed << " " << c.steps;
}

class ReplaySourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("replay_source_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                   "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string WriteCapture(const Bytes& bytes, const std::string& fileName = "capture.bin") {
        const std::filesystem::path path = folder_ / fileName;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    std::unique_ptr<ReplaySource> Source(const std::string& path, ReplayPace pace = {}) {
        return std::make_unique<ReplaySource>(MakeReplayName(path, pace), clock_);
    }

    // Everything the source gives while the clock moves on by `elapsed`, read as the comm reader would.
    Bytes ReadAfter(ReplaySource& source, std::chrono::microseconds elapsed, ReadOutcome* last = nullptr) {
        clock_.Advance(elapsed);
        Bytes read;
        std::uint8_t buffer[1024];
        for (;;) {
            std::size_t count = 0;
            const ReadOutcome outcome = source.Read(buffer, sizeof buffer, count);
            if (last) *last = outcome;
            if (outcome != ReadOutcome::kBytes) return read;
            read.insert(read.end(), buffer, buffer + count);
        }
    }

    static Bytes NavCapture(std::size_t frames) {
        Bytes capture;
        for (std::size_t i = 0; i < frames; ++i) {
            const Bytes frame = test::Frame(test::NavPayload(static_cast<std::uint8_t>(i)));
            capture.insert(capture.end(), frame.begin(), frame.end());
        }
        return capture;
    }

    std::filesystem::path folder_;
    test::ManualClock clock_;
};

TEST_F(ReplaySourceTest, PlaysAtTheLineRateTimesItsSpeed) {
    const std::string path = WriteCapture(NavCapture(2000));  // 98,000 bytes
    for (const double speed : {1.0, 10.0, 2.5}) {
        auto source = Source(path, {speed, false});
        ASSERT_EQ(source->Open(0), kResultOk) << source->OpenProblem();
        // Ten bit times per byte at 57600 baud: 5760 bytes a second before the speed applies.
        const auto expected = static_cast<std::size_t>(ReplaySource::kLineBaud / 10 * speed / 10);
        for (int tenth = 0; tenth < 3; ++tenth) {
            EXPECT_NEAR(static_cast<double>(ReadAfter(*source, milliseconds(100)).size()),
                        static_cast<double>(expected), 1.0)
                << speed;
        }
    }
}

TEST_F(ReplaySourceTest, GivesTheWholeCaptureUnchangedThenEnds) {
    const Bytes capture = test::Join({NavCapture(300), test::Text("$GPGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4B\r\n")});
    auto source = Source(WriteCapture(capture), {50, false});
    ASSERT_EQ(source->Open(0), kResultOk) << source->OpenProblem();
    EXPECT_FALSE(source->TakesCommands());
    EXPECT_FALSE(source->BaudChangeable());
    Bytes played;
    ReadOutcome last = ReadOutcome::kNothing;
    for (int step = 0; step < 100 && last != ReadOutcome::kEnded; ++step) {
        const Bytes read = ReadAfter(*source, milliseconds(10), &last);
        played.insert(played.end(), read.begin(), read.end());
    }
    EXPECT_EQ(last, ReadOutcome::kEnded);
    EXPECT_EQ(played, capture);
    // Ended for good: later reads give nothing more, however long the wait.
    EXPECT_TRUE(ReadAfter(*source, std::chrono::seconds(5), &last).empty());
    EXPECT_EQ(last, ReadOutcome::kEnded);
}

TEST_F(ReplaySourceTest, ALoopStartsTheCaptureAgainAndNeverEnds) {
    const Bytes capture = NavCapture(3);
    auto source = Source(WriteCapture(capture), {1, true});
    ASSERT_EQ(source->Open(0), kResultOk);
    ReadOutcome last = ReadOutcome::kNothing;
    const Bytes played = ReadAfter(*source, milliseconds(100), &last);  // 576 bytes of line time
    EXPECT_EQ(last, ReadOutcome::kNothing);
    ASSERT_GE(played.size(), capture.size() * 3);
    for (std::size_t i = 0; i < played.size(); ++i) ASSERT_EQ(played[i], capture[i % capture.size()]) << i;
}

TEST_F(ReplaySourceTest, ATruncatedCapturePlaysWhatItHolds) {
    const Bytes whole = NavCapture(4);
    const Bytes cut(whole.begin(), whole.end() - 20);
    auto source = Source(WriteCapture(cut));
    ASSERT_EQ(source->Open(0), kResultOk) << source->OpenProblem();
    EXPECT_EQ(source->EndReason(), "");
    ReadOutcome last = ReadOutcome::kNothing;
    EXPECT_EQ(ReadAfter(*source, std::chrono::seconds(1), &last), cut);
    EXPECT_EQ(ReadAfter(*source, milliseconds(1), &last), Bytes{});
    EXPECT_EQ(last, ReadOutcome::kEnded);
    ASSERT_EQ(source->Close(), kResultOk);
    EXPECT_NE(source->EndReason().find("End of the capture "), std::string::npos);
    ASSERT_EQ(source->Open(0), kResultOk);
    EXPECT_EQ(source->EndReason(), "");
}

TEST_F(ReplaySourceTest, AStalledReaderCatchesUpOnOneSecondAtMost) {
    auto source = Source(WriteCapture(NavCapture(4000)));
    ASSERT_EQ(source->Open(0), kResultOk);
    EXPECT_NEAR(static_cast<double>(ReadAfter(*source, std::chrono::minutes(5)).size()), 5760.0, 1.0);
}

TEST_F(ReplaySourceTest, PausedItReadsNothingAndOwesNoTimeAndASpeedChangeTakesAtOnce) {
    const Bytes capture = NavCapture(2000);
    auto source = Source(WriteCapture(capture));
    ASSERT_EQ(source->Open(0), kResultOk);
    Bytes played = ReadAfter(*source, milliseconds(100));
    source->SetPaused(true);
    EXPECT_TRUE(ReadAfter(*source, std::chrono::seconds(10)).empty());
    EXPECT_TRUE(source->State().paused);
    source->SetPaused(false);
    // Resumed, the line carries its rate from now on, not the ten seconds it stood still.
    const Bytes resumed = ReadAfter(*source, milliseconds(100));
    EXPECT_NEAR(static_cast<double>(resumed.size()), 576.0, 1.0);
    played.insert(played.end(), resumed.begin(), resumed.end());
    for (const double speed : {0.1, 50.0}) {
        source->SetSpeed(speed);
        const Bytes read = ReadAfter(*source, milliseconds(100));
        EXPECT_NEAR(static_cast<double>(read.size()), 576.0 * speed, 1.0) << speed;
        played.insert(played.end(), read.begin(), read.end());
    }
    source->SetSpeed(1000);  // out of range: kept as it was
    EXPECT_EQ(source->State().speed, 50.0);
    // Nothing was lost or repeated on the way, and the position is the file's next byte.
    EXPECT_TRUE(std::equal(played.begin(), played.end(), capture.begin()));
    EXPECT_EQ(source->State().position, played.size());
    EXPECT_EQ(source->State().size, capture.size());
}

TEST_F(ReplaySourceTest, ASeekPlaysOnFromTheNextFrameOrSentenceStart) {
    const Bytes frame = test::Frame(test::NavPayload(7));  // 49 bytes
    const Bytes sentence = test::Text("$GPGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4B\r\n");
    // A first start byte alone and the start bytes split by the chosen byte are no starts.
    const Bytes capture = test::Join({frame, sentence, test::Text("junk \xA0x\xA0"), frame, sentence});  // the junk: 8 bytes
    const std::size_t secondSentence = frame.size();
    const std::size_t junk = secondSentence + sentence.size();
    const std::size_t secondFrame = junk + 8;
    const std::size_t lastSentence = secondFrame + frame.size();
    struct Case {
        std::uint64_t byte;
        bool loop;
        std::optional<std::size_t> playsFrom;  // nothing: the capture ends
        bool removedWhilePlaying = false;
    };
    const Case cases[] = {
        {0, false, 0},
        {1, false, secondSentence},
        {secondSentence, false, secondSentence},
        {junk, false, secondFrame},
        {secondFrame + 1, false, lastSentence},
        {lastSentence + 1, false, std::nullopt},
        {capture.size() + 1000, false, std::nullopt},
        {capture.size() + 1000, true, 0},
        {junk, false, secondFrame, true},
    };
    for (const Case& c : cases) {
        const std::string path = WriteCapture(capture);
        auto source = Source(path, {50, c.loop});
        ASSERT_EQ(source->Open(0), kResultOk);
        if (c.removedWhilePlaying) std::filesystem::remove(path);
        ReadAfter(*source, std::chrono::microseconds(100));
        source->Seek(c.byte);
        ReadOutcome last = ReadOutcome::kNothing;
        const Bytes played = ReadAfter(*source, milliseconds(1), &last);
        if (c.playsFrom) {
            const Bytes expected(capture.begin() + static_cast<std::ptrdiff_t>(*c.playsFrom), capture.end());
            ASSERT_GE(played.size(), expected.size()) << c.byte;
            EXPECT_EQ(Bytes(played.begin(), played.begin() + static_cast<std::ptrdiff_t>(expected.size())), expected) << c.byte;
        } else {
            EXPECT_TRUE(played.empty()) << c.byte;
            EXPECT_EQ(last, ReadOutcome::kEnded) << c.byte;
            EXPECT_EQ(source->State().position, capture.size()) << c.byte;
        }
    }
}

TEST_F(ReplaySourceTest, TakesNoCommandsAndSaysWhy) {
    auto source = Source(WriteCapture(NavCapture(2)));
    ASSERT_EQ(source->Open(0), kResultOk);
    const std::uint8_t command[] = {0xA0, 0xA2, 0x00, 0x01, 0x84, 0x00, 0x84, 0xB0, 0xB3};
    EXPECT_EQ(source->Write(command, sizeof command), kResultCommandsRefused);
    EXPECT_EQ(source->CommandsRefusedReason(), "a replayed capture takes no commands");
    EXPECT_EQ(source->Configure(4800), kResultOk);
    EXPECT_EQ(ReadAfter(*source, std::chrono::seconds(1)), NavCapture(2));
}

TEST_F(ReplaySourceTest, FilesThatCannotBePlayedFailToOpenWithTheReason) {
    std::filesystem::create_directories(folder_ / "folder");
    const std::string notCapture = WriteCapture(test::Text(std::string(5000, 'x') + "\nplain notes, no receiver\n"), "notes.txt");
    const std::string empty = WriteCapture({}, "empty.bin");
    const std::string missing = (folder_ / "missing.bin").string();
    const std::string inMissingFolder = (folder_ / "gone" / "drive.bin").string();
    const std::string folder = (folder_ / "folder").string();
    const std::string pipe = (folder_ / "pipe.bin").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {MakeReplayName(empty, {}), empty + ": the capture is empty"},
        {MakeReplayName(notCapture, {}), notCapture + ": not a receiver capture"},
        {MakeReplayName(missing, {}), missing + ": No such file or directory"},
        {MakeReplayName(inMissingFolder, {}), "the folder " + (folder_ / "gone").string() + " does not exist"},
        {MakeReplayName(folder, {}), folder + ": Is a directory"},
        {MakeReplayName(pipe, {}), pipe + ": a named pipe, not a regular file"},
        {"replay,speed=1000:" + empty, "the replay speed must be a number from 0.1 to 50, not 1000"},
    };
    for (const auto& [name, reason] : cases) {
        ReplaySource source(name, clock_);
        EXPECT_EQ(source.Open(0), kResultCommFailure) << name;
        EXPECT_NE(source.OpenProblem().find(reason), std::string::npos) << source.OpenProblem();
        EXPECT_FALSE(source.IsOpen());
        std::uint8_t buffer[16];
        std::size_t count = 1;
        EXPECT_EQ(source.Read(buffer, sizeof buffer, count), ReadOutcome::kNothing);
        EXPECT_EQ(count, 0u);
    }
    ReplaySource missingSource(MakeReplayName(missing, {}));
    EXPECT_EQ(missingSource.Open(0), kResultCommFailure);
    EXPECT_EQ(missingSource.OpenError(), ENOENT);
}

TEST_F(ReplaySourceTest, AWaitEndsWhenWokenOrWhenBytesHaveGathered) {
    WakeEvent wake;
    ASSERT_TRUE(wake.valid());
    auto source = Source(WriteCapture(NavCapture(10)));
    wake.signal();
    EXPECT_EQ(source->WaitReadable(wake, std::chrono::hours(1)), WakeEvent::Wait::Woken);
    ASSERT_EQ(source->Open(0), kResultOk);
    EXPECT_EQ(source->WaitReadable(wake, std::chrono::hours(1)), WakeEvent::Wait::Woken);
    wake.clear();
    EXPECT_EQ(source->WaitReadable(wake, std::chrono::hours(1)), WakeEvent::Wait::Readable);
    ASSERT_EQ(source->Close(), kResultOk);
    EXPECT_EQ(source->WaitReadable(wake, milliseconds(1)), WakeEvent::Wait::TimedOut);
}

// The link opens a capture by its replay name and plays it through the one receive path, as a
// receiver on a port; at the end the source is closed and the loss is told, as for an unplugged one.
TEST_F(ReplaySourceTest, TheLinkPlaysACaptureByItsNameAndSeesItEnd) {
    const Bytes capture = test::Join({NavCapture(20), test::Frame(test::OkToSendPayload(1))});
    test::LinkUnderTest link;
    ASSERT_EQ(link.comm->Connect(MakeReplayName(WriteCapture(capture), {50, false}), 57600), kResultOk);
    EXPECT_TRUE(link.AwaitUpdate(MessageDelivered{MessageId::OkToSend}));
    bool lost = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!lost && std::chrono::steady_clock::now() < deadline) {
        const auto notification = link.notifications.take(milliseconds(100));
        lost = notification == LinkUpdate{LinkLost{}};
    }
    EXPECT_TRUE(lost);
    EXPECT_FALSE(link.comm->PortOpen());
    std::size_t navigation = 0;
    for (const auto& delivery : link.delivered.deliveries()) navigation += delivery.id == 2 ? 1 : 0;
    EXPECT_EQ(navigation, 20u);
}

}  // namespace
}  // namespace vexa
