#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/ports/port_discovery.h"
#include "link/ports/port_display_name.h"
#include "link/sources/source_names.h"
#include "link/ports/port_watch.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

TEST(PortDisplayName, FollowsTheListingRule) {
    struct Case {
        const char* legend;
        std::string port;
        std::string friendly;
        std::string expected;
    };
    const Case cases[] = {
        {"friendly name holding the port stands alone", "/dev/ttyUSB0", "Serial Cable on /dev/ttyUSB0",
         "Serial Cable on /dev/ttyUSB0"},
        {"other friendly name follows the port", "/dev/rfcomm0", "Bluetooth Serial", "/dev/rfcomm0 Bluetooth Serial"},
        {"no friendly name", "/dev/ttyS0", "", "/dev/ttyS0"},
        {"blank friendly name", "/dev/ttyS0", " \n\t", "/dev/ttyS0"},
        {"line end and padding dropped", "/dev/ttyACM0", "  XR-7 Receiver - GPS/GNSS\n",
         "/dev/ttyACM0 XR-7 Receiver - GPS/GNSS"},
        {"control characters become blanks", "/dev/ttyUSB1", "XU-4\x1b[2JUART\x7f", "/dev/ttyUSB1 XU-4 [2JUART"},
        {"C1 control becomes a blank", "/dev/ttyUSB1", "A\xc2\x9b" "B", "/dev/ttyUSB1 A B"},
        {"invalid UTF-8 becomes ?", "/dev/ttyUSB1", "Ger\xe4t \xc3\xa4", "/dev/ttyUSB1 Ger?t \xc3\xa4"},
        {"truncated sequence at the end", "/dev/ttyUSB1", "GPS\xe2\x82", "/dev/ttyUSB1 GPS??"},
        {"port with a control character", "/dev/x\ny", "", "/dev/x y"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PortDisplayName(c.port, c.friendly), c.expected) << c.legend;
    }
}

TEST(PortDisplayName, CutsLongFriendlyNamesByCharacters) {
    std::string umlauts;
    for (int i = 0; i < 120; ++i) umlauts += "\xc3\xbc";
    const std::string shown = PortDisplayName("/dev/ttyUSB0", umlauts);
    EXPECT_EQ(shown, "/dev/ttyUSB0 " + umlauts.substr(0, 2 * kMaxFriendlyNameLength));
}

// A sysfs tree and a /dev folder in a temporary folder, built the way the kernel lays them out.
class PortFixture : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::path(::testing::TempDir()) /
                ("ports_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(Sys() / "class" / "tty");
        fs::create_directories(Dev());
        options_.sysfsRoot = Sys();
        options_.devRoot = Dev();
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path Sys() const { return root_ / "sys"; }
    fs::path Dev() const { return root_ / "dev"; }

    static void Write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }

    fs::path AddTty(const std::string& name, bool withNode = true) {
        const fs::path folder = Sys() / "class" / "tty" / name;
        fs::create_directories(folder);
        if (withNode) Write(Dev() / name, "");
        return folder;
    }

    // A USB device with its strings; the tty's device is the interface (ACM) or a port
    // folder below it (USB serial).
    void AddUsbTty(const std::string& name, const std::string& product, const std::string& manufacturer = "",
                   const std::string& interfaceString = "") {
        const fs::path usbDevice = Sys() / "devices" / "usb1" / ("1-" + name);
        const fs::path usbInterface = usbDevice / ("1-" + name + ":1.0");
        const fs::path device = name.starts_with("ttyUSB") ? usbInterface / name : usbInterface;
        fs::create_directories(device);
        if (!product.empty()) Write(usbDevice / "product", product + "\n");
        if (!manufacturer.empty()) Write(usbDevice / "manufacturer", manufacturer + "\n");
        if (!interfaceString.empty()) Write(usbInterface / "interface", interfaceString + "\n");
        fs::create_directory_symlink(device, AddTty(name) / "device");
    }

    void AddUart(const std::string& name, const std::string& type) { Write(AddTty(name) / "type", type + "\n"); }

    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const SerialPortEntry& port : DiscoverPorts(options_)) paths.push_back(port.devicePath);
        return paths;
    }

    std::string Node(const std::string& name) const { return (Dev() / name).string(); }

    fs::path root_;
    PortDiscoveryOptions options_;
};

