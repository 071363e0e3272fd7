#include <gtest/gtest.h>

#include <filesystem>

#include "support/link_fixture.h"
#include "support/log_file_text.h"
#include "link/link_log.h"
#include "receiver/commands/command_blocks.h"
#include "receiver/commands/command_builders.h"

namespace vexa {
namespace {

using test::Frame;
using test::LinkUnderTest;
using test::ReadFile;
using test::Text;

// The log body: what follows the banner's empty line, up to the closing line.
std::string Body(const std::string& log) {
    const std::size_t start = log.find("\r\n\r\n") + 4;
    const std::size_t end = log.rfind("\r\nLog file closed ");
    return log.substr(start, end - start);
}

struct LoggedLink : ::testing::Test {
    void SetUp() override { ASSERT_EQ(log.Open(path.string()), kResultOk); }
    ~LoggedLink() override { std::filesystem::remove(path); }
    std::filesystem::path path = std::filesystem::path(::testing::TempDir()) /
        (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".gps");
    LinkUnderTest link;
    LinkLog log{*link.comm};
};

TEST_F(LoggedLink, EachDeliveredMessageIsOneLine) {
    link.comm->Receive(Text("$GPGSA,A,3*30\r\n"));
    link.comm->Receive(Frame(test::OkToSendPayload(1)));
    link.comm->Receive(Frame(test::NavPayload(1)));
    log.Close();
    const std::string body = Body(ReadFile(path));
    EXPECT_EQ(body.rfind("$GPGSA,A,3*30  \r\n", 0), 0u) << body;
    std::size_t lines = 0;
    for (std::size_t at = body.find("\r\n"); at != std::string::npos; at = body.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, 3u) << body;
}

TEST_F(LoggedLink, OpeningASecondLogClosesTheFirstWithItsClosingLine) {
    const std::filesystem::path second = path.string() + ".second";
    ASSERT_EQ(log.Open(second.string()), kResultOk);
    EXPECT_NE(ReadFile(path).find("\r\nLog file closed "), std::string::npos);
    log.Close();
    std::filesystem::remove(second);
}

TEST_F(LoggedLink, AFrameThatCannotBeHeldIsRefusedWithALineOfItsOwn) {
    link.comm->Receive(Frame(test::OkToSendPayload(0)));
    const CommandMessage poll = SoftwareVersionPoll();  // a 10-byte frame
    for (int i = 0; i < 100; ++i) EXPECT_EQ(link.comm->Send(poll.id, poll.block.data(), poll.length), kResultOk);
    ASSERT_EQ(link.comm->PendingOutputCount(), 1000u);
    const CommandMessage message133 = CommandMessage::Of(MessageId::Command133, Block133{});  // a 15-byte frame
    // 1000 + 15 + 8 = 1023: refused (logged, as the receiver would never see it); 1000 + 10 + 8 = 1018: held
    EXPECT_EQ(link.comm->Send(message133.id, message133.block.data(), message133.length), kResultOk);
    EXPECT_EQ(link.comm->Send(poll.id, poll.block.data(), poll.length), kResultOk);
    EXPECT_EQ(link.comm->PendingOutputCount(), 1010u);
    link.comm->Receive(Text("$GPGSA,A,3*30\r\n"));
    log.Close();
    const std::string body = Body(ReadFile(path));
    const std::string refusal =
        "GPS_COMM_TRK_Write OkToSend=FALSE, attempt to buffer VexaBinary message for later output failed.\r\n";
    EXPECT_NE(body.find(refusal + "$GPGSA"), std::string::npos) << body;
}

TEST(GpsCommLog, AFullDiskClosesTheLogOnceWithoutItsClosingLine) {
    LinkUnderTest link;
    LinkLog log(*link.comm);
    ASSERT_EQ(log.Open("/dev/full"), kResultOk);
    const std::string sentence = "$GPGSA,A,3,,,,,,,,,,,,,1.0,1.0,1.0*30\r\n";
    for (int i = 0; i < 5000; ++i) {
        link.comm->DeliverMessage(255, reinterpret_cast<const std::uint8_t*>(sentence.data()), sentence.size());
    }
    EXPECT_FALSE(log.IsOpen());
    log.Close();
    int shown = 0;
    while (auto update = link.notifications.take()) {
        const auto* message = std::get_if<MessageToShow>(&*update);
        if (message == nullptr) continue;
        ++shown;
        EXPECT_EQ(message->text, "Disk is full. Log file will be closed.");
    }
    EXPECT_EQ(shown, 1);
}

TEST(GpsCommLog, AnErrorMetAtCloseIsShownToo) {
    LinkUnderTest link;
    LinkLog log(*link.comm);
    ASSERT_EQ(log.Open("/dev/full"), kResultOk);
    log.Close();
    EXPECT_EQ(link.notifications.take(), LinkUpdate{MessageToShow{"Disk is full. Log file will be closed."}});
}

}  // namespace
}  // namespace vexa
