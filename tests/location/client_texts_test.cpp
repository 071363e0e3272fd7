// Every text the client writes while a session runs, read back from where it goes: the trace log, the
// error log, the status texts shown to the user and the "DEBUG:" traces.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/client_harness.h"
#include "location/session/call_processor.h"

namespace vexa {
namespace {

using test::aidingBlock;
using test::Bytes;
using test::ClientHarness;
using test::positionAnswer;

constexpr std::uint8_t kF = 0x02;

// Time-to-first-fix figures 12.3 s, 4.5 s and 0.6 s in tenths, then the rest of the record.
Bytes ttffReport() {
    Bytes content{0xBB, 6, 0x00, 123, 0x00, 45, 0x00, 6};
    content.resize(2 + 37, 0);
    return content;
}

// One session with the server from start to close, with every kind of message the client writes about.
void runSession(ClientHarness& harness) {
    harness.client().startNetworkSession();
    ASSERT_TRUE(harness.awaitServerFrames(7));
    harness.fromServer(2, {0x12, 0x34});
    harness.fromServer(8, {0});
    harness.fromServer(3, aidingBlock(true, false));
    harness.fromServer(3, aidingBlock(true, true));
    harness.fromServer(9, {});
    ASSERT_TRUE(harness.settleByServer());

    harness.fromReceiver({kF, 23, 3, 4, 'A', 'B', 'C', 'w', 'x', 'y', 'z'});
    harness.fromReceiver({kF, 4, 7});
    harness.fromReceiver({kF, 21, 17, 4});
    harness.fromReceiver(ttffReport());
    harness.fromReceiver({kF, 0, 0});
    harness.fromReceiver(positionAnswer(45.0, -90.0, 25));
    ASSERT_TRUE(harness.awaitFixes(1));
    ASSERT_TRUE(harness.settle());

    // Both timers run out together: the network one stops the session, the serial one only warns.
    harness.advanceClock(std::chrono::seconds(5));
    ASSERT_TRUE(harness.awaitText("ERROR: Serial Timer of (2)s expired. Reseting timer."));

    harness.serverRefusesWrites();
    harness.fromServer(2, {0x00, 0x05});
    ASSERT_TRUE(harness.awaitTrace("DEBUG:CP->MAS:MessageMAS_OpenResponse"));
    ASSERT_TRUE(harness.settle());
    harness.client().close();
}

TEST(ClientTexts, WrittenWhereTheyBelong) {
    ClientProfile profile;
    profile.hostAiding = 0;
    profile.serialTimeout = 2;
    profile.networkTimeout = 5;
    ClientHarness harness(profile, true, ClientHarness::Logging::On);
    runSession(harness);

    enum class Where { TraceLog, ErrorLog, Status, Trace };
    struct Case {
        Where where;
        std::string text;
    };
    const Case cases[] = {
        {Where::TraceLog, "Call Processor thread running"},
        {Where::TraceLog, "Air Msg Rx: Eph[Y], Time[N]."},
        {Where::TraceLog, "Air Msg Rx: Eph[Y], Time[Y]."},
        {Where::TraceLog, "RVX Version:ABC:wxyz."},
        {Where::TraceLog, "SpecCheck-TTFF:12.300000:4.500000:0.600000"},
        {Where::TraceLog, "SpecCheck-Pos:45.000000:-90.000000:25"},
        {Where::TraceLog, "Call Processor Exit Normally"},
        {Where::ErrorLog, "Received unknown MAS messageID:9"},
        {Where::ErrorLog, "NetworkTimer (5000) ms has elapsed. Stopped Session."},
        {Where::ErrorLog, "Serial Timer (2000) ms has elapsed. Reseting timer."},
        {Where::ErrorLog, "Failed to send msg ch[170], id[2]"},
        {Where::ErrorLog, "Serial Timer: Stop normally"},
        {Where::ErrorLog, "Network Timer: Stop normally"},
        {Where::Status, "0004:START NETWORK SESSION"},
        {Where::Status, "0008:AIDING RECEIVED"},
        {Where::Status, "0016:WAITING FOR AUTONOMOUS POSITION FIX"},
        {Where::Status, "0064:POSITION FIX RECEIVED"},
        {Where::Status, "WARNING: Network Timer of (5)s expired. Stopping Session."},
        {Where::Trace, "DEBUG:CP->MAS:MS Info"},
        {Where::Trace, "DEBUG:CP->RVX:GPS Reset"},
        {Where::Trace, "DEBUG:MAS->CP:Open Request"},
        {Where::Trace, "DEBUG:CP->MAS:MessageMAS_OpenResponse"},
        {Where::Trace, "DEBUG:MAS->CP:Ready"},
        {Where::Trace, "DEBUG:CP->MAS:Start Test"},
        {Where::Trace, "DEBUG:MAS->CP:Aiding Received"},
        {Where::Trace, "DEBUG:Decoding Air Message"},
        {Where::Trace, "DEBUG:CP->MAS:MessageMAS_EndTest"},
        {Where::Trace, "DEBUG:MAS->CP:Unknown MAS ID"},
        {Where::Trace, "DEBUG:RVX->CP:F:SW Version Response"},
        {Where::Trace, "DEBUG:RVX->CP:F: error notif: 7"},
        {Where::Trace, "DEBUG:RVX->CP:F: Message Reject: 4"},
        {Where::Trace, "DEBUG:  TTFF:45"},
        {Where::Trace, "DEBUG:RVX->CP:F:Open Session Notification"},
        {Where::Trace, "DEBUG:CP->RVX:AI3:Autonomous Position Request"},
        {Where::Trace, "DEBUG:RVX->CP:AI3:Response"},
        {Where::Trace, "DEBUG:CP->RVX:AI3 Resp ACK"},
        {Where::Trace, "DEBUG:CP->RVX:AI3 Close Sess Req"},
        {Where::Trace, "DEBUG:RVX->CP:F:HW Config Request"},
        {Where::Trace, "DEBUG:CP->RVX:HW Cnfg Response"},
    };
    const std::string traceLog = harness.traceLog();
    const std::string errorLog = harness.errorLog();
    const auto texts = harness.texts();
    const auto traces = harness.traces();
    for (const auto& c : cases) {
        switch (c.where) {
        case Where::TraceLog:
            EXPECT_NE(traceLog.find(":" + c.text + "\r\n"), std::string::npos) << "trace log: " << c.text;
            break;
        case Where::ErrorLog:
            EXPECT_NE(errorLog.find(":" + c.text + "\r\n"), std::string::npos) << "error log: " << c.text;
            break;
        case Where::Status:
            EXPECT_NE(std::find(texts.begin(), texts.end(), c.text), texts.end()) << "status: " << c.text;
            break;
        case Where::Trace:
            EXPECT_NE(std::find(traces.begin(), traces.end(), c.text), traces.end()) << "trace: " << c.text;
            break;
        }
    }
}

}  // namespace
}  // namespace vexa
