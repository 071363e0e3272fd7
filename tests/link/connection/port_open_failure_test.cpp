#include "link/connection/port_open_failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/gps_comm.h"
#include "platform/result_codes.h"
#include "platform/user_accounts.h"
#include "support/pseudo_terminal.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

const std::string kFirstLine = "Could not open specified port. \n";

// A temporary folder with a device file, and a port list of one added path and no sysfs ports.
class PortOpenFailure : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::path(::testing::TempDir()) / ("open_failure_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        ports_.sysfsRoot = folder_ / "no-sysfs";
        ports_.devRoot = folder_;
        ports_.extraPaths = {"/dev/ttyVexa3"};
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string MakeDevice(const std::string& name) const {
        const std::string path = (folder_ / name).string();
        std::ofstream(path) << "";
        return path;
    }

    // What a real open of the path gives, through the link.
    std::string ConnectFailure(const std::string& path) {
        ReceiverContext context;
        const std::unique_ptr<GpsComm> comm = GpsComm::Create(context);
        EXPECT_NE(comm->Connect(path, 4800), kResultOk);
        return PortOpenFailureText(path, comm->ConnectError(), ports_);
    }

    fs::path folder_;
    PortDiscoveryOptions ports_;
};

TEST_F(PortOpenFailure, PermissionDeniedNamesTheDevicesGroupAndHowToJoinIt) {
    const std::string device = MakeDevice("ttyVexa0");
    const group* dialout = ::getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    ASSERT_EQ(::chown(device.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(device.c_str(), 0660), 0);
    EXPECT_EQ(PortOpenFailureText(device, EACCES, ports_),
              kFirstLine + device + ": Permission denied.\n"
                               "It belongs to the group dialout, which you are not in. To join it, run\n"
                               "  sudo usermod -aG dialout " + CurrentUserName() + "\nthen log out and in again.");

    ASSERT_EQ(::chown(device.c_str(), 0, 0), 0);
    EXPECT_EQ(PortOpenFailureText(device, EACCES, ports_),
              kFirstLine + device + ": Permission denied.\n"
                                    "It belongs to the group root; ask your administrator for access to it.");
}

TEST_F(PortOpenFailure, BusyNamesTheProgramThatHoldsTheDevice) {
    test::PseudoTerminal terminal;  // this test program holds the slave open
    std::string ownName;
    std::getline(std::ifstream("/proc/self/comm"), ownName);
    const std::string text = PortOpenFailureText(terminal.SlavePath(), EBUSY, ports_);
    EXPECT_EQ(text, kFirstLine + terminal.SlavePath() + ": Device or resource busy.\nAnother program holds it: " +
                        ownName + " (process " + std::to_string(::getpid()) + "). Stop that program, then connect again.");

    const std::string unheld = MakeDevice("ttyVexa1");
    EXPECT_EQ(PortOpenFailureText(unheld, EBUSY, ports_),
              kFirstLine + unheld + ": Device or resource busy.\n"
                                    "Another program holds it; close that program, then connect again.");
}

TEST_F(PortOpenFailure, AMissingDeviceListsThePortsThatExist) {
    const std::string missing = (folder_ / "ttyVexa9").string();
    EXPECT_EQ(ConnectFailure(missing),
              kFirstLine + missing + ": No such file or directory.\nThe serial ports found:\n  /dev/ttyVexa3");
    ports_.extraPaths.clear();
    EXPECT_EQ(ConnectFailure(missing), kFirstLine + missing +
                                           ": No such file or directory.\n"
                                           "No serial port was found; is the receiver plugged in?");
}

TEST_F(PortOpenFailure, SomethingThatIsNoSerialDeviceSaysSoAndListsThePorts) {
    const std::string folder = folder_.string();
    EXPECT_EQ(ConnectFailure(folder), kFirstLine + folder + ": Is a directory.\nThe serial ports found:\n  /dev/ttyVexa3");
    const std::string plainFile = MakeDevice("notes.txt");
    EXPECT_EQ(ConnectFailure(plainFile),
              kFirstLine + plainFile + ": not a serial device.\nThe serial ports found:\n  /dev/ttyVexa3");
}

TEST_F(PortOpenFailure, OtherCausesGiveTheSystemsReasonAndAnUnknownCauseThePathAlone) {
    EXPECT_EQ(PortOpenFailureText("/dev/ttyVexa0", EIO, ports_), kFirstLine + "/dev/ttyVexa0: Input/output error.");
    EXPECT_EQ(PortOpenFailureText("/dev/ttyVexa0", 0, ports_), kFirstLine + "/dev/ttyVexa0");
}

TEST_F(PortOpenFailure, ASuccessfulOpenForgetsTheEarlierFailure) {
    test::PseudoTerminal terminal;
    ReceiverContext context;
    const std::unique_ptr<GpsComm> comm = GpsComm::Create(context);
    ASSERT_NE(comm->Connect((folder_ / "ttyVexa9").string(), 4800), kResultOk);
    EXPECT_EQ(comm->ConnectError(), ENOENT);
    ASSERT_EQ(comm->Connect(terminal.SlavePath(), 4800), kResultOk);
    EXPECT_EQ(comm->ConnectError(), 0);
    EXPECT_EQ(comm->Disconnect(), kResultOk);
}

}  // namespace
}  // namespace vexa
