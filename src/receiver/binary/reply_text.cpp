#include <algorithm>
#include <cinttypes>
#include <cstring>
#include <iterator>

#include "platform/result_codes.h"
#include "receiver/binary/line_writer.h"
#include "receiver/binary/message_lines.h"

namespace vexa {
namespace {

struct ErrorText {
    std::uint16_t errorId;
    bool unsignedParams;  // the format prints its values with %lu or %lx
    const char* format;
};

constexpr ErrorText kErrorTexts[] = {
    {2, false, "Bad parity from SV %02ld, subframe %ld"},
    {8, false, "KFDBG @%ld: Bad altitude = %ld"},
    {9, false, "RxM error in getting SV %02ld's position"},
    {10, false, "RxM: Pseudo range in seconds exceeds limit: %ld"},
    {11, false, "RxM error: tdop=%ld overflow"},
    {12, false, "RxM: Ephemeris for SV %02ld exceeds valid time duration by %ld sec"},
    {13, false, "SRAM: Bad position during startup, x:%ld y:%ld z:%ld"},
    {4097, true, "VCO lock lost in %lu msec"},
    {4099, false, "Assuming false acquisition and reseting receiver at %ld"},
    {4100, false, "Kalman Filter @%ld: Kill chan %02ld, range res=%ld"},
    {4103, false,
     "Krause solution poor:\nPOS = %ld %ld %ld PR = %ld %ld %ld\nSAT1= %ld %ld %ld\nSAT2= %ld %ld %ld\n"
     "SAT3= %ld %ld %ld\nSAT4= %ld %ld %ld"},
    {4104, false, "SRAM control flags contain bad checksum"},
    {4105, false, "RTC time or SRAM backup invalid, TOW:%ld, WNUM:%ld"},
    {4106, false, "SRAM backup not done: Velocity sum exceeds maximum."},
    {4107, false, "SRAM backup not done: Too few SVs used in a solution."},
    {8193, true, "UART buffer allocation error: %lu"},
    {8194, false, "OSOR #%ld (%ld ms)"},
    {8195, true, "Memory test failed at 0x%lx"},
    {8961, false, "Error in serial communication with tracker"},
    {8962, false, "Error: tracker data not available"},
};

static_assert(kErrorReportParams == 18, "the longest format takes eighteen values");

void RenderCommandReply(const char* prefix, const CommandReply& reply, char* out) {
    LineWriter line(out);
    line.text(prefix);
    line.format("%02X", static_cast<unsigned>(reply.MessageId));
}

}  // namespace

LinkResult RenderSubframe(const SubframeData& subframe, char* out) {
    if (subframe.SvId == 0) return kResultBadLength;
    LineWriter line(out);
    line.text(": ");
    line.integer(subframe.Channel, 2);
    line.character(' ');
    line.integer(subframe.SvId, 2);
    line.character(' ');
    // Left-justified hex in eight columns; a zero flag would be ignored beside the minus.
    for (std::uint32_t word : subframe.Words) line.format("%-8" PRIx32 " ", word);
    return kResultOk;
}

LinkResult RenderErrorReport(const ErrorReport& report, char* out) {
    // The parameters the report carries, the rest as 0.
    std::uint32_t p[kErrorReportParams] = {};
    std::copy_n(report.Params, std::min<std::size_t>(report.ParamCount, kErrorReportParams), p);
    LineWriter line(out);
    const auto* text = std::find_if(std::begin(kErrorTexts), std::end(kErrorTexts),
                                    [&](const ErrorText& entry) { return entry.errorId == report.ErrorId; });
    if (text == std::end(kErrorTexts)) {
        line.format("Error in unknown format: err_id=%" PRIx32 " params: %" PRIx32 " %" PRIx32 " %" PRIx32
                    " %" PRIx32 " %" PRIx32,
                    std::uint32_t{report.ErrorId}, p[0], p[1], p[2], p[3], p[4]);
        return kResultOk;
    }
    // The texts keep their long formats; each value is the 32-bit parameter widened, so 32- and
    // 64-bit builds print the same.
    if (text->unsignedParams) {
        unsigned long v[kErrorReportParams];
        std::copy(std::begin(p), std::end(p), v);
        line.format(text->format, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12],
                    v[13], v[14], v[15], v[16], v[17]);
    } else {
        long v[kErrorReportParams];
        std::transform(std::begin(p), std::end(p), v,
                       [](std::uint32_t value) { return static_cast<std::int32_t>(value); });
        line.format(text->format, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11], v[12],
                    v[13], v[14], v[15], v[16], v[17]);
    }
    return kResultOk;
}

LinkResult RenderCommandAck(const CommandReply& reply, char* out) {
    RenderCommandReply("Ack: 0x", reply, out);
    return kResultOk;
}

LinkResult RenderCommandNak(const CommandReply& reply, char* out) {
    RenderCommandReply("Nak: 0x", reply, out);
    return kResultOk;
}

}  // namespace vexa
