#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "support/message_bytes.h"
#include "location/messages/message_f.h"
#include "location/messages/message_mas.h"
#include "location/messages/message_tunnel.h"
#include "location/messages/number_encoding.h"

namespace vexa {
namespace {

using test::Bytes;

ClientProfile approxProfile() {
    ClientProfile profile;
    profile.approxLatitude = 45.0F;
    profile.approxLongitude = -90.0F;
    profile.approxAltitude = 100;
    profile.approxAux = 0x1234;
    profile.approxUncertainty = 500;
    profile.numFixes = 3;
    profile.requestParam = 0x10002;
    return profile;
}

struct FrameCase {
    const char* legend;
    std::function<std::unique_ptr<Message>()> build;
    Bytes frame;
};

TEST(MessageRendering, WholeFramesOfEveryChannel) {
    const FrameCase cases[] = {
        {"version request, empty F payload", [] { return std::make_unique<MessageF_SWVersionRequest>(); },
         {0xA0, 0xA2, 0x00, 0x02, 0x02, 0x17, 0x80, 0x19, 0xB0, 0xB3}},
        {"end of test, no checksum on the server frame", [] { return std::make_unique<MessageMAS_EndTest>(); },
         {0xA0, 0xA2, 0x00, 0x01, 0x06, 0xB0, 0xB3}},
        {"session open request", [] { return std::make_unique<MessageF_SessionOpenRequest>(); },
         {0xA0, 0xA2, 0x00, 0x03, 0x02, 0x00, 0x71, 0x80, 0x73, 0xB0, 0xB3}},
        {"NMEA tunnel on", [] { return std::make_unique<MessageF_ChannelOpen>(std::uint8_t{0xDD}); },
         {0xA0, 0xA2, 0x00, 0x05, 0x02, 0xA0, 0x00, 0xDD, 0x00, 0x81, 0x7F, 0xB0, 0xB3}},
        {"open response echoes the session", [] { return std::make_unique<MessageMAS_OpenResponse>(0x1234); },
         {0xA0, 0xA2, 0x00, 0x03, 0x02, 0x12, 0x34, 0xB0, 0xB3}},
        {"NMEA data keeps its id", [] { return std::make_unique<MessageNMEA>(7, Bytes{'a', 'b'}); },
         {0xA0, 0xA2, 0x00, 0x04, 0xDD, 0x07, 'a', 'b', 0x81, 0xA7, 0xB0, 0xB3}},
    };
    for (const auto& c : cases) {
        auto message = c.build();
        EXPECT_EQ(test::frameOf(*message), c.frame) << c.legend;
        EXPECT_EQ(message->getLength(), c.frame.size()) << c.legend;
    }
}

struct PayloadCase {
    const char* legend;
    std::function<std::unique_ptr<Message>()> build;
    Bytes payload;
};

TEST(MessageRendering, PayloadLayouts) {
    const PayloadCase cases[] = {
        {"frequency transfer with the reference frequency",
         [] { return std::make_unique<MessageF_FreqTransferResponse>(); },
         {0x00, 0x00, 0xA4, 0xFF, 0xFF, 0xFF, 0xFE, 0x08, 0x00, 0x01, 0x24, 0xF8, 0x00}},
        {"frequency transfer without it", [] { return std::make_unique<MessageF_FreqTransferResponse>(0); },
         {0x00, 0x00, 0xA4, 0xFF, 0xFF, 0xFF, 0xFE, 0x00}},
        {"time transfer", [] { return std::make_unique<MessageF_TimeTransferResponse>(1234, 4294967296.0 + 5); },
         {0x00, 0x04, 0xD2, 0x01, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x0D, 0xF5}},
        {"hardware configuration, aided session", [] { return std::make_unique<MessageF_HWConfigResponse>(3); },
         {0x70, 0, 0, 0, 0, 0}},
        {"hardware configuration, autonomous", [] { return std::make_unique<MessageF_HWConfigResponse>(1); },
         {0x30, 0, 0, 0, 0, 0}},
        {"reset kind 2", [] { return std::make_unique<MessageF_GPSReset>(2); }, {0x00}},
        {"any other reset kind", [] { return std::make_unique<MessageF_GPSReset>(1); }, {0x01}},
        {"XTN tunnel off", [] { return std::make_unique<MessageF_ChannelClose>(std::uint8_t{0xEE}); }, {0x00, 0xEE}},
        {"approximate position",
         [] { return std::make_unique<MessageF_ApproxPositionResponse>(approxProfile()); },
         {0x40, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x64, 0x34, 0x01, 0xF4}},
        {"server test start",
         [] { return std::make_unique<MessageMAS_StartTest>(approxProfile()); },
         {0x07, 0x00, 0x01, 0x40, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x17, 0x70, 0x01, 0xF4,
          0x12, 0x34, 0x00, 0x03, 0x00, 0x02, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x64, 0x00, 0x64, 0x00}},
        {"station info", [] { return std::make_unique<MessageMAS_MSInfo>("QTRAIL"); },
         {0x28, 0x00, 0x06, 'Q', 'T', 'R', 'A', 'I', 'L'}},
        {"tunnelled warm reset", [] { return std::make_unique<MessageXTN_WarmReset>(); },
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0x02}},
    };
    for (const auto& c : cases) {
        auto message = c.build();
        EXPECT_EQ(test::payloadOf(*message), c.payload) << c.legend;
    }
}

// A wide F message, as no real F message is long enough to meet the limit.
class WideF : public StoredPayload<MessageF> {
public:
    explicit WideF(std::size_t length) : StoredPayload(0x7F, Bytes(length, 0x55)) {}
};

TEST(MessageRendering, FramesBeyondTheChannelLimitRenderNothing) {
    struct LimitCase {
        const char* legend;
        std::function<std::unique_ptr<Message>(std::size_t)> build;
        std::size_t largestPayload;
    };
    const LimitCase cases[] = {
        {"F", [](std::size_t n) { return std::make_unique<WideF>(n); }, 1014},
        {"NMEA", [](std::size_t n) { return std::make_unique<MessageNMEA>(1, Bytes(n, 0x24)); }, 118},
        {"MAS", [](std::size_t n) { return std::make_unique<MessageMAS_Aiding>(Bytes(n, 0x01)); }, 4089},
    };
    for (const auto& c : cases) {
        auto fits = c.build(c.largestPayload);
        ASSERT_NE(fits->getBytes(), nullptr) << c.legend;
        EXPECT_EQ(test::frameOf(*fits).size(), fits->getLength()) << c.legend;
        EXPECT_EQ(c.build(c.largestPayload + 1)->getBytes(), nullptr) << c.legend;
    }
}

TEST(NumberEncoding, Uint40) {
    EXPECT_EQ(encodeUint40(0.0), (std::array<std::uint8_t, 5>{0, 0, 0, 0, 0}));
    EXPECT_EQ(encodeUint40(4294967296.0 + 5), (std::array<std::uint8_t, 5>{0x01, 0, 0, 0, 0x05}));
    EXPECT_EQ(encodeUint40(-1.0), (std::array<std::uint8_t, 5>{0, 0, 0, 0, 0}));
    EXPECT_EQ(encodeUint40(1e300), (std::array<std::uint8_t, 5>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(NumberEncoding, LatitudeAndLongitude) {
    EXPECT_EQ(static_cast<std::uint32_t>(encodeLatitude(45.0)), 0x40000000U);
    EXPECT_EQ(static_cast<std::uint32_t>(encodeLongitude(-90.0)), 0xC0000000U);
    EXPECT_DOUBLE_EQ(decodeLatitude(0x40000000), 45.0);
    EXPECT_DOUBLE_EQ(decodeLongitude(static_cast<std::int32_t>(0xC0000000U)), -90.0);
    // The poles and the date line do not wrap to the opposite sign.
    EXPECT_GT(encodeLatitude(90.0), 0);
    EXPECT_LT(encodeLatitude(-90.5), 0);
    EXPECT_GT(encodeLongitude(180.0), 0);
    EXPECT_EQ(encodeLatitude(std::nan("")), 0);
}

}  // namespace
}  // namespace vexa
