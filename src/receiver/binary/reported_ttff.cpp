#include "receiver/binary/reported_ttff.h"

namespace vexa {

void NoteReportedTtff(const TtffReport& report, ReceiverContext& context) {
    context.Ttff.set(report.TimeToFirstFix * 0.1, TtffSource::Receiver);
    context.TtffCounter.receiverReported();
}

}  // namespace vexa
