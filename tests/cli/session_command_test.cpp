#include "cli/session_command.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "support/pseudo_terminal.h"
#include "support/client_harness.h"
#include "support/frame_bytes.h"
#include "session_run.h"

namespace vexa {
namespace {

using test::Bytes;
using test::RunOn;
using test::SessionRun;

// Plays an Osprey receiver on the pseudo-terminal: answers the reset with an open session and the
// last fragment of each position request with as many fixes as the request asks for.
class LocationReceiver {
public:
    LocationReceiver(test::PseudoTerminal& pty, int fixesPerRequest) : pty_(pty), fixesPerRequest_(fixesPerRequest) {
        thread_ = std::thread([this] { run(); });
    }
    ~LocationReceiver() {
        stop_ = true;
        thread_.join();
    }

private:
    void run() {
        Bytes pending;
        bool heard = false;
        while (!stop_) {
            // Any frame brings the binary link up; sent until the link has written something.
            if (!heard) pty_.Send(test::Frame({0x02, 0xA0, 0x00, 0xEE, 0x00}));
            const Bytes got = pty_.Receive(4096, std::chrono::milliseconds(20));
            heard = heard || !got.empty();
            pending.insert(pending.end(), got.begin(), got.end());
            while (answerOneFrame(pending)) {
            }
        }
    }
    // Takes the first whole frame off the buffer and answers it; false when none is whole yet.
    bool answerOneFrame(Bytes& pending) {
        std::size_t start = 0;
        while (start + 1 < pending.size() && !(pending[start] == 0xA0 && pending[start + 1] == 0xA2)) ++start;
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(start));
        if (pending.size() < 4) return false;
        const std::size_t length = static_cast<std::size_t>(pending[2] << 8 | pending[3]);
        if (pending.size() < length + 8) return false;
        const Bytes payload(pending.begin() + 4, pending.begin() + 4 + static_cast<std::ptrdiff_t>(length));
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(length + 8));
        if (payload.size() >= 2 && payload[0] == 0x02 && payload[1] == 22) pty_.Send(test::Frame({0x02, 0x00, 0x00}));
        if (payload.size() >= 4 && payload[0] == 0x01 && payload[1] == 0x01 && payload[2] == payload[3]) {
            for (int i = 0; i < fixesPerRequest_; ++i) pty_.Send(test::Frame(test::positionAnswer(37.3875, -121.9720, 25)));
        }
        return true;
    }

    test::PseudoTerminal& pty_;
    const int fixesPerRequest_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST(SessionCommand, AutonomousSessionPrintsItsProgressAndFixes) {
    test::PseudoTerminal pty;
    LocationReceiver receiver(pty, 2);
    SessionOptions options;
    options.portPath = pty.SlavePath();
    options.fixes = 2;
    options.seconds = 10;
    const SessionRun run = RunOn(options);
    EXPECT_EQ(run.code, kExitSessionFixed);
    for (const char* line : {"0002:START AUTONOMOUS SESSION\n", "0016:WAITING FOR AUTONOMOUS POSITION FIX\n",
                             "0064:POSITION FIX RECEIVED\n", "POSITION 1: 37.3875", "POSITION 2: 37.3875",
                             " -121.9720", " 25\n"}) {
        EXPECT_NE(run.output.find(line), std::string::npos) << line << "in:\n" << run.output;
    }
}

TEST(SessionCommand, NoFixWithinTheTime) {
    test::PseudoTerminal pty;
    SessionOptions options;
    options.portPath = pty.SlavePath();
    options.seconds = 0.3;
    const SessionRun run = RunOn(options);
    EXPECT_EQ(run.code, kExitSessionNoFix);
    EXPECT_NE(run.output.find("0002:START AUTONOMOUS SESSION\n"), std::string::npos) << run.output;
    options.portPath = "/nonexistent/tty";
    EXPECT_EQ(RunOn(options).code, kExitSessionNoPort);
}

TEST(SessionCommand, Options) {
    struct Case {
        const char* legend;
        std::vector<std::string> arguments;
        bool accepted;
    };
    const Case cases[] = {
        {"network with server and fixes",
         {"--session", "network", "--product", "osprey", "--port", "/dev/x", "--server", "10.0.0.2:9000", "--fixes", "3"},
         true},
        {"another product", {"--session", "autonomous", "--product", "kestrel", "--port", "/dev/x"}, false},
        {"no port", {"--session", "autonomous", "--product", "osprey"}, false},
        {"unknown kind", {"--session", "aided", "--product", "osprey", "--port", "/dev/x"}, false},
        {"server without port", {"--session", "network", "--product", "osprey", "--port", "/dev/x", "--server", "1.2.3.4"}, false},
        {"no fixes", {"--session", "network", "--product", "osprey", "--port", "/dev/x", "--fixes", "0"}, false},
        {"missing value", {"--session", "network", "--product", "osprey", "--port"}, false},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto options = ParseSessionOptions(c.arguments, error);
        EXPECT_EQ(options.has_value(), c.accepted) << c.legend << ": " << error;
    }
    std::string error;
    const auto options = ParseSessionOptions(cases[0].arguments, error);
    ASSERT_TRUE(options);
    EXPECT_TRUE(options->network);
    EXPECT_EQ(options->serverAddress, "10.0.0.2");
    EXPECT_EQ(options->serverPort, 9000);
    EXPECT_EQ(options->fixes, 3U);
}

TEST(SessionCommand, APortThatCannotBeOpenedIsExplainedOnTheErrorStream) {
    SessionOptions options;
    options.portPath = ::testing::TempDir();
    std::FILE* output = std::tmpfile();
    std::FILE* errors = std::tmpfile();
    EXPECT_EQ(RunSession(options, ClientServices{}, output, errors), kExitSessionNoPort);
    const std::string text = test::ReadAll(errors);
    std::fclose(output);
    std::fclose(errors);
    EXPECT_TRUE(text.starts_with("vexademo-cli: Could not open specified port. \n" + options.portPath +
                                 ": Is a directory.\n"))
        << text;
}

TEST(SessionCommand, RefusedOptionsAreNamed) {
    const std::vector<std::string> base{"--session", "network", "--product", "osprey", "--port", "/dev/x"};
    const auto errorWith = [&](std::vector<std::string> extra) {
        std::vector<std::string> arguments = base;
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        std::string error;
        EXPECT_FALSE(ParseSessionOptions(arguments, error));
        return error;
    };
    EXPECT_EQ(errorWith({"--sever", "10.0.0.2:9000"}), "unknown option '--sever'; did you mean '--server'?");
    EXPECT_EQ(errorWith({"--bogus"}), "unknown option '--bogus'");
    EXPECT_EQ(errorWith({"--log", "out.gps"}), "--log cannot be used with --session");
    EXPECT_EQ(errorWith({"--fixes"}), "--fixes needs a value");
}

}  // namespace
}  // namespace vexa
