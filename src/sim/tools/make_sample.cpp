// Writes the sample receiver capture (res/samples/demo.bin) to the file named on the command line.
#include <cstdio>

#include "sim/sample_capture.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: vexa-make-sample FILE\n");
        return 1;
    }
    const std::vector<std::uint8_t> capture = vexa::MakeSampleCapture();
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(capture.data(), 1, capture.size(), file) == capture.size();
    if (std::fclose(file) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
