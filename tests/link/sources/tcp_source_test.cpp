#include "link/sources/tcp_source.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "byte_source_reading.h"
#include "platform/result_codes.h"
#include "platform/tcp_socket.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using test::ReadUntil;
using test::SourceReading;
using Bytes = std::vector<std::uint8_t>;

// The receiver's end of the stream: a real listener on loopback and the one connection it takes.
struct ReceiverEnd {
    ReceiverEnd() : listener(ListenTcp("127.0.0.1", 0)) {}
    ~ReceiverEnd() {
        CloseTcp(peer);
        CloseTcp(listener);
    }
    std::uint16_t port() const { return LocalPort(listener); }
    bool accept() {
        pollfd waiting{listener, POLLIN, 0};
        peer = ::poll(&waiting, 1, 5000) == 1 ? AcceptTcp(listener) : -1;
        return peer >= 0;
    }
    void send(const Bytes& bytes) const { SendTcp(peer, bytes.data(), bytes.size(), 1s); }
    Bytes receive(std::size_t count) const {
        Bytes bytes(count);
        pollfd readable{peer, POLLIN, 0};
        std::size_t got = 0;
        if (::poll(&readable, 1, 5000) != 1 || ReceiveTcp(peer, bytes.data(), count, got) != Received::Data) return {};
        bytes.resize(got);
        return bytes;
    }
    void hangUp() {
        CloseTcp(peer);
        peer = -1;
    }
    int listener;
    int peer = -1;
};

std::string NameOf(const ReceiverEnd& server) { return "tcp://127.0.0.1:" + std::to_string(server.port()); }

Bytes Of(std::string_view text) { return Bytes(text.begin(), text.end()); }

// A port on loopback that nothing listens on.
std::string RefusingName() {
    const int listener = ListenTcp("127.0.0.1", 0);
    const std::uint16_t port = LocalPort(listener);
    CloseTcp(listener);
    return "tcp://127.0.0.1:" + std::to_string(port);
}

TEST(TcpSource, CarriesTheReceiversBytesAndTheCommandsBothWays) {
    ReceiverEnd server;
    TcpSource source(NameOf(server));
    EXPECT_FALSE(source.BaudChangeable());
    EXPECT_TRUE(source.TakesCommands());
    ASSERT_EQ(source.Open(4800), kResultOk) << source.OpenProblem();
    EXPECT_EQ(source.OpenProblem(), "");
    ASSERT_TRUE(server.accept());
    server.send(Of("$GPGSA,A,3*36\r\n\xA0\xA2"));
    EXPECT_EQ(ReadUntil(source, 17).bytes, "$GPGSA,A,3*36\r\n\xA0\xA2");

    const Bytes command = {0xA0, 0xA2, 0x00, 0x01, 0x84, 0x00, 0x84, 0xB0, 0xB3};
    ASSERT_EQ(source.Write(command.data(), command.size()), kResultOk);
    EXPECT_EQ(server.receive(command.size()), command);
    EXPECT_EQ(source.Configure(115200), kResultOk) << "no line speed to change";
    EXPECT_EQ(source.Close(), kResultOk);
    EXPECT_FALSE(source.IsOpen());
}

TEST(TcpSource, APeerThatHangsUpEndsTheSourceAfterItsLastBytes) {
    ReceiverEnd server;
    TcpSource source(NameOf(server));
    ASSERT_EQ(source.Open(0), kResultOk);
    ASSERT_TRUE(server.accept());
    server.send(Of("\x01\xFFgarbage"));
    server.hangUp();
    const SourceReading outcome = ReadUntil(source, 100);
    EXPECT_EQ(outcome.bytes, "\x01\xFFgarbage");
    EXPECT_EQ(outcome.last, ReadOutcome::kEnded);
    EXPECT_EQ(source.EndReason(), "Connection closed by 127.0.0.1:" + std::to_string(server.port()));
    std::uint8_t byte = 0;
    EXPECT_EQ(source.Write(&byte, 1), kResultCommFailure) << "nothing is written to a stream that ended";

    ASSERT_EQ(source.Open(0), kResultOk);
    ASSERT_TRUE(server.accept());
    EXPECT_EQ(source.EndReason(), "") << "the new connection is sound";
}

