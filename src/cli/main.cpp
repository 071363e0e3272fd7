#include <cstdio>
#include <string>
#include <vector>

#include "cli/decode_command.h"

int main(int argc, char** argv) {
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    return vexa::RunDecodeCommand(std::vector<std::string>(argv + 1, argv + argc), stdin, stdout, stderr);
}
