// Writes a receiver capture to the file named on the command line: by default the sample capture
// (res/samples/demo.bin); with --seconds a longer one for benchmarks; with --nmea the NMEA output of
// the simulated receiver tracking four systems.
#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

#include "sim/sample_capture.h"

namespace {

constexpr const char* kUsage = "usage: vexa-make-sample FILE [--seconds N] [--nmea]";

}  // namespace

int main(int argc, char** argv) {
    const char* path = nullptr;
    int seconds = vexa::kSampleCaptureSeconds;
    bool nmea = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--seconds" && i + 1 < argc) {
            const std::string_view value = argv[++i];
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (error != std::errc() || end != value.data() + value.size() || seconds < 1) {
                std::fprintf(stderr, "vexa-make-sample: --seconds needs a positive whole number\n%s\n", kUsage);
                return 1;
            }
        } else if (argument == "--nmea") {
            nmea = true;
        } else if (path == nullptr && !argument.starts_with("-")) {
            path = argv[i];
        } else {
            std::fprintf(stderr, "%s\n", kUsage);
            return 1;
        }
    }
    if (path == nullptr) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 1;
    }
    const std::vector<std::uint8_t> capture = nmea ? vexa::MakeNmeaCapture(seconds) : vexa::MakeSampleCapture(nullptr, seconds);
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        std::perror(path);
        return 1;
    }
    const bool written = std::fwrite(capture.data(), 1, capture.size(), file) == capture.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(path);
        return 1;
    }
    return 0;
}
