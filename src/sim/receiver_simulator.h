#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/capture_feed.h"
#include "platform/line_pacer.h"
#include "receiver/frames/frame_receiver.h"
#include "sim/line_noise.h"
#include "sim/pseudo_terminal.h"
#include "sim/simulated_receiver.h"

namespace vexa::sim {

// What went out on the line. Bytes, frames and sentences count what reached a program listening at the
// receiver's baud rate, cut as a receiving program cuts them; the other two are what a receiver
// producing more than its line carries loses, and bytes the other end's buffer did not take.
struct SentCounts {
    std::uint64_t bytes = 0;
    std::uint64_t frames = 0;
    std::uint64_t sentences = 0;
    std::uint64_t messagesOverLineRate = 0;
    std::uint64_t bytesNotTaken = 0;
};

struct SimulatorOptions {
    ReceiverConfig receiver;        // startUnixSeconds 0 means the current time
    std::string replayPath;         // a raw capture to send instead of synthesised output
    double corruptProbability = 0;  // share of frames and sentences damaged on the way out
};

// A receiver on a pseudo-terminal. Programs open slavePath() like a serial port; the receiver's output
// is readable only while they set the receiver's baud rate, and it is paced at that rate.
// Run it in real time with start()/stop(), or drive its clock with advance() (never both at once).
class ReceiverSimulator {
public:
    // Throws std::system_error when no pseudo-terminal can be had, std::runtime_error when the
    // replay file cannot be opened.
    explicit ReceiverSimulator(SimulatorOptions options);
    ~ReceiverSimulator();
    ReceiverSimulator(const ReceiverSimulator&) = delete;
    ReceiverSimulator& operator=(const ReceiverSimulator&) = delete;

    const std::string& slavePath() const { return pty_.slavePath(); }

    void start();
    void stop();

    // Puts another product's receiver behind the same pseudo-terminal, as if the receiver were
    // swapped: it speaks that product's framing from the next second on. Call it from the thread
    // that starts and stops the simulator.
    void changeProduct(const std::string& productName);
    const std::string& productName() const { return options_.receiver.productName; }

    // Moves the receiver's clock forward: takes in the program's commands, then sends what falls due.
    void advance(std::chrono::microseconds elapsed);

    // Current line settings; read them only while the simulator is not started.
    Protocol protocol() const { return receiver_->protocol(); }
    int baud() const { return pacer_.baud(); }

    std::uint64_t bytesReceived() const { return bytesReceived_; }
    std::uint64_t bytesSent() const { return bytesSent_; }
    std::uint64_t messagesDamaged() const { return messagesDamaged_; }
    // Read it only while the simulator is not started.
    SentCounts sentCounts() const;

private:
    class Output : public ReceiverOutput {
    public:
        explicit Output(ReceiverSimulator& simulator) : simulator_(simulator) {}
        void send(std::vector<std::uint8_t> message) override;
        void changeLine(Protocol protocol, int baud) override;

    private:
        ReceiverSimulator& simulator_;
    };

    // Cuts the bytes sent as the program on the other end does, for the counts only.
    class Unheard : public FrameListener {
    public:
        void onFrame(std::span<std::uint8_t>) override {}
    };

    class Commands : public FrameListener {
    public:
        explicit Commands(ReceiverSimulator& simulator) : simulator_(simulator) {}
        void onFrame(std::span<std::uint8_t> payload) override;
        void onSentence(std::span<const std::uint8_t> text) override;

    private:
        ReceiverSimulator& simulator_;
    };

    std::chrono::microseconds epochTime(std::int64_t epoch) const;
    double nowSeconds() const;
    void readCommands();
    void transmit(std::chrono::microseconds elapsed);
    void run();

    SimulatorOptions options_;
    PseudoTerminal pty_;
    LinePacer pacer_;
    Output output_;
    Commands commands_;
    FrameReceiver commandReader_;
    Unheard unheard_;
    FrameReceiver lineMeter_;
    std::uint64_t messagesOverLineRate_ = 0;
    std::uint64_t bytesNotTaken_ = 0;
    std::unique_ptr<SimulatedReceiver> receiver_;
    MismatchedBaudNoise noise_;
    MessageCorruptor corruptor_;
    std::optional<CaptureFeed> replay_;

    std::chrono::microseconds now_{0};
    std::int64_t nextEpoch_ = 0;
    std::atomic<std::uint64_t> bytesReceived_{0};
    std::atomic<std::uint64_t> bytesSent_{0};
    std::atomic<std::uint64_t> messagesDamaged_{0};

    std::atomic<bool> running_{false};
    std::thread thread_;
};

}  // namespace vexa::sim
