#include <gtest/gtest.h>

#include "link/gps_comm.h"
#include "page_test_support.h"
#include "views/model_readers.h"

namespace vexa {
namespace {

TEST(ModelReaders, CopyTheRecordsOnlyWhileTheLinkIsBinary) {
    ReceiverContext context;
    std::unique_ptr<GpsComm> comm = GpsComm::Create(context);
    ASSERT_TRUE(comm);
    const NavData nav = testing_support::NavOnEquator(4);
    TrackData track{};
    track.Channels[3].Prn = 17;
    comm->DeliverMessage(2, reinterpret_cast<const std::uint8_t*>(&nav), sizeof nav);
    comm->DeliverMessage(4, reinterpret_cast<const std::uint8_t*>(&track), sizeof track);

    const ModelReader snapshot = SnapshotReader(*comm);
    context.LinkProtocol = kNmeaProtocol;
    EXPECT_FALSE(snapshot().nav || snapshot().track);

    context.LinkProtocol = kBinaryProtocol;
    ASSERT_TRUE(snapshot().track);
    EXPECT_EQ(snapshot().track->Channels[3].Prn, 17);
    EXPECT_EQ(snapshot().nav->Mode1, 4);
}

}  // namespace
}  // namespace vexa
