#include "sim/receiver_simulator.h"

#include <algorithm>
#include <cmath>
#include <ratio>
#include <stdexcept>

namespace vexa::sim {
namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

// Time is handed to the line in slices no longer than this, so a replay queue never runs dry within one.
constexpr microseconds kLongestSlice = milliseconds(500);
// Longest wait of the real-time loop, for quick reaction to stop().
constexpr milliseconds kLongestWait{50};
// Shortest wait while bytes are queued, so that writes go out in batches rather than byte by byte.
constexpr milliseconds kShortestWriteWait{10};

SimulatorOptions WithStartTime(SimulatorOptions options) {
    if (options.receiver.startUnixSeconds == 0) {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        options.receiver.startUnixSeconds = std::floor(std::chrono::duration<double>(now).count());
    }
    return options;
}

}  // namespace

void ReceiverSimulator::Output::send(std::vector<std::uint8_t> message) {
    if (simulator_.corruptor_.maybeDamage(message)) ++simulator_.messagesDamaged_;
    if (!simulator_.pacer_.enqueue(message)) ++simulator_.messagesOverLineRate_;
}

void ReceiverSimulator::Output::changeLine(Protocol, int baud) {
    simulator_.pacer_.clear();
    simulator_.pacer_.setBaud(baud);
}

void ReceiverSimulator::Commands::onFrame(std::span<std::uint8_t> payload) {
    simulator_.receiver_->onFrame(payload, simulator_.nowSeconds());
}

void ReceiverSimulator::Commands::onSentence(std::span<const std::uint8_t> text) {
    const std::string_view sentence(reinterpret_cast<const char*>(text.data()), text.size());
    simulator_.receiver_->onSentence(sentence, simulator_.nowSeconds());
}

ReceiverSimulator::ReceiverSimulator(SimulatorOptions options)
    : options_(WithStartTime(std::move(options))),
      pty_(options_.receiver.baud),
      pacer_(options_.receiver.baud),
      output_(*this),
      commands_(*this),
      // Longer than the link's own limit: the location client's AI3 fragments fill up to 1016 bytes.
      commandReader_(commands_, FrameReceiver::kLargestPayloadLimit),
      lineMeter_(unheard_, FrameReceiver::kLargestPayloadLimit),
      receiver_(std::make_unique<SimulatedReceiver>(options_.receiver, output_)),
      noise_(options_.receiver.seed + 1),
      corruptor_(options_.corruptProbability, options_.receiver.seed + 2) {
    if (!options_.replayPath.empty()) {
        replay_.emplace(options_.replayPath);
        if (!replay_->IsOpen()) throw std::runtime_error("cannot open the capture " + options_.replayPath);
    }
}

ReceiverSimulator::~ReceiverSimulator() {
    stop();
}

SentCounts ReceiverSimulator::sentCounts() const {
    const ReceiveStatistics& line = lineMeter_.statistics();
    return {line.bytes, line.frames, line.sentences, messagesOverLineRate_, bytesNotTaken_};
}

std::chrono::microseconds ReceiverSimulator::epochTime(std::int64_t epoch) const {
    return microseconds(epoch * std::micro::den / options_.receiver.fixesPerSecond);
}

double ReceiverSimulator::nowSeconds() const {
    return std::chrono::duration<double>(now_).count();
}

void ReceiverSimulator::readCommands() {
    std::uint8_t buffer[1024];
    while (const std::size_t count = pty_.read(buffer)) {
        bytesReceived_ += count;
        // Bytes sent at another baud rate reach the receiver's UART as noise; a replay listens to nothing.
        if (!replay_ && pty_.peerBaud() == pacer_.baud()) commandReader_.feed(std::span(buffer, count));
    }
}

void ReceiverSimulator::transmit(microseconds elapsed) {
    while (elapsed > microseconds(0)) {
        const microseconds slice = std::min(elapsed, kLongestSlice);
        elapsed -= slice;
        if (replay_) replay_->Refill(pacer_);
        std::vector<std::uint8_t> bytes = pacer_.advance(slice);
        // With nobody on the other end, the bytes leave the UART and are gone.
        if (bytes.empty() || !pty_.peerPresent()) continue;
        const bool heard = pty_.peerBaud() == pacer_.baud();
        if (!heard) noise_.garble(bytes);
        const std::size_t written = pty_.write(bytes);
        bytesSent_ += written;
        bytesNotTaken_ += bytes.size() - written;
        if (heard) lineMeter_.feed(std::span(bytes.data(), written));
    }
}

void ReceiverSimulator::advance(microseconds elapsed) {
    readCommands();
    const microseconds target = now_ + elapsed;
    while (epochTime(nextEpoch_) <= target) {
        transmit(epochTime(nextEpoch_) - now_);
        now_ = epochTime(nextEpoch_);
        if (!replay_) receiver_->outputEpoch(nextEpoch_);
        ++nextEpoch_;
    }
    transmit(target - now_);
    now_ = target;
}

void ReceiverSimulator::run() {
    auto last = std::chrono::steady_clock::now();
    while (running_) {
        auto wait = std::chrono::duration_cast<milliseconds>(epochTime(nextEpoch_) - now_) + milliseconds(1);
        if (pacer_.queued() > 0) {
            const auto untilByte = std::chrono::duration_cast<milliseconds>(pacer_.untilNextByte());
            wait = std::min(wait, std::max(untilByte, kShortestWriteWait));
        }
        wait = std::clamp(wait, milliseconds(1), kLongestWait);
        if (pty_.peerPresent()) {
            pty_.waitReadable(static_cast<int>(wait.count()));
        } else {
            std::this_thread::sleep_for(wait);
        }
        const auto elapsed = std::chrono::duration_cast<microseconds>(std::chrono::steady_clock::now() - last);
        advance(elapsed);
        last += elapsed;
    }
}

void ReceiverSimulator::start() {
    if (running_.exchange(true)) return;
    thread_ = std::thread([this] { run(); });
}

void ReceiverSimulator::stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
}

void ReceiverSimulator::changeProduct(const std::string& productName) {
    if (productName == options_.receiver.productName) return;
    const bool wasRunning = running_.load();
    stop();
    options_.receiver.productName = productName;
    // What the previous receiver had queued or half heard is not the new one's.
    pacer_.clear();
    pacer_.setBaud(options_.receiver.baud);
    commandReader_.restart();
    receiver_ = std::make_unique<SimulatedReceiver>(options_.receiver, output_);
    if (wasRunning) start();
}

}  // namespace vexa::sim
