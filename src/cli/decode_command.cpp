#include "cli/decode_command.h"

#include <cerrno>
#include <cinttypes>
#include <cstring>

#include "platform/result_codes.h"
#include "receiver/frame_dispatch.h"
#include "receiver/frame_receiver.h"
#include "receiver/renderer.h"

namespace vexa {
namespace {

constexpr const char* kUsage = "usage: vexademo-cli --decode FILE [--product kestrel|osprey|merlin]";
constexpr std::size_t kChunkSize = 64 * 1024;

std::optional<int> ProductNamed(const std::string& name) {
    if (name == "kestrel") return kKestrel;
    if (name == "osprey") return kOsprey;
    if (name == "merlin") return kMerlin;
    return std::nullopt;
}

// Prints each delivered message as its rendered line; messages without a rendering print nothing.
class LinePrinter : public MessageSink {
public:
    explicit LinePrinter(std::FILE* output) : output_(output) {}

    void deliver(int id, const std::uint8_t* record, std::size_t length) override {
        if (RenderMessage(id, record, length, line_) != kResultOk) return;
        const std::size_t size = std::strlen(line_);
        line_[size] = '\n';
        std::fwrite(line_, 1, size + 1, output_);
    }

private:
    std::FILE* output_;
    char line_[kRenderBufferSize + 1];
};

}  // namespace

std::optional<DecodeOptions> ParseDecodeOptions(const std::vector<std::string>& arguments, std::string& error) {
    DecodeOptions options;
    bool havePath = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == "--decode" && hasValue && !havePath) {
            options.path = arguments[++i];
            havePath = true;
        } else if (argument == "--product" && hasValue) {
            const std::optional<int> product = ProductNamed(arguments[++i]);
            if (!product) {
                error = "unknown product '" + arguments[i] + "'\n" + kUsage;
                return std::nullopt;
            }
            options.product = *product;
        } else {
            error = "bad option '" + argument + "'\n" + kUsage;
            return std::nullopt;
        }
    }
    if (!havePath) {
        error = kUsage;
        return std::nullopt;
    }
    return options;
}

bool DecodeCapture(std::FILE* input, int product, std::FILE* output, DecodeCounts& counts) {
    ReceiverContext context;
    context.ProductSelection = product;
    LinePrinter printer(output);
    LocationClientLink noLocationClient;
    FrameDispatch dispatch(context, printer, noLocationClient);
    FrameReceiver receiver(dispatch);

    std::vector<std::uint8_t> chunk(kChunkSize);
    std::size_t read;
    while ((read = std::fread(chunk.data(), 1, chunk.size(), input)) > 0) receiver.feed(std::span(chunk.data(), read));

    const ReceiveStatistics& statistics = receiver.statistics();
    counts.bytes = statistics.bytes;
    counts.frames = statistics.frames;
    counts.sentences = statistics.sentences;
    counts.dropped = statistics.refusedFrames() + dispatch.droppedFrames();
    return std::ferror(input) == 0;
}

int RunDecodeCommand(const std::vector<std::string>& arguments, std::FILE* input, std::FILE* output,
                     std::FILE* errors) {
    std::string error;
    const std::optional<DecodeOptions> options = ParseDecodeOptions(arguments, error);
    if (!options) {
        std::fprintf(errors, "vexademo-cli: %s\n", error.c_str());
        return 1;
    }
    std::FILE* capture = input;
    if (options->path != "-") {
        capture = std::fopen(options->path.c_str(), "rb");
        if (capture == nullptr) {
            std::fprintf(errors, "vexademo-cli: cannot read %s: %s\n", options->path.c_str(), std::strerror(errno));
            return 1;
        }
    }
    DecodeCounts counts;
    const bool readAll = DecodeCapture(capture, options->product, output, counts);
    const int readError = errno;
    if (capture != input) std::fclose(capture);
    std::fflush(output);
    if (!readAll) {
        std::fprintf(errors, "vexademo-cli: cannot read %s: %s\n", options->path.c_str(), std::strerror(readError));
        return 1;
    }
    std::fprintf(errors, "bytes %" PRIu64 ", frames %" PRIu64 ", sentences %" PRIu64 ", dropped %" PRIu64 "\n",
                 counts.bytes, counts.frames, counts.sentences, counts.dropped);
    return 0;
}

}  // namespace vexa
