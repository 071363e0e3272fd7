#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sim/fix_acquisition.h"
#include "sim/world_model.h"

namespace vexa::sim {
namespace {

const Geodetic kOrigin{37.3875, -121.9720, 25.0};
constexpr double kStartUnix = 1.7e9;

double Distance(const Vector3& a, const Vector3& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

FixAcquisition FixedAcquisition() {
    FixAcquisition acquisition({0, 0, 0, 0});
    acquisition.reset(ResetKind::Hot, 0);
    return acquisition;
}

// The ECEF position and velocity of the messages must tell the same story as the geodetic position:
// consecutive positions lie a walking pace apart, along the reported velocity.
TEST(WorldModel, WalksAroundTheOriginAtWalkingPaceWithConsistentVelocity) {
    WorldModel world(kOrigin, 7);
    const FixAcquisition acquisition = FixedAcquisition();
    for (int second = 1; second <= 600; second += 37) {
        const ReceiverSnapshot before = world.snapshot(second - 1, kStartUnix + second - 1, acquisition, {});
        const ReceiverSnapshot now = world.snapshot(second, kStartUnix + second, acquisition, {});
        ASSERT_TRUE(now.hasFix());
        const double travelled = Distance(before.ecef, now.ecef);
        EXPECT_NEAR(travelled, 1.5, 0.3) << "at second " << second;
        const Vector3 stepByVelocity{before.ecef.x + (before.velocityEcef.x + now.velocityEcef.x) / 2,
                                     before.ecef.y + (before.velocityEcef.y + now.velocityEcef.y) / 2,
                                     before.ecef.z + (before.velocityEcef.z + now.velocityEcef.z) / 2};
        EXPECT_LT(Distance(stepByVelocity, now.ecef), 0.05);
        EXPECT_NEAR(now.speed(), std::hypot(now.velocity.east, now.velocity.north), 1e-9);
        EXPECT_LT(Distance(GeodeticToEcef(kOrigin), now.ecef), 200.0);
        EXPECT_NEAR(Distance(GeodeticToEcef(now.position), now.ecef), 0.0, 1e-6);
    }
}

TEST(WorldModel, SkyDriftsSlowlyWithSignalByElevation) {
    WorldModel world(kOrigin, 3);
    const FixAcquisition acquisition = FixedAcquisition();
    const ReceiverSnapshot start = world.snapshot(0, kStartUnix, acquisition, {});
    const ReceiverSnapshot later = world.snapshot(1200, kStartUnix + 1200, acquisition, {});
    double moved = 0;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelReport& a = start.channels[channel];
        const ChannelReport& b = later.channels[channel];
        EXPECT_EQ(a.prn, b.prn);
        EXPECT_GE(a.elevationDeg, 0.0);
        EXPECT_LE(a.elevationDeg, 90.0);
        EXPECT_EQ(a.state, kStateTracking);
        for (int sample : a.cn0) {
            EXPECT_GE(sample, 30);
            EXPECT_LE(sample, 50);
            EXPECT_NEAR(sample, CarrierToNoiseAt(a.elevationDeg), 1.6);
        }
        moved += std::fabs(a.azimuthDeg - b.azimuthDeg) + std::fabs(a.elevationDeg - b.elevationDeg);
        EXPECT_LT(std::fabs(a.elevationDeg - b.elevationDeg), 20.0);
        for (int other = 0; other < channel; ++other) EXPECT_NE(a.prn, start.channels[other].prn);
    }
    EXPECT_GT(moved, 1.0);
}

TEST(WorldModel, NavigationMaskLeavesLowSatellitesOutOfTheFix) {
    WorldModel world(kOrigin, 11);
    const FixAcquisition acquisition = FixedAcquisition();
    const ReceiverSnapshot masked = world.snapshot(5, kStartUnix, acquisition, {0, 300});
    int used = 0;
    for (const ChannelReport& channel : masked.channels) {
        EXPECT_EQ(channel.usedInFix, channel.elevationDeg >= 30.0) << "PRN " << channel.prn;
        EXPECT_EQ(channel.state, kStateTracking);
        used += channel.usedInFix;
    }
    EXPECT_EQ(masked.satellitesUsed, used);
    EXPECT_LT(used, kChannelCount);

    const ReceiverSnapshot blind = world.snapshot(5, kStartUnix, acquisition, {0, 900});
    EXPECT_FALSE(blind.hasFix());
    EXPECT_EQ(blind.satellitesUsed, 0);
    EXPECT_EQ(blind.ecef.x, 0.0);
}

struct ResetCase {
    ResetKind kind;
    double timeToFirstFix;
};

TEST(FixAcquisition, EachResetLosesTheFixUntilItsTimeToFirstFix) {
    const TimesToFirstFix defaults;
    EXPECT_LT(defaults.hot, defaults.warm);
    EXPECT_LT(defaults.warm, defaults.cold);
    EXPECT_LT(defaults.cold, defaults.factory);
    for (const ResetCase& test : {ResetCase{ResetKind::Hot, defaults.hot}, ResetCase{ResetKind::Warm, defaults.warm},
                                  ResetCase{ResetKind::Cold, defaults.cold},
                                  ResetCase{ResetKind::Factory, defaults.factory}}) {
        FixAcquisition acquisition(defaults);
        acquisition.reset(test.kind, 100.0);
        EXPECT_FALSE(acquisition.fixAllowed(100.0 + test.timeToFirstFix - 0.5));
        EXPECT_FALSE(acquisition.takeFirstFix(100.0 + test.timeToFirstFix - 0.5));
        EXPECT_TRUE(acquisition.fixAllowed(100.0 + test.timeToFirstFix));
        const auto first = acquisition.takeFirstFix(100.0 + test.timeToFirstFix + 0.25);
        ASSERT_TRUE(first);
        EXPECT_DOUBLE_EQ(*first, test.timeToFirstFix + 0.25);
        EXPECT_FALSE(acquisition.takeFirstFix(100.0 + test.timeToFirstFix + 1));
        // Every channel tracks by the time of the fix.
        for (int channel = 0; channel < kChannelCount; ++channel) {
            EXPECT_EQ(acquisition.channel(channel, 100.0 + test.timeToFirstFix),
                      FixAcquisition::ChannelProgress::Tracking);
        }
    }
}

TEST(FixAcquisition, ColdStartLocksChannelsOneByOneAndFactoryResetStartsIdle) {
    FixAcquisition acquisition({1, 10, 20, 40});
    acquisition.reset(ResetKind::Cold, 0);
    EXPECT_EQ(acquisition.channel(0, 0.5), FixAcquisition::ChannelProgress::Searching);
    EXPECT_EQ(acquisition.channel(0, 10.0), FixAcquisition::ChannelProgress::Tracking);
    EXPECT_EQ(acquisition.channel(11, 10.0), FixAcquisition::ChannelProgress::Searching);
    acquisition.reset(ResetKind::Factory, 0);
    EXPECT_EQ(acquisition.channel(0, 1.0), FixAcquisition::ChannelProgress::Idle);
}

// The spread's draws lie in their range, follow from the seed, and a kind without one keeps its time.
TEST(FixAcquisition, SpreadTimesAreDrawnPerResetFromTheSeed) {
    TtffSpreads spreads;
    spreads[static_cast<std::size_t>(ResetKind::Cold)] = TtffSpread{20.0, 40.0};
    const auto draws = [&](std::uint32_t seed) {
        FixAcquisition acquisition({2, 30, 45, 60}, spreads, seed);
        std::vector<double> times;
        for (int reset = 0; reset < 50; ++reset) {
            const double at = reset * 100.0;
            acquisition.reset(ResetKind::Cold, at);
            double second = at;
            while (!acquisition.fixAllowed(second)) second += 0.25;
            times.push_back(second - at);
        }
        return times;
    };
    const std::vector<double> first = draws(7);
    EXPECT_EQ(draws(7), first);
    EXPECT_NE(draws(8), first);
    EXPECT_GE(*std::min_element(first.begin(), first.end()), 20.0);
    EXPECT_LE(*std::max_element(first.begin(), first.end()), 40.25);
    EXPECT_GT(*std::max_element(first.begin(), first.end()) - *std::min_element(first.begin(), first.end()), 10.0);
    FixAcquisition fixed({2, 30, 45, 60}, spreads, 7);
    fixed.reset(ResetKind::Warm, 0);
    EXPECT_FALSE(fixed.fixAllowed(29.9));
    EXPECT_TRUE(fixed.fixAllowed(30.0));
}

// With noise the receiver stands at the origin and its fixes scatter by the Gaussian's closed forms:
// sd per axis the sigma, CEP50 = sigma sqrt(2 ln 2) = 1.1774 sigma.
TEST(WorldModel, NoiseScattersFixesAboutTheOriginByItsSigmas) {
    constexpr double kHorizontal = 2.0;
    constexpr double kVertical = 5.0;
    WorldModel world(kOrigin, 11, {Constellation::Gps}, PositionNoise{kHorizontal, kVertical});
    const FixAcquisition acquisition = FixedAcquisition();
    const Vector3 origin = GeodeticToEcef(kOrigin);
    std::vector<double> horizontal;
    double sumUpSquares = 0;
    constexpr int kFixes = 20000;
    for (int second = 0; second < kFixes; ++second) {
        const ReceiverSnapshot snapshot = world.snapshot(second, kStartUnix + second, acquisition, {});
        ASSERT_TRUE(snapshot.errorSigma);
        const double up = snapshot.position.altitudeM - kOrigin.altitudeM;
        sumUpSquares += up * up;
        const double threeD = Distance(snapshot.ecef, origin);
        horizontal.push_back(std::sqrt(std::max(threeD * threeD - up * up, 0.0)));
    }
    std::nth_element(horizontal.begin(), horizontal.begin() + kFixes / 2 - 1, horizontal.end());
    EXPECT_NEAR(horizontal[kFixes / 2 - 1], 1.1774 * kHorizontal, 0.03 * kHorizontal);
    EXPECT_NEAR(std::sqrt(sumUpSquares / kFixes), kVertical, 0.02 * kVertical);
}

}  // namespace
}  // namespace vexa::sim
