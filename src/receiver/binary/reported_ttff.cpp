#include "receiver/binary/reported_ttff.h"

#include <cstdio>
#include <string_view>

namespace vexa {

void NoteReportedTtff(const TtffReport& report, ReceiverContext& context) {
    char text[TtffText::kCapacity];
    const int length = std::snprintf(text, sizeof text, "%.1f sec", report.TimeToFirstFix * 0.1);
    context.Ttff.set(std::string_view(text, static_cast<std::size_t>(length)));
    context.TtffCounter.receiverReported();
}

}  // namespace vexa
