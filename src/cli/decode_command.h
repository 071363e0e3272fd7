#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vexa {

struct DecodeOptions {
    std::string path;  // "-" for standard input
    int product = 0;   // a ProductSelection value
    std::string logPath;  // the data log to write; empty for none
    bool json = false;    // gpsd's TPV and SKY reports instead of the message lines
};

// Parses "--decode FILE [--product kestrel|osprey|merlin] [--log FILE] [--json]"; on failure gives
// nothing and a message in `error`.
std::optional<DecodeOptions> ParseDecodeOptions(const std::vector<std::string>& arguments, std::string& error);

struct DecodeCounts {
    std::uint64_t bytes = 0;
    std::uint64_t frames = 0;
    std::uint64_t sentences = 0;
    std::uint64_t dropped = 0;  // refused for length, checksum, end sequence or decoding
};

// Feeds a raw capture through the link's receive path in chunks and writes the rendered line of
// every delivered message to `output` (with json, a TPV line per fix with a position and a SKY line
// per sky instead); with a log path, also writes the data log as the program
// does. Messages for the user (a log write error) go to `errors`. False when reading failed (what
// was read is still written), the log could not be created or the output could not be written
// (`error` then says which).
bool DecodeCapture(std::FILE* input, const DecodeOptions& options, std::FILE* output, std::FILE* errors,
                   DecodeCounts& counts, std::string& error);

// The counts line: "bytes B, frames F, sentences S, dropped D".
void WriteCounts(std::FILE* errors, const DecodeCounts& counts);

// The offline decoder: the counts line goes to `errors`. Gives the exit code.
int RunDecodeCommand(const std::vector<std::string>& arguments, std::FILE* input, std::FILE* output,
                     std::FILE* errors);

}  // namespace vexa
