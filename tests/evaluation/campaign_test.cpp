#include "evaluation/campaign.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class SentResets : public ResetSender {
public:
    bool Send(ResetKind kind) override {
        sent.push_back(kind);
        return reachable;
    }
    std::vector<ResetKind> sent;
    bool reachable = true;
};

constexpr GeodeticPoint kReference{50.0, 8.0, 100.0};

enum class What { Fix2d, Fix3d, FarFix3d, NoFix, Tick, HeldTick, Missed, Lost, Returned, ReceiverTtff, Stop };

// Something happening `at` seconds after the start.
struct Event {
    double at;
    What what;
    double value = 0.0;
};

struct ExpectedRun {
    ResetKind kind;
    std::optional<double> any, threeD, withinRadius, receiver;
    RunOutcome outcome;
    double start;  // seconds after the campaign's start
};

struct Case {
    std::string name;
    CampaignSettings settings;
    bool withReference;
    std::vector<Event> events;
    std::vector<ExpectedRun> runs;
    std::vector<ResetKind> resets;
    CampaignPhase phase;
};

GnssFix FixOf(What what) {
    GnssFix fix;
    fix.mode = what == What::Fix2d ? FixMode::TwoD : what == What::NoFix ? FixMode::NoFix : FixMode::ThreeD;
    fix.quality = FixQuality::Standard;
    // The far fix is 0.001 degree (111 m) north of the reference.
    fix.latitude = kReference.latitude + (what == What::FarFix3d ? 0.001 : 0.0);
    fix.longitude = kReference.longitude;
    fix.altitudeHae = kReference.height;
    return fix;
}

CampaignSettings SettingsOf(CampaignPlan plan, std::size_t runs, int timeoutSeconds, int settleSeconds, bool powerCycle = false) {
    CampaignSettings settings;
    settings.plan = std::move(plan);
    settings.runs = runs;
    settings.runTimeout = seconds(timeoutSeconds);
    settings.settle = seconds(settleSeconds);
    settings.powerCycle = powerCycle;
    return settings;
}

constexpr auto kHot = ResetKind::Hot;
constexpr auto kCold = ResetKind::Cold;

