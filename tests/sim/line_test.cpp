#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "sim/command_sentence.h"
#include "sim/line_noise.h"

namespace vexa::sim {
namespace {

TEST(MismatchedBaudNoise, NeverFormsAFrameStartOrASentence) {
    MismatchedBaudNoise noise(9);
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 20000; ++i) bytes.push_back(static_cast<std::uint8_t>(i % 2 ? 0xA0 : '$'));
    noise.garble(bytes);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0xA0), 0);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '$'), 0);
    EXPECT_GT(std::count(bytes.begin(), bytes.end(), 0xA2), 0);
}

TEST(MessageCorruptor, SentenceDamageStaysPrintableAndBreaksTheChecksum) {
    MessageCorruptor corruptor(1.0, 4);
    const std::string good = "$GPGGA,123519.000,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,0.0,M,,*47\r\n";
    for (int i = 0; i < 200; ++i) {
        std::vector<std::uint8_t> message(good.begin(), good.end());
        ASSERT_TRUE(corruptor.maybeDamage(message));
        const std::string damaged(message.begin(), message.end());
        EXPECT_EQ(damaged.substr(damaged.find('*')), good.substr(good.find('*')));
        EXPECT_EQ(std::count(damaged.begin(), damaged.end(), '$'), 1);
        EXPECT_TRUE(std::all_of(damaged.begin(), damaged.end() - 2, [](char c) { return c >= ' ' && c <= '~'; }));
        EXPECT_NE(damaged, good);
    }
}

struct SentenceCase {
    const char* legend;
    std::string sentence;
    bool accepted;
    int baud;
};

TEST(ProtocolSwitchSentence, ParsesOnlyWellFormedSentencesWithTheirChecksum) {
    const SentenceCase cases[] = {
        {"program's own switch", "$PVXA100,0,57600,8,1,0*3F\r\n", true, 57600},
        {"without CR LF", "$PVXA100,0,57600,8,1,0*3F", true, 57600},
        {"lower-case checksum digits", "$PVXA100,0,57600,8,1,0*3f", true, 57600},
        {"wrong checksum", "$PVXA100,0,57600,8,1,0*3E\r\n", false, 0},
        {"no checksum", "$PVXA100,0,57600,8,1,0\r\n", false, 0},
        {"one checksum digit", "$PVXA100,0,57600,8,1,0*3\r\n", false, 0},
        {"checksum not hex", "$PVXA100,0,57600,8,1,0*G3\r\n", false, 0},
        {"field missing", "$PVXA100,0,57600,8,1*23\r\n", false, 0},
        {"field too many", "$PVXA100,0,57600,8,1,0,0*23\r\n", false, 0},
        {"empty field", "$PVXA100,0,,8,1,0*0B\r\n", false, 0},
        {"signed field", "$PVXA100,0,-4800,8,1,0*2A\r\n", false, 0},
        {"another sentence", "$GPGGA,0,57600,8,1,0*47\r\n", false, 0},
        {"nothing", "", false, 0},
    };
    for (const SentenceCase& test : cases) {
        const auto request = ParseProtocolSwitchSentence(test.sentence);
        EXPECT_EQ(request.has_value(), test.accepted) << test.legend;
        if (request && test.accepted) {
            EXPECT_EQ(request->baud, test.baud) << test.legend;
        }
    }
}

}  // namespace
}  // namespace vexa::sim