TEST(TcpSource, RefusedUnresolvableAndMalformedNamesFailWithTheReason) {
    const std::string refused = RefusingName();
    TcpSource refusing(refused);
    ASSERT_EQ(refusing.Open(0), kResultCommFailure);
    EXPECT_EQ(refusing.OpenProblem(), "Connection refused by " + refused.substr(6));
    EXPECT_EQ(refusing.OpenError(), ECONNREFUSED);
    EXPECT_FALSE(refusing.IsOpen());

    // The resolver may take longer than Open waits; then the source ends with the reason instead.
    TcpSource unknown("tcp://no-such-host.invalid:4001");
    if (unknown.Open(0) == kResultOk) EXPECT_EQ(ReadUntil(unknown, 1).last, ReadOutcome::kEnded);
    const std::string why = unknown.OpenProblem() + unknown.EndReason();
    EXPECT_TRUE(why.starts_with("Cannot resolve host no-such-host.invalid: ")) << why;

    TcpSource malformed("tcp://gnss-box");
    EXPECT_EQ(malformed.Open(0), kResultCommFailure);
    EXPECT_EQ(malformed.OpenProblem(), "Not a TCP source: tcp://gnss-box (tcp://HOST:PORT)");

    // A failed Open leaves nothing behind for the next one.
    ReceiverEnd server;
    TcpSource again(NameOf(server));
    EXPECT_EQ(again.Open(0), kResultOk);
    EXPECT_EQ(again.OpenProblem(), "");
    EXPECT_EQ(again.EndReason(), "");
}

TEST(TcpSource, AQuietConnectionWaitsWithoutSpinningAndWakesOnRequest) {
    ReceiverEnd server;
    TcpSource source(NameOf(server));
    ASSERT_EQ(source.Open(0), kResultOk);
    ASSERT_TRUE(server.accept());
    WakeEvent wake;
    std::uint8_t byte = 0;
    std::size_t got = 0;
    EXPECT_EQ(source.Read(&byte, 1, got), ReadOutcome::kNothing);
    EXPECT_EQ(source.WaitReadable(wake, 50ms), WakeEvent::Wait::TimedOut);
    wake.signal();
    EXPECT_EQ(source.WaitReadable(wake, 5s), WakeEvent::Wait::Woken);
    EXPECT_EQ(source.Close(), kResultOk);
    EXPECT_EQ(source.Read(&byte, 1, got), ReadOutcome::kNothing) << "a closed source has nothing";
    EXPECT_EQ(source.WaitReadable(wake, 5s), WakeEvent::Wait::Woken) << "a closed source waits on the wake alone";
}

// A listener whose queue is full: the kernel drops further connection requests, as a host that does
// not answer would.
TEST(TcpSource, AServerThatNeverAnswersEndsTheSourceAfterTheConnectTimeOut) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof local), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    const std::uint16_t port = LocalPort(listener);
    std::vector<int> queued;
    for (int i = 0; i < 4; ++i) queued.push_back(ConnectTcp("127.0.0.1", port, 200ms));

    TcpSource source("tcp://127.0.0.1:" + std::to_string(port));
    ASSERT_EQ(source.Open(0), kResultOk) << "a silent host is not known to be silent yet";
    EXPECT_EQ(ReadUntil(source, 1, 10s).last, ReadOutcome::kEnded);
    EXPECT_EQ(source.OpenProblem(), "") << "Open did not fail";
    EXPECT_EQ(source.EndReason(), "No answer from 127.0.0.1:" + std::to_string(port) + " within 5 s");
    for (int fd : queued) CloseTcp(fd);
    ::close(listener);
}

TEST(TcpSource, ClosingWhileTheHostIsStillBeingResolvedReturnsAtOnce) {
    TcpSource source("tcp://no-such-host.invalid:4001");
    // Whether or not the resolver answered within Open's short wait, Close returns at once.
    const LinkResult opened = source.Open(0);
    EXPECT_TRUE(opened == kResultOk || opened == kResultCommFailure);
    EXPECT_EQ(source.Close(), kResultOk);
    EXPECT_FALSE(source.IsOpen());
}

}  // namespace
}  // namespace vexa
