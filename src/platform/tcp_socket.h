#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace vexa {

// TCP primitives on IPv4. Sockets are non-blocking; every wait is bounded by its time-out.

// Connects to the dotted address and port; the descriptor, or -1 (errno tells why) when the address is
// not dotted IPv4, the peer refuses, the time-out passes first (ETIMEDOUT), or the optional `cancel`
// descriptor becomes readable first (ECANCELED).
int ConnectTcp(const std::string& address, std::uint16_t port, std::chrono::milliseconds timeout, int cancel = -1);

// The first IPv4 address of a host name or dotted address, as dotted text; on failure false, with the
// resolver's reason in `problem`. Blocks for as long as the resolver takes.
bool ResolveIPv4(const std::string& host, std::string& address, std::string& problem);

// Listens on the dotted address and port (0: any free port); -1 on failure.
int ListenTcp(const std::string& address, std::uint16_t port);
// The local port a socket is bound to; 0 on failure.
std::uint16_t LocalPort(int fd);
// Takes one waiting connection, non-blocking; -1 when none is waiting.
int AcceptTcp(int listener);

// Sends what the socket takes before the time-out, measured on `clock`; the count sent (possibly
// short), or -1 on an error.
long SendTcp(int fd, const std::uint8_t* bytes, std::size_t length, std::chrono::milliseconds timeout,
             const Clock& clock = SystemClock());

enum class Received { Data, Nothing, Closed, Failed };
// Reads what is waiting without blocking: Data with the count, Nothing when no byte is waiting,
// Closed when the peer has closed its side, Failed on a hard error.
Received ReceiveTcp(int fd, std::uint8_t* buffer, std::size_t capacity, std::size_t& count);

void CloseTcp(int fd);

}  // namespace vexa
