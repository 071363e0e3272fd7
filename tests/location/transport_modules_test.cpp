#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "support/pseudo_terminal.h"
#include "support/message_bytes.h"
#include "support/loopback_server.h"
#include "location/messages/logical_channel.h"
#include "location/messages/message_f.h"
#include "location/messages/message_mas.h"
#include "location/messages/message_tunnel.h"
#include "location/transport/communication_manager.h"
#include "location/transport/network_module.h"
#include "location/transport/serial_module.h"
#include "platform/tcp_socket.h"
#include "receiver/frames/frame_writer.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using test::Bytes;

constexpr auto kWait = 3s;

// A started communication manager whose pipe receives what a module delivers, logging to a folder.
class ModuleTest : public ::testing::Test {
protected:
    ModuleTest() {
        std::random_device random;
        directory = std::filesystem::temp_directory_path() / ("vexa_modules_" + std::to_string(random()));
        std::filesystem::create_directories(directory);
        profile.logEnabled = 1;
        profile.logDirectory = directory;
        manager = std::make_unique<CommunicationManager>(profile, host, TransportFactory{});
        manager->start();
    }
    ~ModuleTest() override {
        manager.reset();
        std::filesystem::remove_all(directory);
    }

    std::string errorLog() const {
        std::ifstream in(directory / "error.txt", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool logged(std::string_view text) const { return errorLog().find(text) != std::string::npos; }

    std::filesystem::path directory;
    ClientProfile profile;
    HostInterface host{HostCallbacks{}, [](std::string_view) {}};
    std::unique_ptr<CommunicationManager> manager;
};

Bytes receiverFrame(std::uint8_t channel, std::uint8_t id, const Bytes& payload, bool flag = false) {
    Bytes frame;
    const Bytes header{channel, id};
    AppendFrame(frame, header, payload, flag ? FrameFlag : std::uint16_t{0});
    return frame;
}

using SerialModuleTest = ModuleTest;

TEST_F(SerialModuleTest, DeliversFramesUpToTheLimitAndRefusesLongerOnes) {
    test::PseudoTerminal pty;
    profile.serialPort = pty.SlavePath();
    SerialModule serial(*manager, profile);
    ASSERT_TRUE(serial.open());

    pty.Send(receiverFrame(0xDD, '$', Bytes(504, 'A')));                  // length 506
    pty.Send(receiverFrame(0xDD, '$', Bytes(505, 'B')));                  // length 507
    pty.Send(receiverFrame(0x02, MessageF_HWConfigRequest::kId, {}, true));  // checksum bit 15 set
    pty.Send(receiverFrame(0x02, MessageF_TimeTransferRequest::kId, {}));

    auto first = manager->getMessage(kWait);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->channel(), 0xDD);
    EXPECT_EQ(first->payload()[0], 'A');
    auto second = manager->getMessage(kWait);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->id(), MessageF_TimeTransferRequest::kId);
    EXPECT_TRUE(serial.close());
    EXPECT_TRUE(logged("Serial Module: Payload > SERIAL_RX_PACKET_SIZE! Msg ignored"));
    EXPECT_TRUE(logged("Serial Module-> Invalid Checksum! - msg ignored"));
    EXPECT_FALSE(serial.close());
}

TEST_F(SerialModuleTest, SendsWholeFramesLongerThanOneWritePiece) {
    test::PseudoTerminal pty;
    profile.serialPort = pty.SlavePath();
    SerialModule serial(*manager, profile);
    ASSERT_TRUE(serial.open());
    MessageF_SWVersionRequest request;
    EXPECT_TRUE(serial.send(request));
    EXPECT_EQ(pty.Receive(10), (Bytes{0xA0, 0xA2, 0x00, 0x02, 0x02, 0x17, 0x80, 0x19, 0xB0, 0xB3}));

    Bytes big(5000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 7);
    EXPECT_TRUE(serial.write(big.data(), big.size()));
    EXPECT_EQ(pty.Receive(big.size()), big);
}

TEST_F(SerialModuleTest, AReopenedModuleTakesTheFirstFrameWhole) {
    test::PseudoTerminal pty;
    profile.serialPort = pty.SlavePath();
    SerialModule serial(*manager, profile);
    ASSERT_TRUE(serial.open());
    // A whole frame, then one cut off after its channel byte, in one read: once the first has arrived
    // the module has taken the second's start too.
    Bytes bytes = receiverFrame(0x02, MessageF_TimeTransferRequest::kId, {});
    const Bytes cut = receiverFrame(0x02, MessageF_TimeTransferRequest::kId, {});
    bytes.insert(bytes.end(), cut.begin(), cut.begin() + 5);
    pty.Send(bytes);
    ASSERT_NE(manager->getMessage(kWait), nullptr);
    EXPECT_TRUE(serial.close());

    ASSERT_TRUE(serial.open());
    pty.Send(receiverFrame(0x02, MessageF_HWConfigRequest::kId, {}));
    auto request = manager->getMessage(kWait);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->id(), MessageF_HWConfigRequest::kId);
}

