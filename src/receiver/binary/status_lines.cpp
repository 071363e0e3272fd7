#include <algorithm>
#include <cstring>

#include "receiver/binary/line_writer.h"
#include "receiver/binary/message_lines.h"

namespace vexa {
namespace {

// Length of a text that may end early at a zero byte.
std::size_t TextLength(std::string_view text) {
    const std::size_t zero = text.find('\0');
    return zero == std::string_view::npos ? text.size() : zero;
}

}  // namespace

LinkResult RenderSwVersion(std::string_view text, char* out) {
    LineWriter line(out);
    line.text("SW Version: ");
    line.text(text.substr(0, TextLength(text)));
    return kResultOk;
}

LinkResult RenderClockStatus(const ClockStatus& clock, char* out) {
    LineWriter line(out);
    line.text("Week:");
    line.integer(clock.Week);
    line.text("  TOW:");
    line.integer(clock.TOW);
    line.text("  EstGPSTime:");
    line.integer(clock.EstGPSTime);
    line.text(" ms  SVCnt:");
    line.integer(clock.SVCnt);
    line.text("  Clock Drift:");
    line.integer(clock.ClockDrift);
    line.text(" Hz  Clock Bias:");
    line.integer(clock.ClockBias);
    line.text(" ns");
    return kResultOk;
}

LinkResult RenderThroughput(const Throughput& throughput, char* out) {
    LineWriter line(out);
    line.text("ThrPut(186=1ms): Latency:");
    line.integer(throughput.Latency, 3);
    line.text(" SegStatMax:");
    line.integer(throughput.SegStatMax, 3);
    line.text(" AveTrkTime:");
    line.integer(throughput.AveTrkTime, 3);
    line.text(" Nav Complete:");
    line.integer(throughput.NavComplete, 4);
    line.text(" ms");
    return kResultOk;
}

LinkResult RenderVisibleList(const VisibleList& list, char* out) {
    LineWriter line(out);
    line.text("Visible List\n");
    const std::size_t count = std::min<std::size_t>(list.Count, kMaxVisible);
    for (std::size_t i = 0; i < count; ++i) {
        const VisibleSatellite& satellite = list.Satellites[i];
        line.text("SVID:");
        line.integer(satellite.SvId, 2);
        line.text("  Az:");
        line.integer(satellite.Azimuth, 3);
        line.text("  El:");
        line.integer(satellite.Elevation, 3);
        line.character('\n');
    }
    return kResultOk;
}

LinkResult RenderOkToSend(const OkToSendRecord& permission, char* out) {
    LineWriter line(out);
    line.text(permission.OkToSend != 0 ? "OkToSend: 1" : "OkToSend: 0");
    return kResultOk;
}

// Right-aligned in a field as wide as the text length when the text ends early at a zero byte,
// line breaks shown as blanks.
LinkResult RenderReceiverText(std::string_view text, char* out) {
    const std::size_t width = std::min(text.size(), kRenderBufferSize - 1);
    const std::size_t used = TextLength(text.substr(0, width));
    const std::size_t padding = width - used;
    std::memset(out, ' ', padding);
    for (std::size_t i = 0; i < used; ++i) {
        const char c = text[i];
        out[padding + i] = c == '\r' || c == '\n' ? ' ' : c;
    }
    out[width] = '\0';
    return kResultOk;
}

}  // namespace vexa
