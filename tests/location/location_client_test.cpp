#include <gtest/gtest.h>

#include <new>

#include "client_harness.h"
#include "location/client_profile_manager.h"

namespace vexa {
namespace {

using test::ClientHarness;

TEST(LocationClient, OperationResults) {
    ClientHarness harness;
    LocationClient& client = harness.client();
    EXPECT_FALSE(client.setMode(2));
    EXPECT_TRUE(client.setMode(1));
    EXPECT_FALSE(client.setProfile(nullptr));
    const std::uint8_t frame[] = {0xA0, 0xA2, 0x00, 0x02, 0x03, 0x00, 0xB0, 0xB3};
    EXPECT_FALSE(client.postAiding(frame, sizeof frame)) << "no session yet";
    EXPECT_FALSE(client.startAutonomousSession()) << "the host brings the aiding";
    EXPECT_EQ(client.isSessionActive(), 0);
    EXPECT_TRUE(client.startNetworkSession());
    EXPECT_EQ(client.isSessionActive(), 1);
    EXPECT_EQ(client.reservedOperation(), 0);
    EXPECT_TRUE(client.stopSession());
    EXPECT_EQ(client.isSessionActive(), 0);
    EXPECT_TRUE(client.close());
    EXPECT_FALSE(client.close());
    EXPECT_FALSE(client.startNetworkSession()) << "closed";
}

TEST(LocationClient, SetProfileReachesTheSessions) {
    ClientHarness harness;
    ClientProfile profile;
    profile.hostAiding = 0;
    EXPECT_TRUE(harness.client().setProfile(&profile));
    EXPECT_TRUE(harness.client().startAutonomousSession());
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