TEST(Campaign, ScriptedRuns) {
    const Case cases[] = {
        {"two hot runs, each to a 3D fix, with the settle time between",
         SettingsOf(CampaignPlan::Of(kHot), 2, 60, 5), false,
         {{0.5, What::NoFix}, {1.5, What::Fix3d}, {6.5, What::Tick}, {7.0, What::NoFix}, {9.0, What::Fix3d}, {14.0, What::Tick}},
         {{kHot, 1.5, 1.5, {}, {}, RunOutcome::Fixed, 0.0}, {kHot, 2.5, 2.5, {}, {}, RunOutcome::Fixed, 6.5}},
         {kHot, kHot}, CampaignPhase::Finished},
        {"no-fix and 2D fixes before the 3D one; the receiver's own time joins in the settle time",
         SettingsOf(CampaignPlan::Of(kCold), 1, 60, 5), false,
         {{2.0, What::NoFix}, {30.0, What::Fix2d}, {34.0, What::Fix3d}, {35.0, What::ReceiverTtff, 29.6}, {39.0, What::Tick}},
         {{kCold, 30.0, 34.0, {}, 29.6, RunOutcome::Fixed, 0.0}}, {kCold}, CampaignPhase::Finished},
        {"a run without any fix times out; one with only a 2D fix is fixed without a 3D time",
         SettingsOf(CampaignPlan::Of(kCold), 2, 10, 1), false,
         {{9.9, What::NoFix}, {10.5, What::Fix3d}, {11.0, What::Tick}, {12.0, What::NoFix}, {15.0, What::Fix2d}, {40.0, What::Tick}},
         {{kCold, {}, {}, {}, {}, RunOutcome::TimedOut, 0.0}, {kCold, 4.0, {}, {}, {}, RunOutcome::Fixed, 11.0}},
         {kCold, kCold}, CampaignPhase::Finished},
        {"with a reference the run waits for a fix within the radius",
         SettingsOf(CampaignPlan::Of(kHot), 1, 60, 0), true,
         {{1.0, What::NoFix}, {3.0, What::FarFix3d}, {7.0, What::Fix3d}, {8.0, What::Tick}},
         {{kHot, 3.0, 3.0, 7.0, {}, RunOutcome::Fixed, 0.0}}, {kHot}, CampaignPhase::Finished},
        {"a cycle resets hot, warm, cold, factory in turn",
         SettingsOf(CampaignPlan::Cycle(), 4, 5, 0), false,
         {{1.0, What::Tick}, {6.0, What::Tick}, {11.0, What::Tick}, {16.0, What::Tick}, {21.0, What::Tick}},
         {{kHot, {}, {}, {}, {}, RunOutcome::TimedOut, 0.0},
          {ResetKind::Warm, {}, {}, {}, {}, RunOutcome::TimedOut, 6.0},
          {kCold, {}, {}, {}, {}, RunOutcome::TimedOut, 11.0},
          {ResetKind::Factory, {}, {}, {}, {}, RunOutcome::TimedOut, 16.0}},
         {kHot, ResetKind::Warm, kCold, ResetKind::Factory}, CampaignPhase::Finished},
        {"the receiver lost in a run: that run is lost, the next reset follows its return and the settle time",
         SettingsOf(CampaignPlan::Of(kCold), 2, 60, 5), false,
         {{4.0, What::Lost}, {80.0, What::Tick}, {100.0, What::Returned}, {104.0, What::Tick}, {105.0, What::Tick},
          {106.0, What::NoFix}, {125.0, What::Fix3d}, {130.0, What::Tick}},
         {{kCold, {}, {}, {}, {}, RunOutcome::Lost, 0.0}, {kCold, 20.0, 20.0, {}, {}, RunOutcome::Fixed, 105.0}},
         {kCold, kCold}, CampaignPhase::Finished},
        {"lost after its first fix, a run keeps that fix",
         SettingsOf(CampaignPlan::Of(kCold), 1, 60, 5), false, {{1.0, What::NoFix}, {20.0, What::Fix2d}, {25.0, What::Lost}},
         {{kCold, 20.0, {}, {}, {}, RunOutcome::Fixed, 0.0}}, {kCold}, CampaignPhase::Finished},
        {"power cycle: no reset; each run is timed from the receiver coming back",
         SettingsOf(CampaignPlan::Of(kCold), 2, 60, 2, true), false,
         {{3.0, What::Fix3d}, {10.0, What::Lost}, {15.0, What::Returned}, {45.0, What::Fix3d}, {48.0, What::Tick},
          {50.0, What::Lost}, {52.0, What::Returned}, {60.0, What::Lost}},
         {{kCold, 30.0, 30.0, {}, {}, RunOutcome::Fixed, 15.0}, {kCold, {}, {}, {}, {}, RunOutcome::Lost, 52.0}},
         {}, CampaignPhase::Finished},
        {"a fix after the settle time sends no reset: the next tick does, at its own time",
         SettingsOf(CampaignPlan::Of(kHot), 2, 60, 1), false,
         {{0.5, What::NoFix}, {1.0, What::Fix3d}, {2.5, What::Fix3d}, {3.0, What::Tick}, {4.0, What::NoFix}, {5.0, What::Fix3d},
          {6.0, What::Tick}},
         {{kHot, 1.0, 1.0, {}, {}, RunOutcome::Fixed, 0.0}, {kHot, 2.0, 2.0, {}, {}, RunOutcome::Fixed, 3.0}},
         {kHot, kHot}, CampaignPhase::Finished},
        {"a fix before the receiver shows it lost its fix is not the run's; a reset it ignores times out",
         SettingsOf(CampaignPlan::Of(kHot), 2, 10, 0), false,
         {{0.1, What::Fix3d}, {1.0, What::NoFix}, {2.0, What::Fix3d}, {3.0, What::Tick}, {4.0, What::Fix3d},
          {14.0, What::Tick}},
         {{kHot, 2.0, 2.0, {}, {}, RunOutcome::Fixed, 0.0}, {kHot, {}, {}, {}, {}, RunOutcome::TimedOut, 3.0}},
         {kHot, kHot}, CampaignPhase::Finished},
        {"Stop keeps the finished runs and records the one in progress as stopped",
         SettingsOf(CampaignPlan::Of(kHot), 5, 60, 1), false,
         {{1.0, What::NoFix}, {2.0, What::Fix3d}, {3.0, What::Tick}, {3.5, What::NoFix}, {4.0, What::Fix2d}, {4.5, What::Stop},
          {20.0, What::Fix3d}},
         {{kHot, 2.0, 2.0, {}, {}, RunOutcome::Fixed, 0.0}, {kHot, 1.0, {}, {}, {}, RunOutcome::Stopped, 3.0}},
         {kHot, kHot}, CampaignPhase::Stopped},
        {"held ticks send no reset; a run missed while away is lost without one and keeps the cycle in step",
         SettingsOf(CampaignPlan::Cycle(), 3, 60, 1), false,
         {{0.5, What::NoFix}, {1.0, What::Fix3d}, {3.0, What::HeldTick}, {4.0, What::Lost}, {5.0, What::Missed},
          {6.0, What::Returned}, {8.0, What::Tick}, {9.0, What::NoFix}, {10.0, What::Fix3d}, {12.0, What::HeldTick}},
         {{kHot, 1.0, 1.0, {}, {}, RunOutcome::Fixed, 0.0},
          {ResetKind::Warm, {}, {}, {}, {}, RunOutcome::Lost, 5.0},
          {kCold, 2.0, 2.0, {}, {}, RunOutcome::Fixed, 8.0}},
         {kHot, kCold}, CampaignPhase::Finished},
    };
    const UtcTime start{std::chrono::hours(24 * 20000)};
    const auto at = [&](double secondsAfter) {
        return start + std::chrono::duration_cast<milliseconds>(std::chrono::duration<double>(secondsAfter));
    };
    for (const Case& c : cases) {
        SentResets resets;
        std::vector<TtffRun> told;
        Campaign campaign(c.settings, resets, [&](const TtffRun& run) { told.push_back(run); });
        if (c.withReference) campaign.SetReference(kReference);
        ASSERT_TRUE(campaign.Start(start)) << c.name;
        for (const Event& event : c.events) {
            switch (event.what) {
            case What::Fix2d:
            case What::Fix3d:
            case What::FarFix3d:
            case What::NoFix: campaign.OnFix(FixOf(event.what), at(event.at)); break;
            case What::Tick: campaign.OnTick(at(event.at)); break;
            case What::HeldTick: campaign.OnTickHeld(at(event.at)); break;
            case What::Missed: campaign.MissRun(at(event.at)); break;
            case What::Lost: campaign.OnLinkLost(at(event.at)); break;
            case What::Returned: campaign.OnLinkReturned(at(event.at)); break;
            case What::ReceiverTtff: campaign.OnReceiverTtff(event.value, at(event.at)); break;
            case What::Stop: campaign.Stop(at(event.at)); break;
            }
        }
        EXPECT_EQ(campaign.Progress(at(200.0)).phase, c.phase) << c.name;
        EXPECT_EQ(resets.sent, c.resets) << c.name;
        ASSERT_EQ(campaign.Runs().size(), c.runs.size()) << c.name;
        ASSERT_EQ(told.size(), c.runs.size()) << c.name;
        for (std::size_t i = 0; i < c.runs.size(); ++i) {
            const TtffRun& run = campaign.Runs()[i];
            const ExpectedRun& expected = c.runs[i];
            const std::string where = c.name + ", run " + std::to_string(i + 1);
            EXPECT_EQ(run.kind, expected.kind) << where;
            EXPECT_EQ(run.outcome, expected.outcome) << where;
            EXPECT_EQ(run.start, at(expected.start)) << where;
            EXPECT_EQ(told[i].outcome, run.outcome) << where;
            const std::pair<std::optional<double>, std::optional<double>> times[] = {
                {run.ttffAny, expected.any}, {run.ttff3d, expected.threeD},
                {run.ttffWithinRadius, expected.withinRadius}, {run.receiverTtff, expected.receiver}};
            for (const auto& [got, want] : times) {
                ASSERT_EQ(got.has_value(), want.has_value()) << where;
                if (got) EXPECT_NEAR(*got, *want, 1e-9) << where;
            }
        }
    }
}

