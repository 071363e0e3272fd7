#include <gtest/gtest.h>

#include "link/gps_comm.h"
#include "receiver/binary/records.h"
#include "views/graphic/geodetic_fix.h"

namespace vexa {
namespace {

TEST(GeodeticFix, ReadsTheNavigationRecordOnlyWithAFix) {
    ReceiverContext context;
    const auto comm = GpsComm::Create(context);
    ASSERT_TRUE(comm);
    const GeodeticFixReader read = ReadFixFrom(*comm);
    EXPECT_FALSE(read());

    context.LinkProtocol = kBinaryProtocol;
    // Still searching: the receiver reports the earth's centre, which would read as the pole.
    NavData nav{};
    comm->DeliverMessage(2, reinterpret_cast<const std::uint8_t*>(&nav), sizeof(nav));
    EXPECT_FALSE(read());
    nav.Y = 6378137;
    nav.Mode1 = 0x80;  // DGPS flag alone is no fix
    comm->DeliverMessage(2, reinterpret_cast<const std::uint8_t*>(&nav), sizeof(nav));
    EXPECT_FALSE(read());

    nav.Mode1 = 0x03;  // on the equator at 90° east, a 2D fix
    comm->DeliverMessage(2, reinterpret_cast<const std::uint8_t*>(&nav), sizeof(nav));
    const auto fix = read();
    ASSERT_TRUE(fix);
    EXPECT_NEAR(fix->latitude, 0.0, 1e-9);
    EXPECT_NEAR(fix->longitude, 90.0, 1e-9);
    EXPECT_NEAR(fix->altitude, 0.0, 1e-3);
}

}  // namespace
}  // namespace vexa
