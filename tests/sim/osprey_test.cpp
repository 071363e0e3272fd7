#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "location/messages/message_ai3.h"
#include "location/messages/message_decoder.h"
#include "location/messages/message_f.h"
#include "location/transport/module_framing.h"
#include "sim/osprey_location_side.h"
#include "sim_test_support.h"

namespace vexa::sim {
namespace {

using namespace std::chrono_literals;
using simtest::Deliver;
using simtest::PtyPeer;
using simtest::RunFor;

// The receiver's frames as the location client's serial module cuts them, sorted by channel.
struct ByChannel : FrameListener {
    std::map<std::uint8_t, std::vector<std::vector<std::uint8_t>>> frames;
    int refused = 0;
    void onFrame(std::span<std::uint8_t> content) override {
        frames[content[0]].emplace_back(content.begin(), content.end());
    }
    void onRefused(FrameFault) override { ++refused; }
};

ByChannel Cut(const std::vector<std::uint8_t>& bytes) {
    ByChannel cut;
    FrameReceiver receiver(cut, serialModuleFraming().rules);
    receiver.feed(bytes);
    return cut;
}

std::vector<std::uint8_t> FrameOf(Message& message) {
    const std::uint8_t* frame = message.getBytes();
    return {frame, frame + message.getLength()};
}

SimulatorOptions Osprey() {
    SimulatorOptions options;
    options.receiver.productName = "Osprey";
    options.receiver.timesToFirstFix = {1.0, 1.0, 1.0, 1.0};
    return options;
}

TEST(OspreySimulator, SendsItsOwnMessagesOnTheBinaryChannelWithCleanChecksums) {
    ReceiverSimulator simulator(Osprey());
    PtyPeer peer(simulator.slavePath(), 57600);
    const ByChannel cut = Cut(RunFor(simulator, peer, 2100ms));
    EXPECT_EQ(cut.refused, 0);
    ASSERT_TRUE(cut.frames.contains(0xEE));
    EXPECT_EQ(cut.frames.at(0xEE).front()[1], 2);  // the navigation message leads each second
    ASSERT_TRUE(cut.frames.contains(0xBB));        // the first fix's statistics
    EXPECT_EQ(cut.frames.at(0xBB).front().size(), 2u + 37u);
}

// The program's product choice swaps the receiver behind the same port: the link keeps its path.
TEST(OspreySimulator, AKestrelChangedIntoAnOspreyKeepsItsPortAndTakesUpTheChannelByte) {
    SimulatorOptions options = Osprey();
    options.receiver.productName = "Kestrel";
    ReceiverSimulator simulator(options);
    const std::string path = simulator.slavePath();
    PtyPeer peer(path, 57600);
    const ByChannel before = Cut(RunFor(simulator, peer, 1100ms));
    EXPECT_FALSE(before.frames.contains(0xEE));
    EXPECT_TRUE(before.frames.contains(2)) << "the Kestrel's navigation message leads without a channel byte";

    simulator.changeProduct("Osprey");
    EXPECT_EQ(simulator.slavePath(), path);
    EXPECT_EQ(simulator.productName(), "Osprey");
    const ByChannel after = Cut(RunFor(simulator, peer, 1100ms));
    EXPECT_EQ(after.refused, 0);
    ASSERT_TRUE(after.frames.contains(0xEE));
    EXPECT_EQ(after.frames.at(0xEE).front()[1], 2);
    EXPECT_FALSE(after.frames.contains(2));
}

TEST(OspreySimulator, AnswersTheSoftwareVersionRequest) {
    ReceiverSimulator simulator(Osprey());
    PtyPeer peer(simulator.slavePath(), 57600);
    MessageF_SWVersionRequest request;
    Deliver(simulator, peer, FrameOf(request));
    const ByChannel cut = Cut(RunFor(simulator, peer, 200ms));
    ASSERT_TRUE(cut.frames.contains(0x02));
    const auto& content = cut.frames.at(0x02).front();
    MessageDecoder decoder;
    auto message = decoder.decodeMessage(content.data(), content.size());
    auto* version = dynamic_cast<MessageF_SWVersionResponse*>(message.get());
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->version1(), "VexaSim 1.0");
    EXPECT_EQ(version->version2(), "Osprey simulated receiver");
}

TEST(OspreySimulator, AnswersAPositionRequestWithItsFixInFragments) {
    SimulatorOptions options = Osprey();
    options.receiver.origin = {48.1173, 11.5167, 545.0};
    ReceiverSimulator simulator(options);
    PtyPeer peer(simulator.slavePath(), 57600);
    MessageAI3_PositionRequest request;
    request.setHeader(1, 0);
    Deliver(simulator, peer, FrameOf(request));
    const ByChannel cut = Cut(RunFor(simulator, peer, 2100ms));
    ASSERT_TRUE(cut.frames.contains(0x01));
    const auto& fragments = cut.frames.at(0x01);
    EXPECT_GE(fragments.size(), 2u);

    MessageDecoder decoder;
    std::unique_ptr<Message> answer;
    for (const auto& fragment : fragments) {
        EXPECT_EQ(answer, nullptr) << "the answer is whole only with its last fragment";
        answer = decoder.decodeMessage(fragment.data(), fragment.size());
    }
    auto* response = dynamic_cast<MessageAI3_Response*>(answer.get());
    ASSERT_NE(response, nullptr);
    ASSERT_TRUE(response->decoded());
    EXPECT_NEAR(response->positionResult().latitude, 48.1173, 0.01);
    EXPECT_NEAR(response->positionResult().longitude, 11.5167, 0.01);
    EXPECT_NEAR(response->positionResult().altitude, 545, 50);
}

// Aiding for every satellite hardly compresses: the request's first fragment is a whole 1016 bytes.
TEST(OspreySimulator, TakesARequestInWholeFragments) {
    ReceiverSimulator simulator(Osprey());
    PtyPeer peer(simulator.slavePath(), 57600);
    MessageAI3_PositionRequest request;
    request.setHeader(1, 0);
    std::uint8_t value = 0;
    for (OrbitSlot& slot : request.orbitSlots()) {
        slot.present = true;
        for (std::uint8_t& byte : slot.record) byte = value += 37;
    }
    const std::vector<std::uint8_t> frames = FrameOf(request);
    ASSERT_GT(frames.size(), kAi3FragmentBytes + kAi3FragmentOverhead);
    Deliver(simulator, peer, frames);
    const ByChannel cut = Cut(RunFor(simulator, peer, 2100ms));
    ASSERT_TRUE(cut.frames.contains(0x01));
    MessageDecoder decoder;
    std::unique_ptr<Message> answer;
    for (const auto& fragment : cut.frames.at(0x01)) answer = decoder.decodeMessage(fragment.data(), fragment.size());
    ASSERT_NE(dynamic_cast<MessageAI3_Response*>(answer.get()), nullptr);
}

TEST(OspreySimulator, OpensTheNmeaTunnelAndAnswersTheChannelRequest) {
    ReceiverSimulator simulator(Osprey());
    PtyPeer peer(simulator.slavePath(), 57600);
    MessageF_ChannelOpen open(0xDD);
    Deliver(simulator, peer, FrameOf(open));
    const ByChannel cut = Cut(RunFor(simulator, peer, 1100ms));
    ASSERT_TRUE(cut.frames.contains(0x02));
    EXPECT_EQ(cut.frames.at(0x02).front(), (std::vector<std::uint8_t>{0x02, 160, 0, 0xDD, 0}));
    ASSERT_TRUE(cut.frames.contains(0xDD));
    const auto& sentence = cut.frames.at(0xDD).front();
    EXPECT_EQ(std::string(sentence.begin() + 1, sentence.begin() + 3), "$G");
}

// After a reset the receiver walks the client through its requests, one answer at a time.
TEST(OspreySimulator, AsksForConfigurationTimeFrequencyAndPositionAfterAReset) {
    ReceiverSimulator simulator(Osprey());
    PtyPeer peer(simulator.slavePath(), 57600);
    const auto exchange = [&](Message& sent) {
        Deliver(simulator, peer, FrameOf(sent));
        const ByChannel cut = Cut(RunFor(simulator, peer, 100ms));
        return cut.frames.contains(0x02) ? cut.frames.at(0x02).front()[1] : -1;
    };
    MessageF_GPSReset reset(2);
    EXPECT_EQ(exchange(reset), MessageF_HWConfigRequest::kId);
    MessageF_HWConfigResponse configuration(2);
    EXPECT_EQ(exchange(configuration), MessageF_TimeTransferRequest::kId);
    MessageF_Reject notReady(MessageF_TimeTransferRequest::kId, 2);
    EXPECT_EQ(exchange(notReady), -1);
    const ByChannel retry = Cut(RunFor(simulator, peer, 2100ms));
    ASSERT_TRUE(retry.frames.contains(0x02));
    EXPECT_EQ(retry.frames.at(0x02).front()[1], MessageF_TimeTransferRequest::kId);
    MessageF_TimeTransferResponse time(2300, 1000.0);
    EXPECT_EQ(exchange(time), MessageF_FreqTransferRequest::kId);
    MessageF_FreqTransferResponse frequency;
    EXPECT_EQ(exchange(frequency), MessageF_ApproxPositionRequest::kId);
    MessageF_SessionOpenRequest openSession;
    EXPECT_EQ(exchange(openSession), MessageF_OpenSessionNotification::kId);
    MessageF_SessionCloseRequest closeSession;
    EXPECT_EQ(exchange(closeSession), MessageF_CloseSessionNotification::kId);
}

// An autonomous session has no time to give: after the last attempt the receiver goes on without it.
TEST(OspreySimulator, GoesOnWithoutTheTimeWhenTheClientIsNeverReady) {
    ReceiverSimulator simulator(Osprey());
    PtyPeer peer(simulator.slavePath(), 57600);
    MessageF_GPSReset reset(2);
    Deliver(simulator, peer, FrameOf(reset));
    MessageF_HWConfigResponse configuration(2);
    Deliver(simulator, peer, FrameOf(configuration));
    MessageF_Reject notReady(MessageF_TimeTransferRequest::kId, 2);
    std::vector<int> asked;  // what the receiver asked after the configuration request
    for (int second = 0; second <= OspreyLocationSide::kTimeTransferAttempts; ++second) {
        const ByChannel cut = Cut(RunFor(simulator, peer, 1100ms));
        if (!cut.frames.contains(0x02)) continue;
        for (const auto& frame : cut.frames.at(0x02)) {
            if (frame[1] != MessageF_HWConfigRequest::kId) asked.push_back(frame[1]);
        }
        if (!asked.empty() && asked.back() == MessageF_TimeTransferRequest::kId) Deliver(simulator, peer, FrameOf(notReady));
    }
    std::vector<int> expected(OspreyLocationSide::kTimeTransferAttempts, MessageF_TimeTransferRequest::kId);
    expected.push_back(MessageF_FreqTransferRequest::kId);
    EXPECT_EQ(asked, expected);
}

}  // namespace
}  // namespace vexa::sim
