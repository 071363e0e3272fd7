#include "sim/sample_capture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "cli/decode_command.h"
#include "receiver/binary/coordinate_conversion.h"
#include "receiver/binary/frame_dispatch.h"
#include "receiver/frames/frame_receiver.h"

namespace vexa {
namespace {

const char* const kSamplePath = VEXA_SOURCE_DIR "/res/samples/demo.bin";

// The counts of an offline decode whose lines are thrown away.
DecodeCounts DecodeQuietly(const std::vector<std::uint8_t>& capture) {
    std::FILE* in = fmemopen(const_cast<std::uint8_t*>(capture.data()), capture.size(), "rb");
    std::FILE* out = std::fopen("/dev/null", "w");
    DecodeCounts counts;
    std::string error;
    EXPECT_TRUE(DecodeCapture(in, DecodeOptions{"-", kKestrel, ""}, out, stderr, counts, error)) << error;
    std::fclose(in);
    std::fclose(out);
    return counts;
}

TEST(SampleCapture, CommittedFileIsTheGeneratorsOutput) {
    std::ifstream in(kSamplePath, std::ios::binary);
    const std::vector<std::uint8_t> committed((std::istreambuf_iterator<char>(in)), {});
    EXPECT_TRUE(committed == MakeSampleCapture()) << "regenerate with vexa-make-sample res/samples/demo.bin";
}

TEST(SampleCapture, DecodesToItsContents) {
    SampleCaptureContents contents;
    const std::vector<std::uint8_t> capture = MakeSampleCapture(&contents);
    EXPECT_EQ(contents.seconds, 60);
    EXPECT_EQ(contents.frames, 319);
    EXPECT_EQ(contents.sentences, 120);
    EXPECT_EQ(contents.refusedFrames, 3);

    const DecodeCounts counts = DecodeQuietly(capture);
    EXPECT_EQ(counts.bytes, capture.size());
    EXPECT_EQ(counts.frames, static_cast<std::uint64_t>(contents.frames));
    EXPECT_EQ(counts.sentences, static_cast<std::uint64_t>(contents.sentences));
    EXPECT_EQ(counts.dropped, static_cast<std::uint64_t>(contents.refusedFrames));
}

// Benchmark captures are the sample made longer: the same first minute, three broken frames every
// minute, and sentence times that carry into the next hour.
TEST(SampleCapture, LongerCaptureContinuesTheSample) {
    SampleCaptureContents contents;
    const int seconds = 3700;
    const std::vector<std::uint8_t> capture = MakeSampleCapture(&contents, seconds);
    const std::vector<std::uint8_t> sample = MakeSampleCapture();
    ASSERT_GT(capture.size(), sample.size());
    EXPECT_TRUE(std::equal(sample.begin(), sample.end(), capture.begin()));
    EXPECT_EQ(contents.seconds, seconds);
    EXPECT_EQ(contents.sentences, 2 * seconds);
    EXPECT_EQ(contents.refusedFrames, 62 + 62 + 61);

    const std::string text(capture.begin(), capture.end());
    EXPECT_NE(text.find("$GPGGA,105959.000,"), std::string::npos);
    EXPECT_NE(text.find("$GPRMC,110139.000,"), std::string::npos);

    const DecodeCounts counts = DecodeQuietly(capture);
    EXPECT_EQ(counts.frames, static_cast<std::uint64_t>(contents.frames));
    EXPECT_EQ(counts.sentences, static_cast<std::uint64_t>(contents.sentences));
    EXPECT_EQ(counts.dropped, static_cast<std::uint64_t>(contents.refusedFrames));
}

// Keeps the first navigation record.
class FirstFix : public MessageSink {
public:
    void deliver(int id, const std::uint8_t* record, std::size_t length) override {
        if (id != 2 || found || length != sizeof nav) return;
        std::memcpy(&nav, record, sizeof nav);
        found = true;
    }
    NavData nav{};
    bool found = false;
};

TEST(SampleCapture, StartsAtTheSimulatorOrigin) {
    ReceiverContext context;
    FirstFix sink;
    LocationClientLink noLocationClient;
    FrameDispatch dispatch(context, sink, noLocationClient);
    FrameReceiver receiver(dispatch);
    receiver.feed(MakeSampleCapture());
    ASSERT_TRUE(sink.found);
    double latitude, longitude, altitude, speed, heading;
    NavToGeodetic(sink.nav, &latitude, &longitude, &altitude, &speed, &heading);
    EXPECT_NEAR(latitude, 37.3875, 1e-5);
    EXPECT_NEAR(longitude, -121.9720, 1e-5);
    EXPECT_NEAR(altitude, 25.0, 1.0);
    EXPECT_NEAR(speed, 5.0, 0.1);
    EXPECT_NEAR(heading, 53.13, 1.0);
}

}  // namespace
}  // namespace vexa
