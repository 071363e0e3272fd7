// Campaigns as a user runs them: the real vexademo-cli against the real vexasim on a
// pseudo-terminal, driven only by their command lines and signals.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/program_run.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using test::ProgramRun;

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A simulated receiver behind `link`, its times to first fix drawn from the spreads given.
std::unique_ptr<ProgramRun> Receiver(const std::string& link, const std::vector<std::string>& spreads) {
    std::vector<std::string> arguments{"--seed", "17", "--link", link, "--seconds", "120"};
    for (const std::string& spread : spreads) arguments.insert(arguments.end(), {"--ttff-spread", spread});
    auto receiver = std::make_unique<ProgramRun>(VEXASIM, arguments,
                                                 ProgramRun::Streams{.output = link + ".out", .errors = link + ".err"});
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!std::filesystem::exists(link) && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(10ms);
    return receiver;
}

// The first-fix times of the runs of runs.csv, in order.
std::vector<double> FirstFixTimes(const std::string& runsCsv) {
    std::istringstream lines(runsCsv);
    std::vector<double> times;
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::stringstream cells(line);
        for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
        if (fields.size() >= 3 && !fields[2].empty()) times.push_back(std::stod(fields[2]));
    }
    return times;
}

// The cells of comparison.csv's row `figure`, one a receiver.
std::vector<std::string> ComparisonRow(const std::string& csv, const std::string& figure) {
    std::istringstream lines(csv);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> cells;
        std::stringstream row(line);
        for (std::string cell; std::getline(row, cell, ',');) cells.push_back(cell);
        if (!cells.empty() && cells.front() == figure) return {cells.begin() + 1, cells.end()};
    }
    return {};
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[(values.size() - 1) / 2];
}

// Hot x 3 and cold x 2 on a receiver whose times are drawn from known ranges: the medians lie in
// them (the receiver reports whole seconds, so up to a second and the line's delay above).
TEST(CampaignJourney, MediansLieInTheSimulatorsRanges) {
    test::ScratchFolder folder;
    const std::string link = folder / "gps";
    const auto receiver = Receiver(link, {"hot=1..2", "cold=3..5"});
    struct Case {
        const char* kind;
        const char* runs;
        double least, most;
    };
    for (const Case& c : {Case{"hot", "3", 1.0, 2.0}, Case{"cold", "2", 3.0, 5.0}}) {
        const std::string report = folder / c.kind;
        ProgramRun cli(VEXADEMO_CLI,
                       {"--port", link, "--campaign", c.kind, "--runs", c.runs, "--settle", "0", "--run-timeout", "20",
                        "--report", report},
                       {.output = folder / "out", .errors = folder / "err"});
        ASSERT_EQ(cli.Wait(60s), 0) << FileText(folder / "err");
        const std::string output = FileText(folder / "out");
        EXPECT_TRUE(std::regex_search(output, std::regex(std::string("run ") + c.runs + "/" + c.runs + " " + c.kind +
                                                         ": fixed; first fix [0-9.]+ s")))
            << output;
        const std::vector<double> times = FirstFixTimes(FileText(report + "/runs.csv"));
        ASSERT_EQ(times.size(), static_cast<std::size_t>(std::stoi(c.runs))) << c.kind;
        EXPECT_GE(Median(times), c.least) << c.kind;
        EXPECT_LE(Median(times), c.most + 1.5) << c.kind;
        EXPECT_TRUE(std::regex_search(FileText(report + "/summary.json"),
                                      std::regex(std::string("\"") + c.kind + "\": \\{\\s*\"runs\": " + c.runs)));
    }
}

