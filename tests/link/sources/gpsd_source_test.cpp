#include "link/sources/gpsd_source.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "byte_source_reading.h"
#include "support/gpsd_process.h"
#include "platform/result_codes.h"
#include "support/pseudo_terminal.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using test::ReadUntil;
using test::SourceReading;

const std::string kSentence = "$GPGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*49\r\n";
const std::string kFrame("\xA0\xA2\x00\x02\x84\x00\x00\x84\xB0\xB3", 10);

// The receiver on a real pseudo-terminal: one sentence and one frame every 100 ms.
class TalkingReceiver {
public:
    TalkingReceiver()
        : thread_([this] {
              while (!stop_) {
                  pty_.Send(kSentence + kFrame);
                  std::this_thread::sleep_for(100ms);
              }
          }) {}
    ~TalkingReceiver() {
        stop_ = true;
        thread_.join();
    }
    const std::string& Path() const { return pty_.SlavePath(); }

private:
    test::PseudoTerminal pty_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

// Whether the bytes are whole packets of the receiver and nothing else.
bool OnlyWholePackets(std::string_view bytes) {
    while (!bytes.empty()) {
        if (bytes.starts_with(kSentence)) bytes.remove_prefix(kSentence.size());
        else if (bytes.starts_with(kFrame)) bytes.remove_prefix(kFrame.size());
        else return false;
    }
    return true;
}

class RealGpsd : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::GpsdProgram().empty()) GTEST_SKIP() << "gpsd is not installed (scripts/bootstrap installs it)";
    }
    static std::string Name(const test::GpsdProcess& gpsd, const std::string& device = {}) {
        return "gpsd://127.0.0.1:" + std::to_string(gpsd.Port()) + device;
    }
};

TEST_F(RealGpsd, PassesTheReceiversPacketsUnchangedAndNoneOfGpsdsReplies) {
    TalkingReceiver receiver;
    test::GpsdProcess gpsd({receiver.Path()});
    ASSERT_TRUE(gpsd.Ready());
    for (const std::string& name : {Name(gpsd), Name(gpsd, receiver.Path())}) {
        GpsdSource source(name);
        EXPECT_FALSE(source.BaudChangeable());
        ASSERT_EQ(source.Open(4800), kResultOk) << source.OpenProblem();
        const std::size_t wanted = 6 * (kSentence.size() + kFrame.size());
        const SourceReading outcome = ReadUntil(source, wanted);
        ASSERT_GE(outcome.bytes.size(), wanted) << name << ": " << source.EndReason();
        // gpsd forwards whole packets; cut the read where the last one may be incomplete.
        std::string_view whole = outcome.bytes;
        const std::size_t lastStart = std::min(whole.rfind(kSentence), whole.rfind(kFrame));
        EXPECT_TRUE(OnlyWholePackets(whole.substr(0, lastStart))) << name;
        EXPECT_EQ(outcome.bytes.find("{\"class\""), std::string::npos) << name;
        EXPECT_EQ(source.Close(), kResultOk);
    }
}

TEST_F(RealGpsd, RefusesCommandsWithTheReason) {
    TalkingReceiver receiver;
    test::GpsdProcess gpsd({receiver.Path()});
    ASSERT_TRUE(gpsd.Ready());
    GpsdSource source(Name(gpsd));
    ASSERT_EQ(source.Open(0), kResultOk);
    EXPECT_FALSE(source.TakesCommands());
    EXPECT_EQ(source.CommandsRefusedReason(), "gpsd owns the receiver; commands are not sent through gpsd");
    const std::uint8_t poll[] = {0xA0, 0xA2, 0x00, 0x01, 0x84, 0x00, 0x84, 0xB0, 0xB3};
    EXPECT_EQ(source.Write(poll, sizeof poll), kResultCommandsRefused);
}

TEST_F(RealGpsd, AGpsdWithoutTheReceiverEndsTheSourceWithAClearReason) {
    TalkingReceiver receiver;
    test::GpsdProcess withReceiver({receiver.Path()});
    test::GpsdProcess withNothing({});
    ASSERT_TRUE(withReceiver.Ready());
    ASSERT_TRUE(withNothing.Ready());

    GpsdSource otherDevice(Name(withReceiver, "/dev/vexa-absent"));
    ASSERT_EQ(otherDevice.Open(0), kResultOk);
    const SourceReading refused = ReadUntil(otherDevice, 1);
    EXPECT_EQ(refused.last, ReadOutcome::kEnded);
    EXPECT_EQ(refused.bytes, "");
    EXPECT_EQ(otherDevice.EndReason(),
              "gpsd at 127.0.0.1:" + std::to_string(withReceiver.Port()) + ": No such device as /dev/vexa-absent");

    GpsdSource nothing(Name(withNothing));
    ASSERT_EQ(nothing.Open(0), kResultOk);
    EXPECT_EQ(ReadUntil(nothing, 1).last, ReadOutcome::kEnded);
    EXPECT_EQ(nothing.EndReason(), "gpsd at 127.0.0.1:" + std::to_string(withNothing.Port()) + " has no receiver");
}

TEST(GpsdSource, NoGpsdListeningIsARefusedConnection) {
    const int listener = ListenTcp("127.0.0.1", 0);
    const std::string port = std::to_string(LocalPort(listener));
    CloseTcp(listener);
    GpsdSource source("gpsd://127.0.0.1:" + port + "/dev/ttyUSB0");
    EXPECT_EQ(source.Open(0), kResultCommFailure);
    EXPECT_EQ(source.OpenProblem(), "Connection refused by 127.0.0.1:" + port);
    GpsdSource malformed("gpsd://:2947");
    EXPECT_EQ(malformed.Open(0), kResultCommFailure);
    EXPECT_EQ(malformed.OpenProblem(), "Not a gpsd source: gpsd://:2947 (gpsd://HOST[:PORT][/DEVICE])");
}

}  // namespace
}  // namespace vexa