TEST_F(PortFixture, ListsRealSerialPortsWithTheirFriendlyNames) {
    AddUsbTty("ttyUSB0", "XU-4 USB UART", "Acme Serial");
    AddUsbTty("ttyACM0", "", "Acme GNSS", "GNSS receiver");
    AddUsbTty("ttyACM1", "", "Maker Ltd");
    AddTty("rfcomm0");
    AddUart("ttyS0", "4");
    AddUart("ttyS1", "0");  // 8250 placeholder without a UART
    AddTty("ttyS2");        // no type at all
    AddTty("tty0");
    AddTty("console");
    AddTty("ttyUSB5", false);  // gone from /dev

    const std::vector<SerialPortEntry> expected{
        {Node("ttyUSB0"), Node("ttyUSB0") + " XU-4 USB UART"},
        {Node("ttyACM0"), Node("ttyACM0") + " GNSS receiver"},
        {Node("ttyACM1"), Node("ttyACM1") + " Maker Ltd"},
        {Node("rfcomm0"), Node("rfcomm0")},
        {Node("ttyS0"), Node("ttyS0")},
    };
    EXPECT_EQ(DiscoverPorts(options_), expected);
}

TEST_F(PortFixture, FriendlyNameHoldingThePortStandsAlone) {
    AddUsbTty("ttyUSB0", "Serial Cable on " + Node("ttyUSB0"));
    ASSERT_EQ(DiscoverPorts(options_).size(), 1u);
    EXPECT_EQ(DiscoverPorts(options_)[0].displayName, "Serial Cable on " + Node("ttyUSB0"));
}

TEST_F(PortFixture, ListsAtMostTenPortsInNumberOrder) {
    for (int i = 0; i < 12; ++i) AddUsbTty("ttyUSB" + std::to_string(i), "Adapter");
    AddUart("ttyS0", "4");
    std::vector<std::string> expected;
    for (int i = 0; i < 10; ++i) expected.push_back(Node("ttyUSB" + std::to_string(i)));
    EXPECT_EQ(Paths(), expected);
}

TEST_F(PortFixture, SimulatedReceiverAndUserPathsComeFirst) {
    AddUsbTty("ttyUSB0", "Adapter");
    AddUsbTty("ttyACM0", "GPS");
    fs::create_directories(Dev() / "serial" / "by-id");
    fs::create_symlink(Dev() / "ttyACM0", Dev() / "serial" / "by-id" / "usb-gps");
    const std::string byId = (Dev() / "serial" / "by-id" / "usb-gps").string();
    options_.simulatedReceiver = SerialPortEntry{"/dev/pts/7", std::string(kSimulatedReceiverName)};
    options_.extraPaths = {"/tmp/capture-pty", byId, "", "/tmp/capture-pty", Node("ttyACM0")};

    const std::vector<SerialPortEntry> expected{
        {"/dev/pts/7", "Simulated receiver"},
        {"/tmp/capture-pty", "/tmp/capture-pty"},
        {byId, byId + " GPS"},
        {Node("ttyUSB0"), Node("ttyUSB0") + " Adapter"},
    };
    EXPECT_EQ(DiscoverPorts(options_), expected);
}

// The ten-entry limit is the discovered ports' alone: the user's paths, captures and remembered
// network sources come on top of it, so however many there are, no serial port is pushed out.
TEST_F(PortFixture, UserPathsCapturesAndNetworkSourcesDoNotCutTheDiscoveredPorts) {
    for (int i = 0; i < 12; ++i) AddUsbTty("ttyUSB" + std::to_string(i), "Adapter");
    options_.simulatedReceiver = SerialPortEntry{"/dev/pts/7", std::string(kSimulatedReceiverName)};
    options_.extraPaths = {"/dev/gps0", "replay:/data/drive.bin"};
    for (int i = 0; i < 10; ++i) options_.networkSources.push_back("tcp://gnss-box:" + std::to_string(4001 + i));
    const std::vector<std::string> paths = Paths();
    ASSERT_EQ(paths.size(), 13 + kMaxListedPorts);
    EXPECT_EQ(paths[1], "/dev/gps0");
    EXPECT_EQ(paths[2], "replay:/data/drive.bin");
    EXPECT_EQ(paths[12], "tcp://gnss-box:4010");
    EXPECT_EQ(paths[13], Node("ttyUSB0"));
    EXPECT_EQ(paths.back(), Node("ttyUSB9"));
}

