#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "evaluation/local_frame.h"
#include "platform/wake_event.h"
#include "receiver/frames/dropped_frames.h"

namespace vexa {

struct DecodeOptions {
    std::string path;  // "-" for standard input
    int product = 0;   // a ProductSelection value
    std::string logPath;  // the data log to write; empty for none
    bool json = false;    // gpsd's TPV and SKY reports instead of the message lines
    bool unknown = false;  // a line for every frame of an unknown id
    std::string gpxPath{};  // the track of the capture's fixes; none when empty
    // --accuracy: the accuracy line instead of the message lines, and the report in reportPath,
    // measured from the reference, from the fixes' mean (referenceMean) or about that mean only.
    bool accuracy = false;
    std::optional<GeodeticPoint> reference{};
    bool referenceMean = false;
    std::string reportPath{};
    std::string historyPrefix{};  // the history files PREFIX-satellites.csv, PREFIX-epochs.csv; none when empty
};

// Parses "--decode FILE [--product kestrel|osprey|merlin] [--log FILE] [--json] [--unknown]
// [--gpx FILE] [--history-csv PREFIX]" or "--decode FILE --accuracy [--product P]
// [--reference LAT,LON,H|mean] --report DIR"; on failure gives nothing and a message in `error`.
std::optional<DecodeOptions> ParseDecodeOptions(const std::vector<std::string>& arguments, std::string& error);

struct DecodeCounts {
    std::uint64_t bytes = 0;
    std::uint64_t frames = 0;
    std::uint64_t sentences = 0;
    std::uint64_t dropped = 0;  // frames refused for length, checksum, end sequence or decoding; bad sentences
    DropTally drops;            // the dropped frames by reason
};

// Feeds a raw capture through the link's receive path in chunks and writes the rendered line of
// every delivered message to `output` (with json, a TPV line per fix with a position and a SKY line
// per sky instead); with a log path, also writes the data log as the program
// does; with unknown, a line for each frame of an unknown id (to `errors` with json); with a GPX
// path, the track of the fixes; with a history prefix, the history files. Messages for the user (a log write error) go to `errors`. False when
// reading failed (what was read is still written), the log could not be created or met a write
// error, the output or the track could not be written
// (`error` then says which).
//
// Once `stop` (when given) is signalled, reading ends as at the end of the input and the rest is done
// as usual: the lines so far written out (the output is waited for briefly: OutputBuffer), the log
// closed with its closing line, the track and the history written.
bool DecodeCapture(std::FILE* input, const DecodeOptions& options, std::FILE* output, std::FILE* errors,
                   DecodeCounts& counts, std::string& error, const WakeEvent* stop = nullptr);

// The counts line: "bytes B, frames F, sentences S, dropped D", then, when frames were dropped,
// why: " (bad checksum C, bad length L, unknown MID 77: N)" (see DropBreakdown).
std::string CountsLine(const DecodeCounts& counts);

// The offline decoder: the counts line goes to `errors`. Gives the exit code. `stop` as for DecodeCapture.
int RunDecodeCommand(const std::vector<std::string>& arguments, std::FILE* input, std::FILE* output,
                     std::FILE* errors, const WakeEvent* stop = nullptr);

}  // namespace vexa
