#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "counted_message.h"
#include "support/message_bytes.h"
#include "location/messages/logical_channel.h"
#include "location/messages/message_f.h"
#include "location/messages/message_mas.h"
#include "location/messages/message_tunnel.h"
#include "location/transport/communication_manager.h"

namespace vexa {
namespace {

using test::Bytes;
using test::CountedMessage;

// A transport that records what it is asked to do.
struct TransportLog {
    bool openResult = true;
    bool closeResult = true;
    bool running = false;
    int closes = 0;
    std::vector<Bytes> writes;
    std::function<void()> whileOpening;
};

class RecordingTransport : public Transport {
public:
    RecordingTransport(CommunicationManager& manager, TransportLog& log) : Transport(manager), log_(log) {}
    bool write(const std::uint8_t* bytes, std::size_t length) override {
        log_.writes.emplace_back(bytes, bytes + length);
        return true;
    }
    bool open() override {
        if (log_.whileOpening) log_.whileOpening();
        return log_.running = log_.openResult;
    }
    bool close() override {
        log_.running = false;
        ++log_.closes;
        return log_.closeResult;
    }
    bool isRunning() const override { return log_.running; }

private:
    TransportLog& log_;
};

bool contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class CommunicationManagerTest : public ::testing::Test {
protected:
    CommunicationManagerTest() {
        std::random_device random;
        directory = std::filesystem::temp_directory_path() / ("vexa_location_" + std::to_string(random()));
        std::filesystem::create_directories(directory);
        profile.logEnabled = 1;
        profile.logDirectory = directory;
        profile.externalSerial = 0;
        callbacks.display = [this](std::string_view text) { displayed.emplace_back(text); };
        callbacks.error = [this](int code, std::string_view text) { errors.emplace_back(std::to_string(code) + "|" + std::string(text)); };
        callbacks.externalWrite = [this](const std::uint8_t* bytes, std::size_t length) { externalWrites.emplace_back(bytes, bytes + length); };
    }
    ~CommunicationManagerTest() override {
        manager.reset();
        std::filesystem::remove_all(directory);
    }

    CommunicationManager& build() {
        manager.reset();
        host = std::make_unique<HostInterface>(
            callbacks, [this](std::string_view text) { debugText += text; },
            [] { return LogStamp{"07/08/2005", "14:03:59"}; });
        TransportFactory factory;
        factory.serial = [this](CommunicationManager& m, const ClientProfile&) {
            return std::make_unique<RecordingTransport>(m, serial);
        };
        factory.network = [this](CommunicationManager& m, const ClientProfile&) {
            return std::make_unique<RecordingTransport>(m, network);
        };
        manager = std::make_unique<CommunicationManager>(profile, *host, factory);
        return *manager;
    }
    CommunicationManager& started() {
        build();
        EXPECT_TRUE(manager->start());
        return *manager;
    }
    std::string trace() const { return readFile(directory / "QTRAIL.txt"); }
    std::string errorLog() const { return readFile(directory / "error.txt"); }

    static constexpr std::string_view kStamp = "07/08/2005:14:03:59:";
    std::filesystem::path directory;
    ClientProfile profile;
    HostCallbacks callbacks;
    TransportLog serial;
    TransportLog network;
    std::vector<std::string> displayed;
    std::vector<std::string> errors;
    std::vector<Bytes> externalWrites;
    std::string debugText;
    std::unique_ptr<HostInterface> host;
    std::unique_ptr<CommunicationManager> manager;
};

TEST_F(CommunicationManagerTest, StartOpensBothLogsWithTheVersion) {
    started();
    EXPECT_TRUE(serial.running);
    EXPECT_EQ(errorLog(), "07/08/2005:14:03:59:CPM Version: ClientProfileManager1.9BETA\r\n");
    EXPECT_EQ(trace(), "07/08/2005:14:03:59:CPM Version: ClientProfileManager1.9BETA\r\n");
}

TEST_F(CommunicationManagerTest, StartFailures) {
    serial.openResult = false;
    build();
    EXPECT_FALSE(manager->start());
    EXPECT_TRUE(contains(errorLog(), ":commManager:  could not open serial\r\n"));
    std::atomic<int> released{0};
    manager->postMessage(std::make_unique<CountedMessage>(kFChannel, 0, &released));
    EXPECT_EQ(released, 1) << "a disabled pipe takes nothing";

    profile.logDirectory = directory / "missing";
    build();
    EXPECT_FALSE(manager->start());
    EXPECT_EQ(displayed.back(), "Cannot open error file.\n");
}

TEST_F(CommunicationManagerTest, SendRoutesByChannel) {
    struct Case {
        std::uint8_t channel;
        const char* label;  // in the trace, or none
        int serialWrites;
        int networkWrites;
        bool sent;
    };
    const Case cases[] = {
        {kAi3Channel, "CP->RVX:AI3", 1, 0, true}, {kFChannel, "CP->RVX:F", 1, 0, true},
        {kNmeaChannel, "CP->RVX:NMEA", 1, 0, true}, {kBinaryChannel, "CP->RVX:XTN", 1, 0, true},
        {kMasChannel, "CP->MAS:MAS", 0, 1, true}, {kStatChannel, nullptr, 0, 0, false},
        {0x05, nullptr, 0, 0, false},
    };
    started();
    EXPECT_TRUE(manager->startNetwork());
    for (const auto& c : cases) {
        serial.writes.clear();
        network.writes.clear();
        const std::string before = trace();
        CountedMessage message(c.channel, 1);
        EXPECT_EQ(manager->sendMessage(message), c.sent) << int{c.channel};
        EXPECT_EQ(serial.writes.size(), static_cast<std::size_t>(c.serialWrites)) << int{c.channel};
        EXPECT_EQ(network.writes.size(), static_cast<std::size_t>(c.networkWrites)) << int{c.channel};
        const std::string added = trace().substr(before.size());
        if (c.label) {
            EXPECT_EQ(added, std::string(c.label) + ":07/08/2005:14:03:59: A0 A2 00 00 B0 B3\r\n");
        } else {
            EXPECT_EQ(added, "");
        }
    }
    EXPECT_TRUE(contains(errorLog(), ":CommunicationManager.sendMessage: Invalid Logic Channel: \r\n"));
}

TEST_F(CommunicationManagerTest, SendWithoutAFrameOrBeforeStart) {
    build();
    MessageF_SWVersionRequest request;
    EXPECT_FALSE(manager->sendMessage(request)) << "not started";
    EXPECT_TRUE(manager->start());
    MessageNMEA tooLong(1, Bytes(119, '$'));
    EXPECT_FALSE(manager->sendMessage(tooLong));
    EXPECT_TRUE(serial.writes.empty());
    EXPECT_TRUE(contains(errorLog(), ":NMEA_CHANNEL: getBytes() buffer too small - increase buffer size.\r\n"));
}

TEST_F(CommunicationManagerTest, ExternalModeWritesThroughTheHost) {
    profile.externalSerial = 1;
    started();
    EXPECT_FALSE(serial.running) << "the own serial port stays closed";
    MessageF_SWVersionRequest request;
    EXPECT_TRUE(manager->sendMessage(request));
    ASSERT_EQ(externalWrites.size(), 1U);
    EXPECT_EQ(externalWrites[0], (Bytes{0xA0, 0xA2, 0x00, 0x02, 0x02, 0x17, 0x80, 0x19, 0xB0, 0xB3}));
    EXPECT_TRUE(serial.writes.empty());

    const Bytes content{0x02, 0x00, 0x05};
    EXPECT_TRUE(manager->deliverFromHost(content.data(), content.size()));
    auto received = manager->getMessage(std::chrono::milliseconds(0));
    ASSERT_NE(received, nullptr);
    EXPECT_EQ(received->id(), 0);
}

TEST_F(CommunicationManagerTest, ReceivedMessagesAreLoggedByChannel) {
    struct Case {
        const char* legend;
        std::function<std::unique_ptr<Message>()> build;
        std::string trace;
        std::string errors;
    };
    const auto frameless = [](std::uint8_t channel, std::uint8_t id) {
        return [channel, id] { return std::make_unique<CountedMessage>(channel, id, nullptr, Bytes{}); };
    };
    const auto framed = [](std::uint8_t channel, std::uint8_t id) {
        return [channel, id] { return std::make_unique<CountedMessage>(channel, id); };
    };
    const std::string stamp(kStamp);
    const std::string dump = stamp + " A0 A2 00 00 B0 B3\r\n";
    const Case cases[] = {
        {"F, checksum flag cleared in the log", [] { return std::make_unique<MessageF_ErrorNotification>(7); },
         "RVX->CP:F:" + stamp + " A0 A2 00 03 02 04 07 00 0D B0 B3\r\n", ""},
        {"NMEA, checksum flag cleared", [] { return std::make_unique<MessageNMEA>(1, Bytes{}); },
         "RVX->CP:NMEA:" + stamp + " A0 A2 00 02 DD 01 00 DE B0 B3\r\n", ""},
        {"server", [] { return std::make_unique<MessageMAS_Ready>(5); },
         "MAS->CP:MAS:" + stamp + " A0 A2 00 02 08 05 B0 B3\r\n", ""},
        {"AI3 answer", framed(kAi3Channel, 2), "RVX->CP:AI3:" + dump, ""},
        {"other AI3 ids", framed(kAi3Channel, 1), stamp + "RVX->CP:AI3 msg error\r\n", ""},
        {"STAT", framed(kStatChannel, 6), "RVX->CP:STAT:" + dump, ""},
        {"unknown channel", framed(0x05, 6), stamp + "->CP:Unknown\r\n" + dump, ""},
        {"F without a frame", frameless(kFChannel, 1), "",
         stamp + "F_CHANNEL:  getBytes() buffer too small - increase buffer size\r\n"},
        {"NMEA without a frame", frameless(kNmeaChannel, 6), "",
         stamp + "NMEA_CHANNEL:  getBytes() buffer too small - increase buffer size\r\n"},
        {"unknown channel without a frame", frameless(0x05, 6), stamp + "->CP:Unknown\r\n", ""},
    };
    started();
    for (const auto& c : cases) {
        const std::string traceBefore = trace();
        const std::string errorsBefore = errorLog();
        manager->postMessage(c.build());
        EXPECT_EQ(trace().substr(traceBefore.size()), c.trace) << c.legend;
        EXPECT_EQ(errorLog().substr(errorsBefore.size()), c.errors) << c.legend;
        EXPECT_NE(manager->getMessage(std::chrono::milliseconds(0)), nullptr) << c.legend;
    }
    manager->postMessage(nullptr);
    EXPECT_TRUE(contains(errorLog(), ":commMgr: postMessage message empty.\r\n"));
}

TEST_F(CommunicationManagerTest, StatusAndErrorTexts) {
    started();
    manager->reportStatus("0002:START AUTONOMOUS SESSION");
    EXPECT_EQ(displayed.back(), "0002:START AUTONOMOUS SESSION");
    EXPECT_EQ(debugText, "0002:START AUTONOMOUS SESSION\n");

    errno = 5;
    manager->reportError("SerialModule->Cannot create critical section");
    EXPECT_EQ(errors.back(), "5|SerialModule->Cannot create critical section");
    EXPECT_TRUE(contains(errorLog(), std::string(kStamp) + "SerialModule->Cannot create critical section\r\n"));
    EXPECT_TRUE(contains(debugText, "ERROR: SerialModule->Cannot create critical section , ErrNo:5\n"));

    const std::string longText(200, 'x');
    manager->reportStatus(longText);
    EXPECT_EQ(displayed.back(), std::string(79, 'x')) << "cut to the 80-character buffer";
    debugText.clear();
    errno = 5;
    manager->reportError(longText);
    EXPECT_EQ(debugText, "ERROR: " + std::string(72, 'x')) << "cut to the 80-character buffer";
    EXPECT_EQ(errors.back(), "5|" + longText) << "the host gets the whole text";
}

TEST_F(CommunicationManagerTest, LoggingDisabledWritesNoFile) {
    profile.logEnabled = 0;
    started();
    manager->logTrace("trace");
    manager->logError("error");
    manager->logTraffic("label", nullptr, 0);
    manager->postMessage(std::make_unique<MessageMAS_Ready>(5));
    manager->reportStatus("status");
    errno = 2;
    manager->reportError("failure");
    manager->shutdown();
    EXPECT_TRUE(std::filesystem::is_empty(directory));
    EXPECT_EQ(displayed.back(), "status");
    EXPECT_EQ(errors.back(), "2|failure");
    EXPECT_TRUE(contains(debugText, "status\n"));
    EXPECT_TRUE(contains(debugText, "ERROR: failure , ErrNo:2\n"));
}

TEST_F(CommunicationManagerTest, NetworkStartAndStop) {
    network.openResult = false;
    started();
    EXPECT_FALSE(manager->startNetwork() || manager->networkUp());
    EXPECT_TRUE(contains(errorLog(), ":commManager:  could not start network - running autonomous mode\r\n"));
    network.openResult = true;
    EXPECT_TRUE(manager->startNetwork());
    EXPECT_TRUE(manager->networkUp());
    manager->stopNetwork();
    EXPECT_FALSE(manager->networkUp());
    EXPECT_FALSE(network.running);
}

// The call processor looks for a lost server between messages: a connect that takes long must not
// hold it up, and counts as not lost.
TEST_F(CommunicationManagerTest, TheLostServerCheckNeverWaitsForAConnect) {
    started();
    std::promise<void> connecting;
    std::promise<void> answered;
    bool answeredInTime = false;
    network.whileOpening = [&, answer = answered.get_future().share()] {
        connecting.set_value();
        answeredInTime = answer.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    };
    std::thread opener([this] { manager->startNetwork(); });
    connecting.get_future().wait();
    EXPECT_FALSE(manager->networkLost());
    answered.set_value();
    opener.join();
    EXPECT_TRUE(answeredInTime) << "the check waited for the connect to end";
    network.running = false;  // the server went away
    EXPECT_TRUE(manager->networkLost());
}

TEST_F(CommunicationManagerTest, ShutdownClosesEverythingAndLatePostsAreReleased) {
    serial.closeResult = false;
    network.closeResult = false;
    started();
    std::atomic<int> released{0};
    manager->postMessage(std::make_unique<CountedMessage>(kFChannel, 1, &released));
    EXPECT_TRUE(manager->shutdown());
    EXPECT_EQ(released, 1) << "the pipe was flushed";
    EXPECT_EQ(serial.closes, 1);
    EXPECT_EQ(network.closes, 1);
    EXPECT_TRUE(trace().ends_with(std::string(kStamp) + "Log File Closed\r\n"));
    EXPECT_TRUE(errorLog().ends_with(std::string(kStamp) + "Could not close serial port - invalid serial handle\r\n" +
                                     std::string(kStamp) + "Network already closed\r\n" + std::string(kStamp) +
                                     "Error File Closed\r\n"))
        << errorLog();

    const std::string traceAtClose = trace();
    const std::string errorsAtClose = errorLog();
    manager->postMessage(std::make_unique<CountedMessage>(kFChannel, 1, &released));
    EXPECT_EQ(released, 2);
    MessageF_SWVersionRequest request;
    EXPECT_FALSE(manager->sendMessage(request));
    EXPECT_FALSE(manager->startNetwork());
    EXPECT_EQ(trace(), traceAtClose);
    EXPECT_EQ(errorLog(), errorsAtClose);
}

TEST(LogFormat, HexDumpBreaksAfterThirteenThenTwelveBytes) {
    Bytes bytes(25);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(formatHexDump("L:", bytes.data(), bytes.size()),
              "L: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C\r\n"
              " 0D 0E 0F 10 11 12 13 14 15 16 17 18\r\n"
              "\r\n");
    EXPECT_EQ(formatHexDump("L:", bytes.data(), 2), "L: 00 01\r\n");
    EXPECT_EQ(formatHexDump("L:", nullptr, 0), "L:\r\n");
}

TEST(LogFormat, Line) {
    EXPECT_EQ(formatLogLine({"07/08/2005", "14:03:59"}, "Call Processor thread running"),
              "07/08/2005:14:03:59:Call Processor thread running\r\n");
}

}  // namespace
}  // namespace vexa
