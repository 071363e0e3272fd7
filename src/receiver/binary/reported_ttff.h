#pragma once

#include "receiver/product/receiver_context.h"
#include "receiver/binary/records.h"

namespace vexa {

// The receiver reported its own time to first fix: the context's text becomes "123.4 sec" and the
// program's own count ends.
void NoteReportedTtff(const TtffReport& report, ReceiverContext& context);

}  // namespace vexa
