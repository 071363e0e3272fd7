#include <gtest/gtest.h>

#include <new>
#include <thread>

#include "support/client_harness.h"
#include "location/session/client_profile_manager.h"
#include "location/transport/network_module.h"
#include "platform/tcp_socket.h"

namespace vexa {
namespace {

using test::aidingBlock;
using test::aidingFrame;
using test::Bytes;
using test::ClientHarness;

TEST(LocationClient, OperationResults) {
    ClientHarness harness;
    LocationClient& client = harness.client();
    EXPECT_FALSE(client.setMode(2));
    EXPECT_TRUE(client.setMode(1));
    EXPECT_FALSE(client.setProfile(nullptr));
    const Bytes aiding = aidingFrame(aidingBlock(true, true));
    EXPECT_FALSE(client.postAiding(aiding.data(), aiding.size())) << "no session yet";
    EXPECT_FALSE(client.startAutonomousSession()) << "the host brings the aiding";
    EXPECT_EQ(client.isSessionActive(), 0);
    EXPECT_TRUE(client.startNetworkSession());
    EXPECT_EQ(client.isSessionActive(), 1);
    EXPECT_TRUE(client.postAiding(aiding.data(), aiding.size()));
    EXPECT_EQ(client.reservedOperation(), 0);
    EXPECT_TRUE(client.stopSession());
    EXPECT_EQ(client.isSessionActive(), 0);
    EXPECT_TRUE(client.close());
    EXPECT_FALSE(client.close());
    EXPECT_FALSE(client.startNetworkSession()) << "closed";
}

// The new profile reaches the manager (the autonomous operation is allowed) and the call processor
// (the reset kind and the approximate position it answers with).
TEST(LocationClient, SetProfileReachesTheSessions) {
    ClientHarness harness;
    ClientProfile profile;
    profile.hostAiding = 0;
    profile.resetKind = 1;
    profile.approxPositionValid = 1;
    EXPECT_TRUE(harness.client().setProfile(&profile));
    EXPECT_TRUE(harness.client().startAutonomousSession());
    ASSERT_TRUE(harness.awaitReceiverFrames(0x02, 22));
    EXPECT_EQ(harness.lastReceiverFrame(0x02, 22)[6], 1) << "reset kind 1";
    harness.fromReceiver({0x02, 19});
    EXPECT_TRUE(harness.awaitReceiverFrames(0x02, 19)) << "the approximate position, not a reject";
}

// The real network module, telling when its connect begins and ends.
class WatchedNetworkModule : public NetworkModule {
public:
    enum Stage { kIdle, kConnecting, kConnected };
    WatchedNetworkModule(CommunicationManager& manager, const ClientProfile& profile, std::atomic<int>& stage)
        : NetworkModule(manager, profile), stage_(stage) {}
    bool open() override {
        stage_ = kConnecting;
        const bool opened = NetworkModule::open();
        stage_ = kConnected;
        return opened;
    }

private:
    std::atomic<int>& stage_;
};

// While the client waits for a server that does not answer its connect, the host's receiver frames are
// taken at once and answered.
TEST(LocationClient, ConnectingToASilentServerNeverHoldsUpTheReceiversFrames) {
    // A listener whose queue of waiting connections is full drops further connects unanswered.
    const int listener = ListenTcp("127.0.0.1", 0);
    ASSERT_GE(listener, 0);
    std::vector<int> waiting;
    for (int attempt = 0; attempt < 32; ++attempt) {
        const int fd = ConnectTcp("127.0.0.1", LocalPort(listener), std::chrono::milliseconds(300));
        if (fd < 0) break;
        waiting.push_back(fd);
    }
    ClientProfile profile;
    profile.hostAiding = 0;
    profile.serverPort = LocalPort(listener);
    profile.logEnabled = 0;
    std::mutex mutex;
    std::condition_variable written;
    std::vector<Bytes> frames;
    profile.callbacks.externalWrite = [&](const std::uint8_t* bytes, std::size_t length) {
        std::lock_guard lock(mutex);
        frames.emplace_back(bytes, bytes + length);
        written.notify_all();
    };
    std::atomic<int> stage{WatchedNetworkModule::kIdle};
    ClientServices services;
    services.transports.network = [&stage](CommunicationManager& manager, const ClientProfile& settings) {
        return std::make_unique<WatchedNetworkModule>(manager, settings, stage);
    };
    LocationClient client(services);
    ASSERT_TRUE(client.create(profile));

    std::thread starter([&client] { client.startNetworkSession(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (stage == WatchedNetworkModule::kIdle && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const Bytes hardwareRequest{0x02, 16};
    client.postExternalSerial(hardwareRequest.data(), hardwareRequest.size());
    EXPECT_EQ(stage, WatchedNetworkModule::kConnecting) << "the frame was taken while the connect went on";
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(written.wait_for(lock, std::chrono::seconds(5), [&] {
            return std::any_of(frames.begin(), frames.end(), [](const Bytes& f) { return f.size() > 5 && f[5] == 16; });
        }));
    }
    starter.join();
    client.close();
    for (const int fd : waiting) CloseTcp(fd);
    CloseTcp(listener);
}

TEST(LocationClient, CloseAfterAFailedCreate) {
    ClientServices services;
    services.transports.network = [](CommunicationManager&, const ClientProfile&) -> std::unique_ptr<Transport> {
        throw std::bad_alloc();
    };
    LocationClient client(services);
    EXPECT_FALSE(client.create(ClientProfile{}));
    EXPECT_FALSE(client.close());
    EXPECT_EQ(client.getReceiverVersion1(), "");
}

TEST(LocationClient, LogDirectoryIsTheDocumentsFolder) {
    const char* saved = std::getenv("XDG_DOCUMENTS_DIR");
    const std::string restore = saved != nullptr ? saved : "";
    setenv("XDG_DOCUMENTS_DIR", "/tmp/vexa-documents", 1);
    EXPECT_EQ(defaultLogDirectory(), "/tmp/vexa-documents");
    unsetenv("XDG_DOCUMENTS_DIR");
    const char* home = std::getenv("HOME");
    if (home != nullptr) {
        const std::filesystem::path documents = std::filesystem::path(home) / "Documents";
        EXPECT_EQ(defaultLogDirectory(), std::filesystem::is_directory(documents) ? documents : home);
    }
    if (saved != nullptr) setenv("XDG_DOCUMENTS_DIR", restore.c_str(), 1);
}

}  // namespace
}  // namespace vexa
