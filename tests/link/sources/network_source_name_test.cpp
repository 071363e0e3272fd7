#include "link/sources/network_source_name.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(TcpSourceName, HostAndPortAreRequired) {
    const std::optional<NetworkEndpoint> box = ParseTcpSourceName("tcp://gnss-box.lan:4001");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->host, "gnss-box.lan");
    EXPECT_EQ(box->port, 4001);
    EXPECT_EQ(box->Text(), "gnss-box.lan:4001");
    for (const char* bad : {"tcp://", "tcp://host", "tcp://:4001", "tcp://host:", "tcp://host:0", "tcp://host:65536",
                            "tcp://host:40a1", "tcp://ho st:4001", "tcp://host:4001/x", "gpsd://host:4001",
                            "/dev/ttyUSB0", "TCP://host:1"}) {
        EXPECT_FALSE(ParseTcpSourceName(bad)) << bad;
    }
}

TEST(GpsdSourceName, PortDefaultsToGpsdsAndTheDeviceKeepsItsPath) {
    const std::optional<GpsdTarget> plain = ParseGpsdSourceName("gpsd://localhost");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->endpoint.Text(), "localhost:2947");
    EXPECT_EQ(plain->device, "");

    const std::optional<GpsdTarget> full = ParseGpsdSourceName("gpsd://10.1.2.3:3000/dev/ttyUSB1");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->endpoint.Text(), "10.1.2.3:3000");
    EXPECT_EQ(full->device, "/dev/ttyUSB1");

    const std::optional<GpsdTarget> deviceOnly = ParseGpsdSourceName("gpsd://rover/dev/serial/by-id/x");
    ASSERT_TRUE(deviceOnly);
    EXPECT_EQ(deviceOnly->endpoint.port, kGpsdDefaultPort);
    EXPECT_EQ(deviceOnly->device, "/dev/serial/by-id/x");

    for (const char* bad : {"gpsd://", "gpsd:///dev/ttyS0", "gpsd://host:/dev/x", "gpsd://host:99999", "gpsd://host/",
                            "tcp://host:2947"}) {
        EXPECT_FALSE(ParseGpsdSourceName(bad)) << bad;
    }
}

}  // namespace
}  // namespace vexa
