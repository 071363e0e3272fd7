#include "sim/assistance_server.h"

#include <cerrno>
#include <chrono>
#include <system_error>

#include "location/messages/message_mas.h"
#include "location/messages/orbit_slots.h"
#include "location/transport/module_framing.h"
#include "platform/tcp_socket.h"
#include "receiver/frames/byte_order.h"
#include "sim/gps_time.h"
#include "sim/sky.h"

namespace vexa::sim {
namespace {

constexpr std::uint16_t kOrbitBlock = 1;
constexpr std::uint16_t kTimeBlock = 2;
constexpr std::uint8_t kReadyValue = 1;
constexpr std::size_t kOrbitTrailer = 8 + 1 + 4;  // after the records: 8 bytes, a byte, a 32-bit value
constexpr std::size_t kTimeBlockLength = 7;
constexpr std::size_t kReceiveBytes = 1024;

// An orbit record with plausible-looking contents; only the satellite number means anything here.
void appendOrbitRecord(std::vector<std::uint8_t>& out, int prn) {
    const std::size_t start = out.size();
    out.resize(start + kOrbitRecordLength);
    out[start] = static_cast<std::uint8_t>(prn);
    for (std::size_t i = 1; i < kOrbitRecordLength; ++i) out[start + i] = static_cast<std::uint8_t>(prn * 31 + i * 7);
}

void appendBlockHeader(std::vector<std::uint8_t>& out, std::uint16_t type, std::size_t length) {
    std::uint8_t header[6];
    ByteWriter(header).u16(type).u32(static_cast<std::uint32_t>(length));
    out.insert(out.end(), header, header + sizeof header);
}

}  // namespace

AssistanceServer::AssistanceServer(AssistanceServerConfig config)
    : config_(std::move(config)), frames_(static_cast<FrameListener&>(*this), networkModuleFraming().rules) {
    listener_ = ListenTcp(config_.address, config_.port);
    if (listener_ < 0) throw std::system_error(errno, std::generic_category(), "cannot listen on " + config_.address);
    port_ = LocalPort(listener_);
}

AssistanceServer::~AssistanceServer() {
    stop();
    CloseTcp(listener_);
}

double AssistanceServer::unixNow() const {
    if (config_.unixNow) return config_.unixNow();
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::vector<std::uint8_t> AssistanceServer::aidingBlock(double unixSeconds) const {
    std::vector<int> satellites;
    for (const SatelliteInView& satellite : Sky(config_.seed, Constellation::Gps).at(0)) {
        if (satellite.number > 0 && satellite.number < static_cast<int>(kSatelliteSlots)) {
            satellites.push_back(satellite.number);
        }
    }
    std::vector<std::uint8_t> block{2, 0};
    appendBlockHeader(block, kOrbitBlock, 1 + satellites.size() * kOrbitRecordLength + kOrbitTrailer);
    block.push_back(static_cast<std::uint8_t>(satellites.size()));
    for (int prn : satellites) appendOrbitRecord(block, prn);
    block.insert(block.end(), kOrbitTrailer, 0);

    const GpsTime time = GpsTimeFromUnix(unixSeconds);
    appendBlockHeader(block, kTimeBlock, kTimeBlockLength);
    std::uint8_t timeBlock[kTimeBlockLength];
    ByteWriter(timeBlock).u8(1).u16(static_cast<std::uint16_t>(time.week)).u32(static_cast<std::uint32_t>(time.towSeconds));
    block.insert(block.end(), timeBlock, timeBlock + kTimeBlockLength);
    return block;
}

void AssistanceServer::start() {
    if (running_.exchange(true)) return;
    wake_.clear();
    thread_ = std::thread([this] { run(); });
}

void AssistanceServer::stop() {
    running_ = false;
    wake_.signal();
    if (thread_.joinable()) thread_.join();
    hangUp();
}

void AssistanceServer::send(Message& message) {
    if (const std::uint8_t* frame = message.getBytes()) {
        if (SendTcp(client_, frame, message.getLength(), std::chrono::seconds(1)) < 0) hangUp();
    }
}

void AssistanceServer::hangUp() {
    CloseTcp(client_);
    client_ = -1;
}

void AssistanceServer::run() {
    while (running_) {
        const WakeEvent::Wait wait = wake_.waitReadable(listener_, std::chrono::milliseconds(-1));
        if (wait == WakeEvent::Wait::Failed) wake_.sleep(std::chrono::milliseconds(50));
        if (wait != WakeEvent::Wait::Readable) continue;
        client_ = AcceptTcp(listener_);
        if (client_ >= 0) serveClient();
    }
}

void AssistanceServer::serveClient() {
    closing_ = false;
    frames_.restart();
    ++sessionsOpened_;
    MessageMAS_OpenRequest open(config_.sessionId);
    send(open);
    std::uint8_t buffer[kReceiveBytes];
    while (running_ && client_ >= 0) {
        const WakeEvent::Wait wait = wake_.waitReadable(client_, std::chrono::milliseconds(-1));
        if (wait == WakeEvent::Wait::Woken || wait == WakeEvent::Wait::TimedOut) continue;
        std::size_t count = 0;
        const Received received =
            wait == WakeEvent::Wait::Readable ? ReceiveTcp(client_, buffer, sizeof buffer, count) : Received::Failed;
        if (received == Received::Data) {
            frames_.feed(std::span(buffer, count));
        } else if (received != Received::Nothing) {
            hangUp();
        }
    }
}

void AssistanceServer::onFrame(std::span<std::uint8_t> content) {
    ++framesReceived_;
    switch (content[1]) {
    case MessageMAS_OpenResponse::kId: {
        MessageMAS_Ready ready(kReadyValue);
        send(ready);
        return;
    }
    case MessageMAS_StartTest::kId: {
        MessageMAS_Aiding aiding(aidingBlock(unixNow()));
        send(aiding);
        return;
    }
    case MessageMAS_EndTest::kId:
        if (!closing_) {
            closing_ = true;
            MessageMAS_CloseRequest close(config_.sessionId);
            send(close);
        }
        return;
    case MESSAGE_MAS_CLOSE_RESPONSE::kId:
        ++sessionsClosed_;
        hangUp();
        return;
    default:
        return;
    }
}

}  // namespace vexa::sim