// A receiver that never fixes in time fails its run; one that goes away mid-run loses it, and the
// campaign goes on with the receiver that comes back in its place.
TEST(CampaignJourney, AFailedRunAndAReceiverLostMidRun) {
    test::ScratchFolder folder;
    const std::string link = folder / "gps";
    auto receiver = Receiver(link, {"cold=60..60"});
    ProgramRun cli(VEXADEMO_CLI,
                   {"--port", link, "--campaign", "cold", "--runs", "3", "--settle", "0", "--run-timeout", "3",
                    "--report", folder / "r"},
                   {.output = std::nullopt, .errors = folder / "err"});
    const auto saw = [&](const std::string& text) {
        return [text](const std::string& out) { return out.find(text) != std::string::npos; };
    };
    std::string output = ProgramRun::ReadUntil(cli.Output(), saw("run 1/3 cold: timed_out"), 30s);
    ASSERT_NE(output.find("run 1/3 cold: timed_out; first fix -"), std::string::npos) << output;

    std::this_thread::sleep_for(1s);  // within the second run
    receiver.reset();
    output += ProgramRun::ReadUntil(cli.Output(), saw("run 2/3 cold: lost"), 20s);
    ASSERT_NE(output.find("run 2/3 cold: lost"), std::string::npos) << output;

    receiver = Receiver(link, {"cold=1..1"});
    output += ProgramRun::ReadAll(cli.Output(), 30s);
    EXPECT_NE(output.find("run 3/3 cold: fixed"), std::string::npos) << output;
    EXPECT_NE(output.find("cold: 3 runs, 2 failed"), std::string::npos) << output;
    EXPECT_EQ(cli.Wait(5s), 0) << FileText(folder / "err");
    EXPECT_NE(FileText(folder / "r/runs.csv").find(",lost"), std::string::npos);
}

// Two receivers reset together: each its own runs and report, and a TTFF column each in
// comparison.csv; one that goes away for good loses its runs only.
TEST(CampaignJourney, TwoReceiversSideBySide) {
    struct Case {
        const char* name;
        bool secondGoesAway;
        const char* secondLastRun;
        std::vector<std::string> failures;
    };
    for (const Case& c : {Case{"both fix", false, "gpsb: run 3/3 hot: fixed", {"0", "0"}},
                          Case{"second goes away", true, "gpsb: run 3/3 hot: lost", {"0", "2"}}}) {
        test::ScratchFolder folder;
        const std::string first = folder / "gpsa";
        const std::string second = folder / "gpsb";
        const auto receiverA = Receiver(first, {"hot=1..2"});
        auto receiverB = Receiver(second, {"hot=2..3"});
        const std::string report = folder / "r";
        ProgramRun cli(VEXADEMO_CLI,
                       {"--port", first, "--port", second, "--campaign", "hot", "--runs", "3", "--settle", "1",
                        "--run-timeout", "20", "--report", report},
                       {.output = std::nullopt, .errors = folder / "err"});
        std::string output = ProgramRun::ReadUntil(
            cli.Output(), [](const std::string& out) { return out.find("gpsb: run 1/3 hot: fixed") != std::string::npos; }, 30s);
        // Gone as an unplugged receiver goes: its name goes with it, so that a pseudo-terminal
        // number another test takes next is not reached through it.
        if (c.secondGoesAway) {
            receiverB->Signal(SIGTERM);
            (void)receiverB->Wait(10s);
            receiverB.reset();
        }
        output += ProgramRun::ReadAll(cli.Output(), 60s);
        EXPECT_EQ(cli.Wait(5s), 0) << c.name << FileText(folder / "err");
        EXPECT_NE(output.find("gpsa: run 3/3 hot: fixed"), std::string::npos) << c.name << output;
        EXPECT_NE(output.find(c.secondLastRun), std::string::npos) << c.name << output;
        EXPECT_NE(output.find("gpsa: hot: 3 runs, 0 failed"), std::string::npos) << c.name << output;

        const std::string csv = FileText(report + "/comparison.csv");
        EXPECT_EQ(csv.substr(0, csv.find('\n')), "figure,gpsa,gpsb") << c.name;
        EXPECT_EQ(ComparisonRow(csv, "ttff_hot_runs"), (std::vector<std::string>{"3", "3"})) << c.name << csv;
        EXPECT_EQ(ComparisonRow(csv, "ttff_hot_failures"), c.failures) << c.name << csv;
        const std::vector<std::string> medians = ComparisonRow(csv, "ttff_hot_median_s");
        ASSERT_EQ(medians.size(), 2u) << c.name << csv;
        EXPECT_GE(std::stod(medians[0]), 1.0) << c.name;
        EXPECT_LE(std::stod(medians[0]), 3.5) << c.name;
        EXPECT_EQ(FirstFixTimes(FileText(report + "/gpsa/runs.csv")).size(), 3u) << c.name;
        if (!c.secondGoesAway) EXPECT_GE(std::stod(medians[1]), 2.0) << c.name;
    }
}

}  // namespace
}  // namespace vexa