TEST(Campaign, RefusedSettingsAndUnreachableReceiver) {
    SentResets resets;
    const std::pair<CampaignSettings, std::string> refused[] = {
        {SettingsOf(CampaignPlan::Of(kHot), 0, 60, 5), "the number of runs must be at least 1"},
        {SettingsOf(CampaignPlan::Of(kHot), 3, -1, 5), "the run time-out must be more than 0 seconds"},
        {SettingsOf(CampaignPlan::Of(kHot), 3, 60, -5), "the settle time must not be negative"},
    };
    for (const auto& [settings, message] : refused) {
        EXPECT_EQ(WhyNotACampaign(settings), message);
        Campaign campaign(settings, resets);
        EXPECT_FALSE(campaign.Start(UtcTime{}));
    }
    EXPECT_TRUE(resets.sent.empty());

    // A reset that cannot be sent loses its run; the campaign goes on.
    resets.reachable = false;
    Campaign campaign(SettingsOf(CampaignPlan::Of(kHot), 2, 60, 1), resets);
    campaign.Start(UtcTime{});
    campaign.OnTick(UtcTime{seconds(1)});
    campaign.OnTick(UtcTime{seconds(2)});
    ASSERT_EQ(campaign.Runs().size(), 2u);
    EXPECT_EQ(campaign.Runs()[1].outcome, RunOutcome::Lost);
    EXPECT_TRUE(campaign.Ended());
}

TEST(Campaign, ProgressCountsRunsAndEstimatesTheTimeLeft) {
    SentResets resets;
    Campaign campaign(SettingsOf(CampaignPlan::Of(kCold), 3, 100, 10), resets);
    EXPECT_EQ(campaign.Progress(UtcTime{}).timeLeft, seconds(3 * 110));
    campaign.Start(UtcTime{});
    campaign.OnFix(FixOf(What::NoFix), UtcTime{seconds(1)});
    campaign.OnFix(FixOf(What::Fix3d), UtcTime{seconds(40)});
    // One run of 40 s done, settling until 50 s; two more of 40 s and their settle times.
    const CampaignProgress progress = campaign.Progress(UtcTime{seconds(45)});
    EXPECT_EQ(progress.runsDone, 1u);
    EXPECT_EQ(progress.runsTotal, 3u);
    EXPECT_EQ(progress.timeLeft, seconds(5 + 2 * 50));
    EXPECT_EQ(ParseCampaignPlan("cycle")->kinds.size(), 4u);
    EXPECT_EQ(ParseCampaignPlan("warm")->kinds, std::vector<ResetKind>{ResetKind::Warm});
    EXPECT_FALSE(ParseCampaignPlan("lukewarm"));
}

}  // namespace
}  // namespace vexa
