#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "cli/line_output.h"
#include "platform/clock.h"

namespace vexa {

// One source's lines on a stream that the sources of a run share: each line starts with the source's
// name ("gps-a: ..."; nothing when the name is empty, as in a run of one source) and counts against
// the source's own share of the stream's buffer.
class SourceLines {
public:
    SourceLines(LineOutput& lines, const std::string& name)
        : lines_(lines), writer_(lines.AddWriter()), prefix_(name.empty() ? std::string() : name + ": ") {}

    void Write(std::string_view line);
    void Pump() { lines_.Pump(); }
    bool Pending() const { return lines_.Pending(); }
    bool Drain(SteadyTime deadline) { return lines_.Drain(deadline); }
    std::uint64_t DroppedLines() const { return lines_.DroppedLines(writer_); }
    int WriteError() const { return lines_.WriteError(); }

private:
    LineOutput& lines_;
    const std::size_t writer_;
    const std::string prefix_;
};

}  // namespace vexa
