#include "link/sources/tcp_connection.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/tcp_socket.h"

namespace vexa {

namespace {

// Long enough for a refusal or a resolver answer from the local machine, short enough not to be noticed.
constexpr std::chrono::milliseconds kQuickAnswer{250};
constexpr std::chrono::seconds kSendTimeout{2};

std::string ConnectProblem(const NetworkEndpoint& endpoint, int error) {
    switch (error) {
    case ECONNREFUSED: return "Connection refused by " + endpoint.Text();
    case ETIMEDOUT:
        return "No answer from " + endpoint.Text() + " within " + std::to_string(kTcpConnectTimeout.count()) + " s";
    default: return "Cannot connect to " + endpoint.Text() + ": " + std::strerror(error);
    }
}

}  // namespace

// A connect running in its own thread. The thread may outlive the connection that started it (a
// resolver cannot be interrupted), so both share this; whoever comes last closes the socket.
struct TcpConnection::Attempt {
    WakeEvent finished;
    WakeEvent cancelled;
    std::mutex mutex;
    bool done = false;
    bool abandoned = false;
    int fd = -1;
    std::string problem;
    int error = 0;

    void Finish(int socket, std::string why, int errorNumber) {
        const std::lock_guard lock(mutex);
        done = true;
        if (abandoned) {
            CloseTcp(socket);
            return;
        }
        fd = socket;
        problem = std::move(why);
        error = errorNumber;
        finished.signal();
    }

    void Abandon() {
        const std::lock_guard lock(mutex);
        abandoned = true;
        CloseTcp(fd);
        fd = -1;
        cancelled.signal();
    }

    static void Run(const std::shared_ptr<Attempt>& attempt, const NetworkEndpoint& endpoint,
                    const std::string& greeting) {
        std::string address;
        std::string why;
        if (!ResolveIPv4(endpoint.host, address, why)) {
            attempt->Finish(-1, "Cannot resolve host " + endpoint.host + ": " + why, 0);
            return;
        }
        const int fd = ConnectTcp(address, endpoint.port, kTcpConnectTimeout, attempt->cancelled.descriptor());
        if (fd < 0) {
            const int error = errno;
            attempt->Finish(-1, ConnectProblem(endpoint, error), error);
            return;
        }
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(greeting.data());
        if (!greeting.empty() && SendTcp(fd, bytes, greeting.size(), kSendTimeout) != static_cast<long>(greeting.size())) {
            const int error = errno;
            CloseTcp(fd);
            attempt->Finish(-1, "Connection to " + endpoint.Text() + " failed: " + std::strerror(error), error);
            return;
        }
        attempt->Finish(fd, {}, 0);
    }
};

TcpConnection::~TcpConnection() { Close(); }

bool TcpConnection::Open(const NetworkEndpoint& endpoint, std::string greeting) {
    Close();
    endpoint_ = endpoint;
    {
        const std::lock_guard lock(mutex_);
        problem_.clear();
        error_ = 0;
    }
    ended_ = false;
    openFailed_ = true;
    open_ = true;
    attempt_ = std::make_shared<Attempt>();
    if (!attempt_->finished.valid() || !attempt_->cancelled.valid()) {
        Fail("Cannot connect to " + endpoint.Text() + ": " + std::strerror(errno), errno);
        Close();
        return false;
    }
    try {
        std::thread(&Attempt::Run, attempt_, endpoint, std::move(greeting)).detach();
    } catch (const std::system_error& error) {
        Fail("Cannot connect to " + endpoint.Text() + ": " + error.what(), error.code().value());
        Close();
        return false;
    }
    attempt_->finished.sleep(kQuickAnswer);
    if (SettleAttempt() && ended_) {
        open_ = false;
        return false;
    }
    openFailed_ = false;
    return true;
}

void TcpConnection::Close() {
    if (attempt_) attempt_->Abandon();
    attempt_.reset();
    const std::lock_guard lock(mutex_);
    CloseTcp(fd_);
    fd_ = -1;
    open_ = false;
}

bool TcpConnection::SettleAttempt() {
    if (!attempt_) return true;
    {
        const std::lock_guard lock(attempt_->mutex);
        if (!attempt_->done) return false;
        if (attempt_->fd < 0) {
            Fail(std::move(attempt_->problem), attempt_->error);
        } else {
            const std::lock_guard own(mutex_);
            fd_ = std::exchange(attempt_->fd, -1);
        }
    }
    attempt_.reset();
    return true;
}

void TcpConnection::Fail(std::string problem, int error) {
    ended_ = true;
    const std::lock_guard lock(mutex_);
    if (problem_.empty()) {
        problem_ = std::move(problem);
        error_ = error;
    }
}

void TcpConnection::Reject(std::string problem) {
    Close();
    {
        const std::lock_guard lock(mutex_);
        problem_.clear();
    }
    Fail(std::move(problem), EINVAL);
    openFailed_ = true;
}

void TcpConnection::End(std::string problem) { Fail(std::move(problem), 0); }

ReadOutcome TcpConnection::Receive(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
    count = 0;
    if (!open_) return ReadOutcome::kNothing;
    if (!ended_ && !SettleAttempt()) return ReadOutcome::kNothing;
    if (ended_) return ReadOutcome::kEnded;
    int fd = -1;
    {
        const std::lock_guard lock(mutex_);
        fd = fd_;
    }
    switch (ReceiveTcp(fd, buffer, capacity, count)) {
    case Received::Data: return ReadOutcome::kBytes;
    case Received::Nothing: return ReadOutcome::kNothing;
    case Received::Closed: Fail("Connection closed by " + endpoint_.Text(), 0); break;
    case Received::Failed: Fail("Connection to " + endpoint_.Text() + " failed: " + std::strerror(errno), errno); break;
    }
    return ReadOutcome::kEnded;
}

WakeEvent::Wait TcpConnection::WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) {
    if (!open_) return wake.waitReadable(-1, timeout);
    if (ended_) return WakeEvent::Wait::Readable;
    if (attempt_) return wake.waitReadable(attempt_->finished.descriptor(), timeout);
    int fd = -1;
    {
        const std::lock_guard lock(mutex_);
        fd = fd_;
    }
    return wake.waitReadable(fd, timeout);
}

bool TcpConnection::Send(const std::uint8_t* bytes, std::size_t length) {
    const std::lock_guard lock(mutex_);
    if (fd_ < 0 || ended_) return false;
    return SendTcp(fd_, bytes, length, kSendTimeout) == static_cast<long>(length);
}

std::string TcpConnection::Problem() const {
    const std::lock_guard lock(mutex_);
    return problem_;
}

int TcpConnection::Error() const {
    const std::lock_guard lock(mutex_);
    return error_;
}

}  // namespace vexa