TEST_F(SerialModuleTest, UnusableSpeedIsReportedWithItsErrorAndThePortStillWorks) {
    test::PseudoTerminal pty;
    profile.serialPort = pty.SlavePath();
    profile.baudRate = 12345;
    SerialModule serial(*manager, profile);
    ASSERT_TRUE(serial.open());
    EXPECT_TRUE(logged("SetCommState:  Failed for port ")) << errorLog();
    EXPECT_TRUE(logged(" err:22\r\n")) << errorLog();
    pty.Send(receiverFrame(0x02, MessageF_HWConfigRequest::kId, {}));
    EXPECT_NE(manager->getMessage(kWait), nullptr);
}

// A write the port does not take whole fails and empties the send ring: the next write sends only its
// own bytes.
TEST_F(SerialModuleTest, FailedWriteEmptiesTheSendRing) {
    test::PseudoTerminal pty;
    profile.serialPort = pty.SlavePath();
    // Fills the terminal's queue towards the receiver, opened before the module takes the port.
    const int filler = ::open(pty.SlavePath().c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(filler, 0);
    SerialModule serial(*manager, profile);
    ASSERT_TRUE(serial.open());
    // The terminal moves bytes on in the background: filled until it takes nothing more for a while.
    const Bytes chunk(256, 0x55);
    for (int idle = 0; idle < 5;) {
        if (::write(filler, chunk.data(), chunk.size()) > 0) {
            idle = 0;
        } else {
            ++idle;
            std::this_thread::sleep_for(20ms);
        }
    }
    ::close(filler);

    MessageF_SWVersionRequest first;
    EXPECT_FALSE(serial.send(first));
    EXPECT_TRUE(logged("Failed to send serial message - cleared buffers "));
    while (!pty.Receive(4096, 200ms).empty()) {
    }
    const Bytes second = receiverFrame(0x02, MessageF_TimeTransferRequest::kId, {});
    EXPECT_TRUE(serial.write(second.data(), second.size()));
    EXPECT_EQ(pty.Receive(second.size() + 10, 500ms), second);
}

TEST_F(SerialModuleTest, OpenFailsOnAMissingDeviceAndSendFailsWhileClosed) {
    profile.serialPort = (directory / "no-such-tty").string();
    SerialModule serial(*manager, profile);
    EXPECT_FALSE(serial.open());
    MessageF_SWVersionRequest request;
    EXPECT_FALSE(serial.send(request));
}

class NetworkModuleTest : public ModuleTest {
protected:
    NetworkModuleTest() {
        profile.serverAddress = "127.0.0.1";
        profile.serverPort = server.port();
    }
    test::LoopbackServer server;
};

TEST_F(NetworkModuleTest, DeliversServerFramesWithTheChannelByte) {
    NetworkModule network(*manager, profile);
    ASSERT_TRUE(network.open());
    ASSERT_TRUE(server.accept());
    EXPECT_TRUE(logged("Network Connect:IP: 127.0.0.1 Port:" + std::to_string(profile.serverPort)));

    Bytes longest;
    AppendFrame(longest, Bytes{MessageMAS_Aiding::kId}, Bytes(4089, 0x11), std::nullopt);
    Bytes tooLong;
    AppendFrame(tooLong, Bytes{MessageMAS_Aiding::kId}, Bytes(4090, 0x22), std::nullopt);
    server.send(longest);
    server.send(tooLong);
    server.send({0xA0, 0xA2, 0x00, 0x02, 0x08, 0x05, 0xB0, 0xB3});

    auto aiding = manager->getMessage(kWait);
    ASSERT_NE(aiding, nullptr);
    EXPECT_EQ(aiding->id(), MessageMAS_Aiding::kId);
    EXPECT_EQ(aiding->payloadLength(), 4089u);
    auto ready = manager->getMessage(kWait);
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(test::frameOf(*ready), (Bytes{0xA0, 0xA2, 0x00, 0x02, 0x08, 0x05, 0xB0, 0xB3}));
    EXPECT_TRUE(logged("Network Module: Payload > MAX_NETWORK_BUFFER! Msg ignored"));

    MessageMAS_EndTest end;
    EXPECT_TRUE(network.send(end));
    EXPECT_EQ(server.receive(7), (Bytes{0xA0, 0xA2, 0x00, 0x01, 0x06, 0xB0, 0xB3}));
}

TEST_F(NetworkModuleTest, ClosesItselfWhenTheServerVanishesMidFrameAndReopensClean) {
    NetworkModule network(*manager, profile);
    ASSERT_TRUE(network.open());
    ASSERT_TRUE(server.accept());
    server.send({0xA0, 0xA2, 0x00, 0x03, 0x02, 0x12});  // an open request cut short
    server.hangUp();

    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (network.isRunning() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(network.isRunning());
    MessageMAS_EndTest end;
    EXPECT_FALSE(network.send(end));
    EXPECT_FALSE(network.close()) << "closed already";
    EXPECT_TRUE(logged("Network Module-> Connection closed by server"));
    EXPECT_TRUE(logged("Network Module-> Thread exiting normally")) << "written before the worker ended";

    // The next server's first frame is taken whole, not as the rest of the broken one.
    ASSERT_TRUE(network.open());
    ASSERT_TRUE(server.accept());
    server.send({0xA0, 0xA2, 0x00, 0x03, 0x02, 0x56, 0x78, 0xB0, 0xB3});
    auto open = manager->getMessage(kWait);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(test::frameOf(*open), (Bytes{0xA0, 0xA2, 0x00, 0x03, 0x02, 0x56, 0x78, 0xB0, 0xB3}));
    EXPECT_TRUE(network.close());
    EXPECT_FALSE(network.close());
}

// A send that the server does not take in time fails, and what it did not send goes out first with the
// next write: the server gets every frame whole, in order.
TEST_F(NetworkModuleTest, UnsentBytesStayQueuedForTheNextWrite) {
    server.limitReceiveBuffer();
    NetworkModule network(*manager, profile);
    ASSERT_TRUE(network.open());
    ASSERT_TRUE(server.accept());
    Bytes written;
    bool failed = false;
    for (int frame = 0; frame < 4000 && !failed; ++frame) {
        Bytes bytes;
        AppendFrame(bytes, Bytes{MessageMAS_Aiding::kId}, Bytes(3000, static_cast<std::uint8_t>(frame)), std::nullopt);
        written.insert(written.end(), bytes.begin(), bytes.end());
        failed = !network.write(bytes.data(), bytes.size());
    }
    ASSERT_TRUE(failed) << "the server never stopped taking bytes";
    EXPECT_TRUE(logged("Error in socket write: "));

    Bytes last;
    AppendFrame(last, Bytes{MessageMAS_EndTest::kId}, {}, std::nullopt);
    written.insert(written.end(), last.begin(), last.end());
    Bytes received;
    std::thread reader([&] { received = server.receive(written.size(), 20s); });
    EXPECT_TRUE(network.write(last.data(), last.size()));
    reader.join();
    EXPECT_TRUE(received == written) << received.size() << " of " << written.size() << " bytes";
}

TEST_F(NetworkModuleTest, ReopeningStartsAFreshConnection) {
    NetworkModule network(*manager, profile);
    ASSERT_TRUE(network.open());
    ASSERT_TRUE(server.accept());
    ASSERT_TRUE(network.open());
    ASSERT_TRUE(server.accept());
    server.send({0xA0, 0xA2, 0x00, 0x01, 0x09, 0xB0, 0xB3});
    auto id9 = manager->getMessage(kWait);
    ASSERT_NE(id9, nullptr);
    EXPECT_EQ(id9->id(), MessageMAS_Id9::kId);
}

// A refused SO_REUSEADDR does not keep SO_LINGER from being set, and either refusal is reported.
TEST(ServerSocketOptions, EachIsSetWhateverBecameOfTheOther) {
    static std::vector<int> asked;
    static int refused = 0;
    const SocketOptionSetter refusing = [](int, int, int name, const void*, socklen_t) {
        asked.push_back(name);
        return name == refused ? -1 : 0;
    };
    for (const int option : {SO_REUSEADDR, SO_LINGER, 0}) {
        asked.clear();
        refused = option;
        EXPECT_EQ(setServerSocketOptions(-1, refusing), option == 0) << option;
        EXPECT_EQ(asked, (std::vector<int>{SO_REUSEADDR, SO_LINGER})) << option;
    }
}

TEST_F(NetworkModuleTest, OpenFailsWhenNobodyListens) {
    const int closed = ListenTcp("127.0.0.1", 0);
    profile.serverPort = LocalPort(closed);
    CloseTcp(closed);
    NetworkModule network(*manager, profile);
    EXPECT_FALSE(network.open());
    EXPECT_FALSE(network.isRunning());
}

}  // namespace
}  // namespace vexa
