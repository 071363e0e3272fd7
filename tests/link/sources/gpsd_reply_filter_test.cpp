#include "link/sources/gpsd_reply_filter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/sources/gpsd_watch.h"

namespace vexa {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::string_view text) { return Bytes(text.begin(), text.end()); }

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Bytes kVersion = Of(R"({"class":"VERSION","release":"9.1","proto_major":3,"proto_minor":14})" "\r\n");
const Bytes kDevices =
    Of(R"({"class":"DEVICES","devices":[{"class":"DEVICE","path":"/dev/ttyUSB0","activated":"2030-01-01T00:00:00.000Z","native":0,"bps":4800}]})"
       "\r\n");
const Bytes kWatch = Of(R"({"class":"WATCH","enable":true,"json":false,"raw":2})" "\r\n");
const Bytes kSentence = Of("$GPGGA,120000,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*49\r\n");
// A binary frame whose payload holds a brace and then most of a reply's opening.
const Bytes kFrame = {0xA0, 0xA2, 0x00, 0x09, 0x7B, 0x7B, '"', 'c', 'l', 'a', 's', 's', '"', 0x00, 0x00, 0xB0, 0xB3};

struct Filtered {
    Bytes receiver;
    std::vector<std::string> replies;
};

Filtered FeedInChunks(const Bytes& stream, std::size_t chunk) {
    GpsdReplyFilter filter;
    Filtered out;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        const std::size_t count = std::min(chunk, stream.size() - at);
        filter.Feed(std::span(stream.data() + at, count), out.receiver);
        for (std::string& reply : filter.TakeReplies()) out.replies.push_back(std::move(reply));
    }
    return out;
}

TEST(GpsdReplyFilter, TakesOutEveryReplyLineAndPassesTheReceiverBytesUnchangedInAnyChunking) {
    const Bytes deviceLine = Of(R"({"class":"DEVICE","path":"/dev/ttyUSB0","driver":"NMEA0183"})" "\n");
    const Bytes stream = Joined({kVersion, kDevices, kWatch, kSentence, kFrame, deviceLine, kFrame, kSentence});
    const Bytes expected = Joined({kSentence, kFrame, kFrame, kSentence});
    for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{10}, stream.size()}) {
        const Filtered out = FeedInChunks(stream, chunk);
        EXPECT_EQ(out.receiver, expected) << "chunk " << chunk;
        ASSERT_EQ(out.replies.size(), 4u) << "chunk " << chunk;
        EXPECT_EQ(out.replies[0], R"({"class":"VERSION","release":"9.1","proto_major":3,"proto_minor":14})");
        EXPECT_EQ(out.replies[3], R"({"class":"DEVICE","path":"/dev/ttyUSB0","driver":"NMEA0183"})");
    }
}

TEST(GpsdReplyFilter, HoldsAPossibleOpeningOnlyUntilTheNextChunkTells) {
    GpsdReplyFilter filter;
    Bytes receiver;
    filter.Feed(Of("$GP{\"cla"), receiver);
    EXPECT_EQ(receiver, Of("$GP"));
    filter.Feed(Of("ws"), receiver);
    EXPECT_EQ(receiver, Of("$GP{\"claws"));
    EXPECT_TRUE(filter.TakeReplies().empty());
}

TEST(GpsdReplyFilter, ALineLongerThanAnyReplyIsPassedOnAsReceiverBytes) {
    Bytes stream = Of(R"({"class":")");
    stream.resize(GpsdReplyFilter::kMaxReplyBytes + 100, 'x');
    const Bytes tail = Joined({Of("\n"), kSentence});
    const Filtered out = FeedInChunks(Joined({stream, tail}), 4096);
    EXPECT_TRUE(out.replies.empty());
    EXPECT_EQ(out.receiver, Joined({stream, tail}));
}

TEST(GpsdWatch, AsksForRawBytesOfTheNamedDeviceWithItsPathQuoted) {
    EXPECT_EQ(GpsdWatch("gpsd at h:1", "").Request(), "?WATCH={\"enable\":true,\"raw\":2}\n");
    EXPECT_EQ(GpsdWatch("gpsd at h:1", "/dev/ttyUSB0").Request(),
              "?WATCH={\"enable\":true,\"raw\":2,\"device\":\"/dev/ttyUSB0\"}\n");
    EXPECT_EQ(GpsdWatch("gpsd at h:1", "/dev/a\"b\\c\n").Request(),
              "?WATCH={\"enable\":true,\"raw\":2,\"device\":\"/dev/a\\\"b\\\\c\\u000a\"}\n");
}

TEST(GpsdWatch, SaysWhenGpsdRefusesOrHasNoReceiver) {
    GpsdWatch refused("gpsd at box:2947", "/dev/ttyUSB3");
    refused.Take(R"({"class":"VERSION","release":"9.1"})");
    EXPECT_EQ(refused.Problem(), "");
    refused.Take(R"({"class":"ERROR","message":"No such device as /dev/ttyUSB3"})");
    EXPECT_EQ(refused.Problem(), "gpsd at box:2947: No such device as /dev/ttyUSB3");
    refused.Take(std::string(reinterpret_cast<const char*>(kDevices.data()), kDevices.size() - 2));
    EXPECT_EQ(refused.Problem(), "gpsd at box:2947: No such device as /dev/ttyUSB3") << "a refusal stays";

    GpsdWatch empty("gpsd at box:2947", "");
    empty.Take(R"({"class":"DEVICES","devices":[]})");
    EXPECT_EQ(empty.Problem(), "gpsd at box:2947 has no receiver");
    empty.Take(R"({"class":"DEVICE","path":"/dev/ttyACM0","activated":"2030-01-01T00:00:00.000Z"})");
    EXPECT_EQ(empty.Problem(), "");
}

TEST(GpsdWatch, FollowsTheWatchedDeviceComingAndGoing) {
    GpsdWatch named("gpsd at box:2947", "/dev/ttyUSB0");
    named.Take(R"({"class":"DEVICE","path":"/dev/ttyUSB0","activated":0})");
    EXPECT_EQ(named.Problem(), "") << "no verdict before gpsd listed its devices";
    named.Take(R"({"class":"DEVICES","devices":[{"class":"DEVICE","path":"/dev/ttyUSB0","activated":"x"},)"
               R"({"class":"DEVICE","path":"/dev/ttyUSB1","activated":"x"}]})");
    EXPECT_EQ(named.Problem(), "");
    named.Take(R"({"class":"DEVICE","path":"/dev/ttyUSB1","activated":0})");
    EXPECT_EQ(named.Problem(), "") << "another device went";
    named.Take(R"({"class":"DEVICE","path":"/dev/ttyUSB0","activated":0})");
    EXPECT_EQ(named.Problem(), "gpsd at box:2947 has no device /dev/ttyUSB0");
    named.Take(R"({"class":"DEVICE","path":"/dev/ttyUSB0","activated":"2030-01-01T00:00:01.000Z"})");
    EXPECT_EQ(named.Problem(), "");

    GpsdWatch other("gpsd at box:2947", "/dev/ttyUSB5");
    other.Take(std::string(reinterpret_cast<const char*>(kDevices.data()), kDevices.size() - 2));
    EXPECT_EQ(other.Problem(), "gpsd at box:2947 has no device /dev/ttyUSB5");
}

}  // namespace
}  // namespace vexa
