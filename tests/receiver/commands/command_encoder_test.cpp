#include "receiver/commands/command_encoder.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "support/frame_bytes.h"
#include "platform/result_codes.h"
#include "receiver/commands/command_blocks.h"
#include "receiver/commands/command_builders.h"

namespace vexa {
namespace {

using test::Bytes;
using test::Join;

Bytes Encode(const CommandMessage& command, bool channelByte = false) {
    std::uint8_t frame[1024];
    const EncodeResult result = EncodeMessage(command.id, command.block.data(), command.length, frame, channelByte);
    EXPECT_EQ(result.code, kResultOk) << command.id;
    return Bytes(frame, frame + result.frameLength);
}

// The payload of an encoded frame, after checking the frame around it.
Bytes Payload(const Bytes& frame) {
    EXPECT_GE(frame.size(), 8u);
    if (frame.size() < 8) return {};
    const Bytes payload(frame.begin() + 4, frame.end() - 4);
    unsigned sum = 0;
    for (std::uint8_t byte : payload) sum += byte;
    EXPECT_EQ((Bytes{frame[0], frame[1], frame[2], frame[3]}),
              (Bytes{0xA0, 0xA2, 0x00, static_cast<std::uint8_t>(payload.size())}));
    EXPECT_EQ((Bytes(frame.end() - 4, frame.end())),
              (Bytes{static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum), 0xB0, 0xB3}));
    return payload;
}

Bytes Zeros(std::size_t count) { return Bytes(count, 0); }

PowerSettings Power(PowerMode mode, int onTime, int updateRate) {
    PowerSettings settings;
    settings.mode = mode;
    settings.onTimeMs = onTime;
    settings.updateRateSeconds = updateRate;
    return settings;
}

struct Case {
    const char* legend;
    CommandMessage command;
    Bytes payload;
};

std::vector<Case> Cases() {
    ReceiverContext kestrel;
    const PowerSettings defaults;
    PowerSettings adaptive;
    adaptive.adaptive = true;
    return {
        {"hot start", ResetCommand(ResetKind::Hot, kestrel), Join({{0x80}, Zeros(24)})},
        {"warm start", ResetCommand(ResetKind::Warm, kestrel), Join({{0x80}, Zeros(23), {0x02}})},
        {"cold start", ResetCommand(ResetKind::Cold, kestrel), Join({{0x80}, Zeros(23), {0x06}})},
        {"factory reset", ResetCommand(ResetKind::Factory, kestrel), Join({{0x80}, Zeros(23), {0x08}})},
        {"debug output", DebugOutputToggle(kestrel), {0xA6, 0x00, 0xFF, 0x01}},
        {"software version poll", SoftwareVersionPoll(), {0x84, 0x00}},
        {"clock status poll", ClockStatusPoll(), {0x90, 0x00}},
        {"elevation 5.0 and 7.55", *ElevationMaskCommand(5.0, 7.55), {0x8B, 0x00, 0x32, 0x00, 0x4B}},
        {"elevation -20.0 and 90.0", *ElevationMaskCommand(-20.0, 90.0), {0x8B, 0xFF, 0x38, 0x03, 0x84}},
        {"elevation truncated toward zero", *ElevationMaskCommand(-0.19, 0.99), {0x8B, 0xFF, 0xFF, 0x00, 0x09}},
        {"always on", PowerManagementCommands(defaults)[0], {0x97, 0x00, 0x00, 0x03, 0xE8, 0x00, 0x00, 0x00, 0xC8}},
        {"timed power 300 ms every 2 s", PowerManagementCommands(Power(PowerMode::TimedPower, 300, 2))[0],
         {0x97, 0x00, 0x00, 0x00, 0x96, 0x00, 0x00, 0x01, 0x2C}},
        {"timed power 200 ms every 3 s", PowerManagementCommands(Power(PowerMode::TimedPower, 200, 3))[0],
         {0x97, 0x00, 0x00, 0x00, 0x42, 0x00, 0x00, 0x00, 0xC8}},
        {"timed power with update rate 0", PowerManagementCommands(Power(PowerMode::TimedPower, 200, 0))[0],
         {0x97, 0x00, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x00, 0xC8}},
        {"fix on demand", PowerManagementCommands(Power(PowerMode::FixOnDemand, 400, 1))[0],
         {0x97, 0x00, 0x01, 0x00, 0x0A, 0x00, 0x00, 0x01, 0x90}},
        {"power timing defaults", PowerManagementCommands(defaults)[1],
         {0xA7, 0x00, 0x00, 0x75, 0x30, 0x00, 0x04, 0x93, 0xE0, 0x00, 0x00, 0x07, 0x08, 0x00, 0x00}},
        {"power timing adaptive", PowerManagementCommands(adaptive)[1],
         {0xA7, 0x00, 0x00, 0x75, 0x30, 0x00, 0x04, 0x93, 0xE0, 0x00, 0x00, 0x07, 0x08, 0x00, 0x01}},
        {"switch to NMEA", SwitchToNmeaCommand(),
         {0x81, 0x02, 0x01, 0x01, 0x00, 0x01, 0x01, 0x01, 0x05, 0x01, 0x01, 0x01, 0x00, 0x01,
          0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x12, 0xC0}},
        {"133", CommandMessage::Of(MessageId::Command133, Block133{0x01, 0x01020304, 0x02}), {0x85, 0x01, 0x01, 0x02, 0x03, 0x04, 0x02}},
        {"134", CommandMessage::Of(MessageId::Command134, Block134{0x0A0B0C0D, {1, 2, 3, 4}}),
         {0x86, 0x0A, 0x0B, 0x0C, 0x0D, 0x01, 0x02, 0x03, 0x04}},
        {"137", CommandMessage::Of(MessageId::Command137, Block137{{9, 8, 7, 6}}), {0x89, 0x09, 0x08, 0x07, 0x06}},
        {"140", CommandMessage::Of(MessageId::Command140, Block140{{5, 4}}), {0x8C, 0x05, 0x04}},
        {"170", CommandMessage::Of(MessageId::Command170, Block170{0x01, {0x11223344, 0x55667788}}),
         {0xAA, 0x01, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88}},
    };
}

TEST(CommandEncoder, PayloadOfEveryCommand) {
    for (const Case& c : Cases()) EXPECT_EQ(Payload(Encode(c.command)), c.payload) << c.legend;
}

TEST(CommandEncoder, OspreyColdStartFrame) {
    ReceiverContext osprey;
    osprey.ProductSelection = kOsprey;
    const Bytes expected = Join({{0xA0, 0xA2, 0x00, 0x1A, 0xEE, 0x80}, Zeros(23), {0x86, 0x01, 0xF4, 0xB0, 0xB3}});
    EXPECT_EQ(Encode(ResetCommand(ResetKind::Cold, osprey), true), expected);
}

TEST(CommandEncoder, RefusesUnknownIdsShortBlocksAndSmallBuffers) {
    std::uint8_t frame[1024] = {};
    const ResetBlock reset{};
    for (int id : {0, 2, 130, 131, 255, 1000}) {
        EXPECT_EQ(EncodeMessage(id, &reset, sizeof reset, frame, false).code, kResultUnknownId) << id;
    }
    EXPECT_EQ(EncodeMessage(128, &reset, sizeof reset - 1, frame, false).code, kResultBadLength);
    EXPECT_EQ(EncodeMessage(128, &reset, sizeof reset, std::span(frame, 32), false).code, kResultBadLength);
    EXPECT_EQ(EncodeMessage(128, &reset, sizeof reset, std::span(frame, 33), false).frameLength, 33u);
}

TEST(CommandBuilders, ResetsAddOspreyFlagAndForgetToggles) {
    const std::pair<ResetKind, std::uint8_t> resets[] = {
        {ResetKind::Hot, 0x80}, {ResetKind::Warm, 0x82}, {ResetKind::Cold, 0x86}, {ResetKind::Factory, 0x88}};
    for (const auto& [kind, configuration] : resets) {
        ReceiverContext context;
        context.ProductSelection = kOsprey;
        context.DebugToggleCount = 11;
        context.NavLibToggleCount = 21;
        context.NmeaChannelCount = 6;
        context.Ttff.set("12.5 sec");
        context.Ttff.setChanged(false);
        const CommandMessage command = ResetCommand(kind, context);
        EXPECT_EQ(command.block[23], configuration);
        EXPECT_EQ(context.DebugToggleCount, 0);
        EXPECT_EQ(context.NavLibToggleCount, 0);
        EXPECT_EQ(context.NmeaChannelCount, 0);
        EXPECT_EQ(context.Ttff.text(), "");
        EXPECT_TRUE(context.Ttff.changed());
    }
}

TEST(CommandBuilders, DebugToggleRates) {
    struct Step {
        int countBefore;
        std::uint8_t rate;
        int countAfter;
    };
    for (const Step& step : {Step{0, 1, 10}, Step{10, 1, 10}, Step{11, 0, 0}, Step{5, 1, 10}}) {
        ReceiverContext context;
        context.DebugToggleCount = step.countBefore;
        const CommandMessage command = DebugOutputToggle(context);
        EXPECT_EQ(command.block[2], step.rate) << step.countBefore;
        EXPECT_EQ(context.DebugToggleCount, step.countAfter) << step.countBefore;
    }
}

TEST(CommandBuilders, NavLibToggleSendsFourMessages) {
    ReceiverContext context;
    context.NavLibToggleCount = 21;
    const auto off = NavLibOutputToggle(context);
    for (std::size_t i = 0; i < off.size(); ++i) {
        EXPECT_EQ(off[i].id, 166);
        EXPECT_EQ(off[i].block[1], 28 + i);
        EXPECT_EQ(off[i].block[2], 0);
    }
    EXPECT_EQ(context.NavLibToggleCount, 0);
    const auto on = NavLibOutputToggle(context);
    EXPECT_EQ(on[3].block[2], 1);
    EXPECT_EQ(context.NavLibToggleCount, 20);
    EXPECT_EQ(NavLibOutputToggle(context)[0].block[2], 1);
}

TEST(CommandBuilders, ElevationMaskOutsideTheDialogRangeIsRefused) {
    EXPECT_FALSE(ElevationMaskCommand(-20.1, 5.0));
    EXPECT_FALSE(ElevationMaskCommand(5.0, 90.5));
    EXPECT_FALSE(ElevationMaskCommand(5.0, std::numeric_limits<double>::quiet_NaN()));
}

TEST(CommandBuilders, SwitchToBinarySentences) {
    EXPECT_EQ(SwitchToBinarySentence(kKestrel), "$PVXA100,0,57600,8,1,0*3F\r\n");
    EXPECT_EQ(SwitchToBinarySentence(kMerlin), "$PVXA100,0,57600,8,1,0*3F\r\n");
    EXPECT_EQ(SwitchToBinarySentence(kOsprey), "$PVXA100,2,57600,8,1,0*3D\r\n");
    EXPECT_FALSE(SwitchToBinarySentence(kHarrier));
    EXPECT_FALSE(SwitchToBinarySentence(kVexaLoc));
}

}  // namespace
}  // namespace vexa
