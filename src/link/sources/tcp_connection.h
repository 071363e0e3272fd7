#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "link/sources/network_source_name.h"
#include "platform/read_outcome.h"
#include "platform/wake_event.h"

namespace vexa {

inline constexpr std::chrono::seconds kTcpConnectTimeout{5};

// One TCP stream to a receiver or a server, as the network byte sources use it. Opening never holds
// the caller for long: the host is resolved and connected to in the background, and a connection that
// fails later ends the stream with the reason. Threads as for a byte source: receive and wait on the
// reader thread, send from any thread, open and close from the owner between the reader's chunks.
class TcpConnection {
public:
    TcpConnection() = default;
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Starts connecting and sends `greeting` first once connected. Waits a moment for a quick answer,
    // so that a refused port or an unknown host usually fails here; false then, Problem() says why.
    bool Open(const NetworkEndpoint& endpoint, std::string greeting);
    void Close();
    // Closed, with a problem found before connecting (a name that is not a network address).
    void Reject(std::string problem);
    // Between an Open that did not fail and Close, whether connecting, connected or ended.
    bool IsOpen() const { return open_; }

    ReadOutcome Receive(std::uint8_t* buffer, std::size_t capacity, std::size_t& count);
    WakeEvent::Wait WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout);
    // Sends every byte or fails; fails while still connecting and once ended.
    bool Send(const std::uint8_t* bytes, std::size_t length);

    // Ends the stream for a reason found in what arrived; the next Receive reports the end.
    void End(std::string problem);
    // Why the connection failed or ended, as a user reads it; empty while it is sound.
    std::string Problem() const;
    // Whether the last Open (or Reject) failed at once, rather than the connection ending later.
    bool OpenFailed() const { return openFailed_; }
    int Error() const;

private:
    struct Attempt;

    // Takes the finished attempt's socket or failure; false while the attempt still runs.
    bool SettleAttempt();
    void Fail(std::string problem, int error);

    NetworkEndpoint endpoint_;
    std::shared_ptr<Attempt> attempt_;
    std::atomic<bool> open_ = false;
    std::atomic<bool> ended_ = false;
    bool openFailed_ = false;
    mutable std::mutex mutex_;  // guards the socket against writers and the problem against readers
    int fd_ = -1;
    std::string problem_;
    int error_ = 0;
};

}  // namespace vexa
