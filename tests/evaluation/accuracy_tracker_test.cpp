#include "evaluation/accuracy_tracker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "evaluation/nearest_rank.h"
#include "evaluation/survey_in.h"

namespace vexa {
namespace {

const GeodeticPoint kMark{47.3769, 8.5417, 408.2};

FixSample SampleAt(const LocalFrame& frame, EnuOffset offset, FixKind kind = FixKind::ThreeD) {
    const GeodeticPoint point = frame.PointAt(offset);
    FixSample sample;
    sample.latitude = point.latitude;
    sample.longitude = point.longitude;
    if (offset.up) sample.height = point.height;
    sample.kind = kind;
    return sample;
}

TEST(NearestRank, RanksAreCountedInWholeNumbers) {
    struct Case {
        int percent;
        std::size_t count;
        std::size_t rank;
    };
    const Case cases[] = {{50, 4, 2}, {50, 5, 3}, {95, 20, 19}, {95, 21, 20}, {99, 100, 99}, {99, 101, 100},
                          {90, 10, 9}, {0, 5, 1}, {100, 5, 5}, {50, 1, 1}};
    for (const Case& c : cases) EXPECT_EQ(NearestRank(c.percent, c.count), c.rank) << c.percent << " % of " << c.count;
}

// Ten fixes at offsets from the mark chosen so that the horizontal errors are 1 to 10 m:
//   east  3  0 -2  0  4  6  0 -7  0  9   (sum 13, squares 195)
//   north 4  1  0 -3  0  8  6  0 -8  0   (sum  8, squares 190)
//   up    1 -2  3 -1  2 .5 -4  -  -  5   (two 2D fixes; sum 4.5, squares 60.25 over 8)
// About the mark: CEP50 = 5th of 10 = 5, CEP95 = CEP99 = 10th = 10, DRMS = sqrt(385 / 10),
// mean east 1.3, north 0.8, sd east sqrt(19.5 - 1.69), north sqrt(19 - 0.64); |up| 95th of 8 = 5,
// mean up 0.5625, sd up sqrt(60.25 / 8 - 0.5625^2).
// About the mean (1.3, 0.8): the fifth smallest deviation is the fix at (0, -3): sqrt(1.3^2 + 3.8^2);
// the largest the one at (0, -8): sqrt(1.3^2 + 8.8^2); DRMS = sqrt(sd east^2 + sd north^2);
// |up - 0.5625| 95th of 8 = |-4 - 0.5625|.
class HandSet : public ::testing::Test {
protected:
    void SetUp() override {
        const LocalFrame frame(kMark);
        const double east[] = {3, 0, -2, 0, 4, 6, 0, -7, 0, 9};
        const double north[] = {4, 1, 0, -3, 0, 8, 6, 0, -8, 0};
        const std::optional<double> up[] = {1, -2, 3, -1, 2, 0.5, -4, std::nullopt, std::nullopt, 5};
        const FixKind kinds[] = {FixKind::ThreeD, FixKind::ThreeD, FixKind::Dgps, FixKind::Dgps, FixKind::RtkFloat,
                                 FixKind::RtkFixed, FixKind::ThreeD, FixKind::TwoD, FixKind::TwoD, FixKind::ThreeD};
        for (int i = 0; i < 10; ++i) ASSERT_TRUE(tracker.Add(SampleAt(frame, {east[i], north[i], up[i]}, kinds[i])));
        tracker.SetReference(ReferencePoint{kMark, ReferenceSource::Entered, std::nullopt});
    }

