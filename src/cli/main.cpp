#include <cstdio>
#include <string>
#include <vector>

#include "cli/decode_command.h"
#include "cli/session_command.h"

int main(int argc, char** argv) {
    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (vexa::AsksForSession(arguments)) return vexa::RunSessionCommand(arguments, stdout, stderr);
    return vexa::RunDecodeCommand(arguments, stdin, stdout, stderr);
}
