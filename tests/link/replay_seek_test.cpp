#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <tuple>
#include <unistd.h>

#include "support/link_fixture.h"
#include "link/sources/replay_name.h"
#include "sim/sample_capture.h"

namespace vexa {
namespace {

using test::Bytes;
using test::LinkUnderTest;
using FixKey = std::tuple<std::optional<UtcTime>, FixMode, std::optional<double>, std::optional<double>>;

// The fixes a link tells, forgotten when its output starts afresh.
class FixLog : public GnssListener {
public:
    void onFix(const GnssFix& fix) override {
        std::lock_guard guard(lock_);
        fixes_.emplace_back(fix.time, fix.mode, fix.latitude, fix.longitude);
    }
    void onSky(const GnssSky&) override {}
    void onRestart() override {
        std::lock_guard guard(lock_);
        fixes_.clear();
        ++restarts_;
    }
    std::vector<FixKey> Fixes() const {
        std::lock_guard guard(lock_);
        return fixes_;
    }
    int Restarts() const {
        std::lock_guard guard(lock_);
        return restarts_;
    }

private:
    mutable std::mutex lock_;
    std::vector<FixKey> fixes_;
    int restarts_ = 0;
};

class ReplaySeek : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("replay_seek_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
                   std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const Bytes& bytes, const std::string& name) {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    // The fixes a decode of the bytes from `byte` on gives, through the same receive path, to the
    // end of the input as --decode reads it.
    static std::vector<FixKey> DecodedFrom(const Bytes& capture, std::size_t byte) {
        LinkUnderTest link;
        FixLog fixes;
        link.comm->Model().AddGnssListener(fixes);
        link.comm->Receive(std::span(capture).subspan(std::min(byte, capture.size())));
        link.comm->EndOfInput();
        link.comm->Model().RemoveGnssListener(fixes);
        return fixes.Fixes();
    }

    static bool AwaitLoss(LinkUnderTest& link) { return link.AwaitUpdate(LinkLost{}, std::chrono::seconds(60)); }

    std::filesystem::path folder_;
};

// Moved anywhere while it plays, a capture gives from there on exactly the fixes a decode of the
// file from that byte on gives: nothing of the old place is mixed in.
TEST_F(ReplaySeek, FixesFromASeekPointAreThoseOfADecodeOfTheFileFromThere) {
    const Bytes nmea = MakeNmeaCapture(20);
    const std::pair<const char*, Bytes> captures[] = {
        {"binary.bin", MakeSampleCapture(nullptr, 30)},
        {"nmea.nmea", nmea},
        {"cut.nmea", Bytes(nmea.begin(), nmea.end() - 200)},  // ends inside an epoch, which is kept
    };
    for (const auto& [name, capture] : captures) {
        const std::string path = Write(capture, name);
        for (const double fraction : {0.0, 0.37, 0.81}) {
            const auto byte = static_cast<std::size_t>(static_cast<double>(capture.size()) * fraction);
            SCOPED_TRACE(std::string(name) + " from byte " + std::to_string(byte));
            LinkUnderTest link;
            FixLog replayed;
            link.comm->Model().AddGnssListener(replayed);
            ASSERT_EQ(link.comm->Connect(MakeReplayName(path, {}), 0), kResultOk);
            ASSERT_EQ(link.comm->PausePlayback(true), kResultOk);
            EXPECT_TRUE(link.comm->Paused());
            ASSERT_EQ(link.comm->SeekPlayback(byte), kResultOk);
            EXPECT_EQ(replayed.Restarts(), 1);
            ASSERT_EQ(link.comm->SetPlaybackSpeed(ReplayPace::kFastest), kResultOk);
            ASSERT_EQ(link.comm->PausePlayback(false), kResultOk);
            EXPECT_FALSE(link.comm->Paused());
            ASSERT_TRUE(AwaitLoss(link));
            link.comm->Model().RemoveGnssListener(replayed);
            const std::vector<FixKey> expected = DecodedFrom(capture, byte);
            EXPECT_GE(expected.size(), 3u);
            EXPECT_EQ(replayed.Fixes(), expected);
        }
    }
}

TEST_F(ReplaySeek, PastTheEndTheCaptureEndsOrLoopsToItsStart) {
    const Bytes capture = MakeNmeaCapture(5);
    const std::string path = Write(capture, "short.nmea");
    for (const bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "looping" : "once");
        LinkUnderTest link;
        FixLog replayed;
        link.comm->Model().AddGnssListener(replayed);
        ASSERT_EQ(link.comm->Connect(MakeReplayName(path, {ReplayPace::kLineRate, loop}), 0), kResultOk);
        ASSERT_EQ(link.comm->SeekPlayback(capture.size() + 12345), kResultOk);
        ASSERT_EQ(link.comm->SetPlaybackSpeed(ReplayPace::kFastest), kResultOk);
        if (!loop) {
            EXPECT_TRUE(AwaitLoss(link));
            EXPECT_TRUE(replayed.Fixes().empty());
            EXPECT_EQ(link.comm->SeekPlayback(0), kResultCommFailure);  // ended, as at the end of the file
        } else {
            const std::vector<FixKey> fromStart = DecodedFrom(capture, 0);
            ASSERT_FALSE(fromStart.empty());
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (replayed.Fixes().size() < 2 && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            ASSERT_GE(replayed.Fixes().size(), 2u);
            EXPECT_EQ(replayed.Fixes().front(), fromStart.front());
        }
        link.comm->Model().RemoveGnssListener(replayed);
    }
}

}  // namespace
}  // namespace vexa