    AccuracyTracker tracker;
};

void ExpectFigures(const ErrorFigures& got, const ErrorFigures& want, const char* legend) {
    constexpr double kTolerance = 1e-6;
    const std::pair<double, double> pairs[] = {{got.cep50, want.cep50},         {got.cep95, want.cep95},
                                               {got.cep99, want.cep99},         {got.drms, want.drms},
                                               {got.twoDrms, want.twoDrms},     {got.meanEast, want.meanEast},
                                               {got.meanNorth, want.meanNorth}, {got.sdEast, want.sdEast},
                                               {got.sdNorth, want.sdNorth},     {*got.vertical95, *want.vertical95},
                                               {*got.meanUp, *want.meanUp},     {*got.sdUp, *want.sdUp}};
    for (std::size_t i = 0; i < std::size(pairs); ++i) EXPECT_NEAR(pairs[i].first, pairs[i].second, kTolerance) << legend << " figure " << i;
    EXPECT_EQ(got.fixes, want.fixes) << legend;
    EXPECT_EQ(got.verticalFixes, want.verticalFixes) << legend;
}

TEST_F(HandSet, AccuracyAndPrecisionFiguresAreTheHandWorkedOnes) {
    const AccuracyFigures& figures = tracker.Figures();
    ASSERT_TRUE(figures.accuracy && figures.precision);
    const double sdEast = std::sqrt(19.5 - 1.69);
    const double sdNorth = std::sqrt(19.0 - 0.64);
    const double sdUp = std::sqrt(60.25 / 8 - 0.5625 * 0.5625);
    ExpectFigures(*figures.accuracy,
                  {10, 8, 5.0, 10.0, 10.0, std::sqrt(38.5), 2 * std::sqrt(38.5), 1.3, 0.8, sdEast, sdNorth, 5.0, 0.5625, sdUp},
                  "about the mark");
    const double drms = std::hypot(sdEast, sdNorth);
    ExpectFigures(*figures.precision,
                  {10, 8, std::hypot(1.3, 3.8), std::hypot(1.3, 8.8), std::hypot(1.3, 8.8), drms, 2 * drms, 0.0, 0.0, sdEast,
                   sdNorth, 4.5625, 0.0, sdUp},
                  "about the mean");
    EXPECT_EQ(figures.counts.Total(), 10u);
    const std::pair<FixKind, std::size_t> counts[] = {
        {FixKind::TwoD, 2}, {FixKind::ThreeD, 4}, {FixKind::Dgps, 2}, {FixKind::RtkFloat, 1}, {FixKind::RtkFixed, 1}};
    for (const auto& [kind, count] : counts) EXPECT_EQ(figures.counts.Of(kind), count) << FixKindName(kind);
    EXPECT_FALSE(figures.receiverEstimate);
}

TEST_F(HandSet, ErrorsAndDeviationsPerFix) {
    const std::optional<EnuOffset> error = tracker.ErrorAt(5);
    ASSERT_TRUE(error);
    EXPECT_NEAR(error->east, 6.0, 1e-6);
    EXPECT_NEAR(error->north, 8.0, 1e-6);
    EXPECT_NEAR(*error->up, 0.5, 1e-6);
    EXPECT_NEAR(error->Horizontal(), 10.0, 1e-6);
    EXPECT_FALSE(tracker.ErrorAt(7)->up) << "a 2D fix has no vertical error";
    const EnuOffset deviation = tracker.DeviationAt(5);
    EXPECT_NEAR(deviation.east, 6.0 - 1.3, 1e-6);
    EXPECT_NEAR(deviation.north, 8.0 - 0.8, 1e-6);
    EXPECT_NEAR(*deviation.up, 0.5 - 0.5625, 1e-6);
}

TEST_F(HandSet, TheMeanAsReferenceGivesAccuracyEqualToPrecision) {
    const std::optional<ReferencePoint> mean = tracker.MeanReference();
    ASSERT_TRUE(mean);
    EXPECT_EQ(mean->source, ReferenceSource::Mean);
    const EnuOffset offset = LocalFrame(kMark).OffsetOf(mean->position);
    EXPECT_NEAR(offset.east, 1.3, 1e-6);
    EXPECT_NEAR(offset.north, 0.8, 1e-6);
    EXPECT_NEAR(*offset.up, 0.5625, 1e-6);
    tracker.SetReference(mean);
    const AccuracyFigures& figures = tracker.Figures();
    EXPECT_NEAR(figures.accuracy->cep50, figures.precision->cep50, 1e-6);
    EXPECT_NEAR(figures.accuracy->meanEast, 0.0, 1e-6);
    EXPECT_NEAR(*figures.accuracy->vertical95, *figures.precision->vertical95, 1e-6);
}

TEST_F(HandSet, WithoutAReferenceOnlyPrecisionIsGiven) {
    tracker.SetReference(std::nullopt);
    EXPECT_FALSE(tracker.ErrorAt(0));
    const AccuracyFigures& figures = tracker.Figures();
    EXPECT_FALSE(figures.accuracy);
    ASSERT_TRUE(figures.precision);
    // Taken in the frame at the first fix, 5 m from the mark: micrometres apart from the hand values.
    EXPECT_NEAR(figures.precision->cep50, std::hypot(1.3, 3.8), 1e-5);
    EXPECT_NEAR(figures.precision->drms, std::hypot(std::sqrt(17.81), std::sqrt(18.36)), 1e-5);
}

TEST(AccuracyTracker, FiguresFollowEachNewFix) {
    AccuracyTracker tracker;
    tracker.SetReference(ReferencePoint{kMark, ReferenceSource::Entered, std::nullopt});
    const LocalFrame frame(kMark);
    // Horizontal errors 4, 1, 3, 2: CEP50 after each fix is the lower middle of those so far.
    const double errors[] = {4.0, 1.0, 3.0, 2.0};
    const double cep50After[] = {4.0, 1.0, 3.0, 2.0};
    const double cep95After[] = {4.0, 4.0, 4.0, 4.0};
    for (std::size_t i = 0; i < std::size(errors); ++i) {
        tracker.Add(SampleAt(frame, {0.0, errors[i], 0.0}));
        EXPECT_NEAR(tracker.Figures().accuracy->cep50, cep50After[i], 1e-6) << "after fix " << i + 1;
        EXPECT_NEAR(tracker.Figures().accuracy->cep95, cep95After[i], 1e-6) << "after fix " << i + 1;
    }
    tracker.Clear();
    EXPECT_EQ(tracker.Figures().counts.Total(), 0u);
    EXPECT_FALSE(tracker.Figures().accuracy);
    EXPECT_FALSE(tracker.Figures().precision);
}

TEST(AccuracyTracker, UnusableFixesAreRefusedAndChangeNothing) {
    constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    struct Case {
        const char* legend;
        double latitude, longitude;
        std::optional<double> height;
        std::optional<double> sigma;
    };
    const Case cases[] = {
        {"latitude not a number", kNan, 8.0, 400.0, std::nullopt},
        {"latitude beyond the pole", 90.0001, 8.0, 400.0, std::nullopt},
        {"longitude beyond 180", 47.0, 180.5, 400.0, std::nullopt},
        {"infinite height", 47.0, 8.0, kInfinity, std::nullopt},
        {"height far beyond the Earth", 47.0, 8.0, 2e7, std::nullopt},
        {"negative error estimate", 47.0, 8.0, 400.0, -1.0},
    };
    AccuracyTracker tracker;
    for (const Case& c : cases) {
        FixSample sample;
        sample.latitude = c.latitude;
        sample.longitude = c.longitude;
        sample.height = c.height;
        sample.estimate.sigmaEast = c.sigma;
        EXPECT_FALSE(tracker.Add(sample)) << c.legend;
    }
    EXPECT_TRUE(tracker.Fixes().empty());
    EXPECT_FALSE(tracker.Figures().precision);
}

TEST(AccuracyTracker, SamplesOfReceiverFixes) {
    struct Case {
        const char* legend;
        FixMode mode;
        FixQuality quality;
        std::optional<FixKind> kind;
    };
    const Case cases[] = {
        {"no fix", FixMode::NoFix, FixQuality::Standard, std::nullopt},
        {"2D", FixMode::TwoD, FixQuality::Standard, FixKind::TwoD},
        {"3D", FixMode::ThreeD, FixQuality::Unknown, FixKind::ThreeD},
        {"differential 2D", FixMode::TwoD, FixQuality::Differential, FixKind::Dgps},
        {"differential 3D", FixMode::ThreeD, FixQuality::Differential, FixKind::Dgps},
        {"RTK float", FixMode::ThreeD, FixQuality::RtkFloat, FixKind::RtkFloat},
        {"RTK fixed", FixMode::ThreeD, FixQuality::RtkFixed, FixKind::RtkFixed},
        {"dead reckoning counts by dimension", FixMode::ThreeD, FixQuality::DeadReckoning, FixKind::ThreeD},
    };
    for (const Case& c : cases) {
        GnssFix fix;
        fix.mode = c.mode;
        fix.quality = c.quality;
        fix.latitude = 47.0;
        fix.longitude = 8.0;
        fix.altitudeHae = 450.0;
        fix.altitudeMsl = 400.0;
        const std::optional<FixSample> sample = FixSampleOf(fix);
        ASSERT_EQ(sample.has_value(), c.kind.has_value()) << c.legend;
        if (!sample) continue;
        EXPECT_EQ(sample->kind, *c.kind) << c.legend;
        EXPECT_EQ(sample->height, 450.0) << c.legend << ": the height above the ellipsoid";
    }
    GnssFix noPosition;
    noPosition.mode = FixMode::ThreeD;
    EXPECT_FALSE(FixSampleOf(noPosition));
}

TEST(AccuracyTracker, ReceiverEstimatesAreSummedAsRootMeanSquares) {
    AccuracyTracker tracker;
    const LocalFrame frame(kMark);
    FixSample first = SampleAt(frame, {0.0, 0.0, 0.0});
    first.estimate = {3.0, 1.0, std::nullopt};
    FixSample second = SampleAt(frame, {1.0, 0.0, 0.0});
    second.estimate = {4.0, 7.0, 2.0};
    tracker.Add(first);
    tracker.Add(second);
    tracker.Add(SampleAt(frame, {2.0, 0.0, 0.0}));
    const std::optional<ReceiverEstimateFigures> estimate = tracker.Figures().receiverEstimate;
    ASSERT_TRUE(estimate);
    EXPECT_EQ(estimate->fixes, 2u);
    EXPECT_DOUBLE_EQ(*estimate->sigmaEast, std::sqrt((9.0 + 16.0) / 2));
    EXPECT_DOUBLE_EQ(*estimate->sigmaNorth, 5.0);
    EXPECT_DOUBLE_EQ(*estimate->sigmaUp, 2.0);
}

// A large seeded set against the closed forms of the Gaussian: for a circular one of sigma s,
// CEP50 = s sqrt(2 ln 2) = 1.1774 s, CEP95 = s sqrt(2 ln 20) = 2.4477 s, DRMS = sqrt(2) s; for the
// vertical one |up| 95th = 1.96 s. The allowed difference is five standard errors of each estimate
// for this sample size: a quantile's sqrt(p (1 - p) / n) / density, DRMS's s / sqrt(2 n).
TEST(AccuracyTracker, MatchesTheGaussianClosedFormsOnALargeSet) {
    constexpr std::size_t kFixes = 100000;
    constexpr double kSigma = 2.0;
    constexpr double kSigmaUp = 3.0;
    constexpr double kBiasEast = 1.5;
    std::mt19937_64 random(20240501);
    std::normal_distribution<double> horizontal(0.0, kSigma);
    std::normal_distribution<double> vertical(0.0, kSigmaUp);
    const LocalFrame frame(kMark);
    AccuracyTracker tracker;
    tracker.SetReference(ReferencePoint{kMark, ReferenceSource::Entered, std::nullopt});
    for (std::size_t i = 0; i < kFixes; ++i) {
        const double east = kBiasEast + horizontal(random);
        const double north = horizontal(random);
        tracker.Add(SampleAt(frame, {east, north, vertical(random)}));
    }
    const double n = kFixes;
    const auto tolerance = [&](double perSigma, double sigma) { return 5.0 * perSigma * sigma / std::sqrt(n); };
    const ErrorFigures& precision = *tracker.Figures().precision;
    struct Case {
        const char* legend;
        double got, want, allowed;
    };
    const Case cases[] = {
        {"CEP50 about the mean", precision.cep50, 1.1774 * kSigma, tolerance(0.849, kSigma)},
        {"CEP95 about the mean", precision.cep95, 2.4477 * kSigma, tolerance(1.781, kSigma)},
        {"2DRMS about the mean", precision.twoDrms, 2.8284 * kSigma, 2.0 * tolerance(0.7071, kSigma)},
        {"vertical95 about the mean", *precision.vertical95, 1.96 * kSigmaUp, tolerance(1.864, kSigmaUp)},
        {"sd east", precision.sdEast, kSigma, tolerance(0.7071, kSigma)},
        {"sd up", *precision.sdUp, kSigmaUp, tolerance(0.7071, kSigmaUp)},
    };
    for (const Case& c : cases) EXPECT_NEAR(c.got, c.want, c.allowed) << c.legend;
    const ErrorFigures& accuracy = *tracker.Figures().accuracy;
    EXPECT_NEAR(accuracy.meanEast, kBiasEast, tolerance(1.0, kSigma));
    EXPECT_NEAR(accuracy.drms, std::sqrt(2.0 * kSigma * kSigma + kBiasEast * kBiasEast), tolerance(1.0, kSigma));
    EXPECT_GT(accuracy.cep50, precision.cep50) << "a bias widens the error about the reference";
}

TEST(SurveyIn, AveragesTheFixesOfItsTimeAndShowsTheirSpread) {
    const LocalFrame frame(kMark);
    SurveyIn survey(std::chrono::seconds(4));
    const UtcTime start = std::chrono::sys_days{std::chrono::year{2024} / 5 / 1} + std::chrono::hours(12);
    const double east[] = {1.0, -1.0, 1.0, -1.0, 1.0, 50.0};
    FixSample untimed = SampleAt(frame, {0.0, 0.0, 0.0});
    EXPECT_FALSE(survey.Add(untimed)) << "a fix without a time cannot be placed in the survey";
    for (int i = 0; i < 6; ++i) {
        FixSample fix = SampleAt(frame, {east[i], 2.0, 10.0});
        fix.time = start + std::chrono::seconds(i);
        EXPECT_EQ(survey.Result().has_value(), i == 5) << "complete once the fixes span 4 s, before the fix at " << i << " s";
        EXPECT_EQ(survey.Add(fix), i < 5) << "the fix at " << i << " s";
    }
    ASSERT_TRUE(survey.Complete());
    EXPECT_EQ(survey.Fixes(), 5u);
    EXPECT_DOUBLE_EQ(survey.Elapsed(), 4.0);
    const std::optional<ReferencePoint> result = survey.Result();
    ASSERT_TRUE(result && result->survey);
    EXPECT_EQ(result->source, ReferenceSource::SurveyIn);
    const EnuOffset mean = frame.OffsetOf(result->position);
    EXPECT_NEAR(mean.east, 0.2, 1e-6);
    EXPECT_NEAR(mean.north, 2.0, 1e-6);
    EXPECT_NEAR(*mean.up, 10.0, 1e-6);
    EXPECT_EQ(result->survey->fixes, 5u);
    // Deviations east 0.8, -1.2, 0.8, -1.2, 0.8: the 95th is 1.2.
    EXPECT_NEAR(result->survey->spread.cep95, 1.2, 1e-6);
}

}  // namespace
}  // namespace vexa
