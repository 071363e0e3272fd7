#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "cli/live_session.h"
#include "cli/receiver_request.h"
#include "link/connection/baud_settings.h"
#include "receiver/commands/command_encoder.h"
#include "receiver/frames/frame_format.h"
#include "sim/receiver_simulator.h"
#include "support/captured_stream.h"

namespace vexa::clitest {

using namespace std::chrono_literals;

using test::CapturedStream;

// A receiver that wakes with a fix after one second, so a cold start's report is told apart.
inline sim::SimulatorOptions Receiver(sim::Protocol protocol, int baud, double corruptProbability = 0) {
    sim::SimulatorOptions options;
    options.receiver.protocol = protocol;
    options.receiver.baud = baud;
    options.receiver.startUnixSeconds = 1.7e9;
    options.receiver.timesToFirstFix = {1, 2, 3, 4};
    options.corruptProbability = corruptProbability;
    return options;
}

inline ReceiverRequest Request(std::string_view text) {
    std::optional<ReceiverRequest> request = ParseReceiverRequest(text);
    EXPECT_TRUE(request) << text;
    return request.value_or(ReceiverRequest{});
}

// The bytes one command puts on the wire.
inline std::size_t FrameBytes(const CommandMessage& message) {
    std::array<std::uint8_t, kFrameBufferSize> frame;
    return EncodeMessage(message.id, message.block.data(), message.length, frame, false).frameLength;
}

// The live session against an in-process simulated receiver on a real pseudo-terminal. The test
// moves the receiver's clock and gives the controller its ticks; only the comm reader runs by
// itself, so the test waits for it where the receiver's output can be read.
class LiveRig {
public:
    // With unknown, the session prints the frames of unknown ids too.
    explicit LiveRig(const sim::SimulatorOptions& options, int product = kKestrel, bool unknown = false)
        : simulator(std::make_unique<sim::ReceiverSimulator>(options)),
          session(LiveSession::Create(
              product, out.file(), err.file(), [this](std::chrono::milliseconds settle) { SwitchSettles(settle); },
              false, unknown)) {}

    // One second of the receiver's output, then the controller's tick. When the port listens at
    // the receiver's rate, the link is first given the time to recognise what was sent.
    void Second(bool listening) {
        simulator->advance(1s);
        if (listening) {
            EXPECT_TRUE(AwaitConnected());
        }
        session->Tick();
    }

    // Ticks, one second of output each, while the controller tries rates; gives the ticks spent.
    int TicksUntilAttemptEnds(int receiverBaud) {
        int ticks = 0;
        while (session->Controller().Testing() && ticks < 40) {
            Second(ListeningRate() == receiverBaud);
            ++ticks;
        }
        return ticks;
    }

    // The rate the port is set to while an attempt is watched.
    int ListeningRate() const {
        const ConnectionController& controller = session->Controller();
        return controller.BaudSetting() == kAutoBaud
                   ? kAutoBaudRates[static_cast<std::size_t>(controller.AutoBaudIndex())]
                   : controller.BaudSetting();
    }

    // Handles the session's notifications until `done` holds; false after `timeout`.
    template <class Done>
    bool Await(Done done, std::chrono::milliseconds timeout = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            session->HandleNotifications(20ms);
        }
        return true;
    }

    bool AwaitConnected() {
        return Await([this] { return session->Context().LinkProtocol != kNotConnected; });
    }

    // Waits until the link has read and counted every byte the receiver sent; only for a port
    // that listened at the receiver's rate from its first byte.
    bool AwaitAllRead() {
        return Await([this] { return AllRead(); });
    }
    bool AllRead() { return session->Counts().bytes == simulator->bytesSent(); }

    // Lets the receiver take in the next `count` bytes the program writes, without moving its clock.
    void LetReceiverRead(std::size_t count) {
        commandBytes_ += count;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (simulator->bytesReceived() < commandBytes_ && std::chrono::steady_clock::now() < deadline) {
            simulator->advance(0us);
            std::this_thread::sleep_for(1ms);
        }
        EXPECT_EQ(simulator->bytesReceived(), commandBytes_);
    }

    // Connects at a fixed rate that matches the receiver and waits for the first second's output.
    void ConnectAt(const std::string& baud) {
        session->Connect(simulator->slavePath(), baud);
        Second(true);
        ASSERT_FALSE(session->Controller().Testing());
    }

    // The receiver goes away (its end of the pseudo-terminal closes) and another one appears.
    void ReplaceReceiver(const sim::SimulatorOptions& options) {
        simulator.reset();
        simulator = std::make_unique<sim::ReceiverSimulator>(options);
        commandBytes_ = 0;
    }

    CapturedStream out;
    CapturedStream err;
    std::unique_ptr<sim::ReceiverSimulator> simulator;
    std::unique_ptr<LiveSession> session;

private:
    // The protocol switch's request reaches the receiver while the port still has the old rate.
    // A switch away from the binary protocol first lets the link finish reading what came before
    // (the port listened at the receiver's rate from the start), so that no late frame counts
    // as found after the switch; this runs inside the session, so it only waits.
    void SwitchSettles(std::chrono::milliseconds settle) {
        const bool toNmea = session->Context().LinkProtocol == kBinaryProtocol;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (toNmea && !AllRead() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
        LetReceiverRead(toNmea ? FrameBytes(SwitchToNmeaCommand()) : SwitchToBinarySentence(kKestrel)->size());
        simulator->advance(settle);
    }

    std::uint64_t commandBytes_ = 0;
};

}  // namespace vexa::clitest
