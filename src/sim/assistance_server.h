#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "location/messages/message.h"
#include "platform/wake_event.h"
#include "receiver/frames/frame_receiver.h"

namespace vexa::sim {

struct AssistanceServerConfig {
    std::string address = "127.0.0.1";
    std::uint16_t port = 0;             // 0: any free port; port() tells which
    std::uint32_t seed = 1;             // the sky whose satellites' orbit records are handed out
    std::uint16_t sessionId = 0x0101;
    std::function<double()> unixNow;    // the clock of the aiding time; empty: the system clock
};

// A simulated assistance server. Each client that connects gets a session: the server asks to open
// it, says it is ready once the client answers, sends aiding data (orbit records of its satellites
// and a valid GPS time) when the client starts its test, asks to close when the client ends the test,
// and hangs up after the client's close answer. One client at a time; it runs on its own thread.
class AssistanceServer : private FrameListener {
public:
    // Throws std::system_error when it cannot listen on the address and port.
    explicit AssistanceServer(AssistanceServerConfig config);
    ~AssistanceServer() override;
    AssistanceServer(const AssistanceServer&) = delete;
    AssistanceServer& operator=(const AssistanceServer&) = delete;

    std::uint16_t port() const { return port_; }
    void start();
    void stop();

    std::uint64_t sessionsOpened() const { return sessionsOpened_; }
    std::uint64_t sessionsClosed() const { return sessionsClosed_; }
    std::uint64_t framesReceived() const { return framesReceived_; }

    // The aiding data block the server hands out at this moment.
    std::vector<std::uint8_t> aidingBlock(double unixSeconds) const;

private:
    void onFrame(std::span<std::uint8_t> content) override;
    void run();
    void serveClient();
    void send(Message& message);
    void hangUp();
    double unixNow() const;

    AssistanceServerConfig config_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    int client_ = -1;
    bool closing_ = false;
    FrameReceiver frames_;  // restarted for each client
    WakeEvent wake_;
    std::atomic<bool> running_{false};
    std::atomic<std::uint64_t> sessionsOpened_{0};
    std::atomic<std::uint64_t> sessionsClosed_{0};
    std::atomic<std::uint64_t> framesReceived_{0};
    std::thread thread_;
};

}  // namespace vexa::sim
