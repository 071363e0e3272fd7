#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/epoch_queue.h"

namespace vexa {
namespace {

// What reached the writer, as "+hdop" for a new epoch and "=hdop" for a newer version of the last.
class Written : public EpochSink {
public:
    void Add(const HistoryEpoch& epoch) override { steps += "+" + std::to_string(static_cast<int>(*epoch.hdop)); }
    void ReplaceLatest(const HistoryEpoch& epoch) override { steps += "=" + std::to_string(static_cast<int>(*epoch.hdop)); }
    std::string steps;
};

HistoryEpoch WithHdop(int hdop) {
    HistoryEpoch epoch;
    epoch.hdop = hdop;
    return epoch;
}

// Epochs that wait keep their order, a newer version replaces the waiting one; beyond the room the
// epoch and its newer versions are dropped and counted, never laid over the epoch before.
TEST(EpochQueue, KeepsOrderAndDropsWhatHasNoRoomWhole) {
    EpochQueue queue(2);
    Written written;
    queue.Add(WithHdop(1));
    queue.ReplaceLatest(WithHdop(2));
    queue.Add(WithHdop(3));
    queue.Add(WithHdop(4));
    queue.ReplaceLatest(WithHdop(5));
    queue.MoveTo(written);
    EXPECT_EQ(written.steps, "+2+3");
    EXPECT_EQ(queue.Dropped(), 1U);

    queue.ReplaceLatest(WithHdop(6));  // still the dropped epoch
    queue.Add(WithHdop(7));
    queue.MoveTo(written);
    queue.ReplaceLatest(WithHdop(8));  // the epoch already written grew
    queue.MoveTo(written);
    EXPECT_EQ(written.steps, "+2+3+7=8");
    EXPECT_EQ(queue.Dropped(), 1U);
}

}  // namespace
}  // namespace vexa
