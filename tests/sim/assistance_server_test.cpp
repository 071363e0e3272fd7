#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "location/messages/air_message.h"
#include "location/messages/message_mas.h"
#include "location/transport/communication_manager.h"
#include "location/transport/network_module.h"
#include "sim/assistance_server.h"

namespace vexa::sim {
namespace {

using namespace std::chrono_literals;

// The client's network module talks to the simulated server over loopback.
TEST(AssistanceServer, RunsASessionWithTheNetworkModuleAndHangsUpAtItsEnd) {
    AssistanceServerConfig config;
    config.unixNow = [] { return 1700000000.0; };
    AssistanceServer server(config);
    server.start();

    ClientProfile profile;
    profile.serverPort = server.port();
    HostInterface host{HostCallbacks{}, [](std::string_view) {}};
    CommunicationManager manager(profile, host, TransportFactory{});
    ASSERT_TRUE(manager.start());
    NetworkModule network(manager, profile);
    ASSERT_TRUE(network.open());

    const auto next = [&manager](std::uint8_t id) {
        auto message = manager.getMessage(3s);
        EXPECT_EQ(message ? message->id() : -1, id);
        return message;
    };
    auto open = next(MessageMAS_OpenRequest::kId);
    ASSERT_NE(open, nullptr);
    MessageMAS_OpenResponse answer(dynamic_cast<MessageMAS_OpenRequest&>(*open).sessionId());
    EXPECT_TRUE(network.send(answer));
    next(MessageMAS_Ready::kId);
    MessageMAS_StartTest start(profile);
    EXPECT_TRUE(network.send(start));

    auto aiding = next(MessageMAS_Aiding::kId);
    ASSERT_NE(aiding, nullptr);
    OrbitSlots slots{};
    AidingTime time;
    EXPECT_EQ(decodeAirMessage({aiding->payload(), aiding->payloadLength()}, slots, time),
              kOrbitRecordsDecoded | kValidTimeDecoded);
    EXPECT_EQ(time.gpsWeek, 2288);
    EXPECT_GT(std::count_if(slots.begin(), slots.end(), [](const OrbitSlot& slot) { return slot.present; }), 3);

    MessageMAS_EndTest end;
    EXPECT_TRUE(network.send(end));
    auto close = next(MessageMAS_CloseRequest::kId);
    ASSERT_NE(close, nullptr);
    MESSAGE_MAS_CLOSE_RESPONSE closed(dynamic_cast<MessageMAS_CloseRequest&>(*close).sessionId());
    EXPECT_TRUE(network.send(closed));

    // The server hangs up; the module notices and closes itself.
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (network.isRunning() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(network.isRunning());
    EXPECT_EQ(server.sessionsClosed(), 1u);
    server.stop();
}

}  // namespace
}  // namespace vexa::sim
