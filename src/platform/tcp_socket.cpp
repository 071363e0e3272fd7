#include "platform/tcp_socket.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vexa {

namespace {

bool AddressOf(const std::string& address, std::uint16_t port, sockaddr_in& out) {
    out = {};
    out.sin_family = AF_INET;
    out.sin_port = htons(port);
    return ::inet_pton(AF_INET, address.c_str(), &out.sin_addr) == 1;
}

int Stream() { return ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

// Closes the descriptor but keeps the errno that made the caller give up.
int Abandon(int fd) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
}

}  // namespace

int ConnectTcp(const std::string& address, std::uint16_t port, std::chrono::milliseconds timeout, int cancel) {
    sockaddr_in peer{};
    if (!AddressOf(address, port, peer)) {
        errno = EINVAL;
        return -1;
    }
    const int fd = Stream();
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return fd;
    if (errno != EINPROGRESS) return Abandon(fd);
    pollfd watched[2] = {{fd, POLLOUT, 0}, {cancel, POLLIN, 0}};
    const int ready = ::poll(watched, cancel >= 0 ? 2 : 1, static_cast<int>(timeout.count()));
    if (ready <= 0) {
        errno = ready == 0 ? ETIMEDOUT : errno;
        return Abandon(fd);
    }
    if (watched[0].revents == 0) {
        errno = ECANCELED;
        return Abandon(fd);
    }
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return Abandon(fd);
    if (error != 0) {
        errno = error;
        return Abandon(fd);
    }
    return fd;
}

bool ResolveIPv4(const std::string& host, std::string& address, std::string& problem) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int error = ::getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (error != 0 || found == nullptr) {
        problem = error == EAI_SYSTEM ? std::strerror(errno) : ::gai_strerror(error);
        return false;
    }
    char text[INET_ADDRSTRLEN] = {};
    const auto* peer = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    ::inet_ntop(AF_INET, &peer->sin_addr, text, sizeof text);
    ::freeaddrinfo(found);
    address = text;
    return true;
}

int ListenTcp(const std::string& address, std::uint16_t port) {
    sockaddr_in local{};
    if (!AddressOf(address, port, local)) return -1;
    const int fd = Stream();
    if (fd < 0) return -1;
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 || ::listen(fd, 4) != 0) {
        return Abandon(fd);
    }
    return fd;
}

std::uint16_t LocalPort(int fd) {
    sockaddr_in local{};
    socklen_t size = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0) return 0;
    return ntohs(local.sin_port);
}

int AcceptTcp(int listener) { return ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC); }

long SendTcp(int fd, const std::uint8_t* bytes, std::size_t length, std::chrono::milliseconds timeout, const Clock& clock) {
    const SteadyTime deadline = clock.SteadyNow() + timeout;
    std::size_t sent = 0;
    while (sent < length) {
        const ssize_t count = ::send(fd, bytes + sent, length - sent, MSG_NOSIGNAL);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock.SteadyNow());
        if (left.count() <= 0) break;
        pollfd writable{fd, POLLOUT, 0};
        if (::poll(&writable, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return -1;
    }
    return static_cast<long>(sent);
}

Received ReceiveTcp(int fd, std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
    count = 0;
    const ssize_t received = ::recv(fd, buffer, capacity, 0);
    if (received > 0) {
        count = static_cast<std::size_t>(received);
        return Received::Data;
    }
    if (received == 0) return Received::Closed;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return Received::Nothing;
    return Received::Failed;
}

void CloseTcp(int fd) {
    if (fd < 0) return;
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}

}  // namespace vexa