TEST_F(PortFixture, NetworkSourcesFollowTheUserPathsUnderTheirOwnNames) {
    AddUsbTty("ttyUSB0", "XU-4 USB UART");
    options_.extraPaths = {"/dev/gps0", "tcp://gnss-box:4001"};
    options_.networkSources = {"gpsd://base-station/dev/ttyACM3", "tcp://gnss-box:4001"};
    const std::vector<SerialPortEntry> ports = DiscoverPorts(options_);
    ASSERT_EQ(ports.size(), 4u);
    EXPECT_EQ(ports[1], (SerialPortEntry{"tcp://gnss-box:4001", "tcp://gnss-box:4001"}));
    EXPECT_EQ(ports[2], (SerialPortEntry{"gpsd://base-station/dev/ttyACM3", "gpsd://base-station/dev/ttyACM3"}));
    EXPECT_EQ(ports[3].devicePath, Node("ttyUSB0"));
}

TEST(NetworkSourceNames, KnownSchemesWithAHostOnly) {
    for (const char* name : {"tcp://gnss-box:4001", "tcp://10.0.0.7:2000", "gpsd://localhost", "gpsd://base:2947/dev/ttyUSB0"}) {
        EXPECT_TRUE(IsNetworkSourceName(name)) << name;
    }
    for (const char* name : {"", "/dev/ttyUSB0", "tcp://", "gpsd://", "tcp://:4001", "gpsd:///dev/ttyUSB0", "udp://gnss-box:4001",
                             "TCP://gnss-box:4001", "tcp://gnss box:4001", "tcp://gnss-box:4001\n"}) {
        EXPECT_FALSE(IsNetworkSourceName(name)) << name;
    }
}

TEST(NetworkSourceNames, WhatAnEditedSettingsFileHoldsIsCheckedBeforeUse) {
    const std::vector<std::string> stored{"tcp://a:1", "/etc/passwd", "tcp://a:1", "", "gpsd://b", "tcp://c:3", "tcp://d:4"};
    EXPECT_EQ(UsableNetworkSources(stored, 3), (std::vector<std::string>{"tcp://a:1", "gpsd://b", "tcp://c:3"}));
}

TEST_F(PortFixture, MissingSysfsGivesOnlyTheCallersEntries) {
    options_.sysfsRoot = root_ / "absent";
    options_.extraPaths = {"/dev/gps0"};
    EXPECT_EQ(Paths(), std::vector<std::string>{"/dev/gps0"});
}

// Whether the watch's descriptor turns readable within a few seconds, as an event loop would see it.
bool Signalled(const PortWatch& watch) {
    pollfd readable{watch.Descriptor(), POLLIN, 0};
    return ::poll(&readable, 1, 5000) == 1;
}

TEST_F(PortFixture, TheWatchTellsOfReceiversPluggedInAndPulledOutAndTheListFollows) {
    AddUsbTty("ttyUSB0", "XU-4 USB UART");
    PortWatch watch(Dev());
    ASSERT_TRUE(watch.Watching());
    EXPECT_FALSE(watch.Changed()) << "nothing happened yet";
    EXPECT_EQ(Paths(), std::vector<std::string>{Node("ttyUSB0")});

    AddUsbTty("ttyACM0", "", "Acme GNSS");
    ASSERT_TRUE(Signalled(watch));
    EXPECT_TRUE(watch.Changed());
    EXPECT_FALSE(watch.Changed()) << "each notice is taken once";
    EXPECT_EQ(Paths(), (std::vector<std::string>{Node("ttyUSB0"), Node("ttyACM0")}));

    fs::remove(Dev() / "ttyUSB0");
    ASSERT_TRUE(Signalled(watch));
    EXPECT_TRUE(watch.Changed());
    EXPECT_EQ(Paths(), std::vector<std::string>{Node("ttyACM0")}) << "a tty without its node is gone";

    EXPECT_FALSE(PortWatch(Dev() / "missing").Watching());
}

}  // namespace
}  // namespace vexa
