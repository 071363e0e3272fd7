#include "evaluation/report/report_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>


namespace vexa {
namespace {

namespace fs = std::filesystem;

const GeodeticPoint kMark{47.3769, 8.5417, 408.2};
const UtcTime kStart = std::chrono::sys_days{std::chrono::year{2024} / 5 / 1} + std::chrono::hours(12);

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct CommandResult {
    int status = -1;
    std::string output;
};

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::size_t LineCount(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// The number after "PATH=" in the checked summary's lines.
double SummaryNumber(const std::string& summary, const std::string& path) {
    const std::size_t at = summary.find(path + "=");
    return at == std::string::npos ? std::nan("") : std::stod(summary.substr(at + path.size() + 1));
}

// `fixes` fixes a second apart circling the mark at 1 to 3 m, the first on it; cold and hot runs.
void Fill(AccuracyTracker& accuracy, TtffTracker& ttff, std::size_t fixes) {
    const LocalFrame frame(kMark);
    for (std::size_t i = 0; i < fixes; ++i) {
        const double radius = i == 0 ? 0.0 : 1.0 + static_cast<double>(i % 3);
        const double angle = 0.7 * static_cast<double>(i);
        const GeodeticPoint point = frame.PointAt({radius * std::cos(angle), radius * std::sin(angle), 0.5 * static_cast<double>(i % 5) - 1.0});
        FixSample sample;
        sample.time = kStart + std::chrono::seconds(i);
        sample.latitude = point.latitude;
        sample.longitude = point.longitude;
        sample.height = i == 0 ? kMark.height : point.height;
        sample.kind = i % 4 == 3 ? FixKind::Dgps : FixKind::ThreeD;
        accuracy.Add(sample);
    }
    accuracy.SetReference(ReferencePoint{kMark, ReferenceSource::Entered, std::nullopt});
    const double cold[] = {41.25, 38.5, 52.0, 44.75};
    for (std::size_t i = 0; i < std::size(cold); ++i) {
        TtffRun run;
        run.kind = ResetKind::Cold;
        run.start = kStart + std::chrono::minutes(2 * i);
        run.ttffAny = cold[i];
        run.ttff3d = cold[i] + 1.75;
        run.receiverTtff = cold[i] - 1.25;
        ttff.Add(run);
    }
    TtffRun timedOut;
    timedOut.kind = ResetKind::Cold;
    timedOut.start = kStart + std::chrono::minutes(10);
    timedOut.outcome = RunOutcome::TimedOut;
    ttff.Add(timedOut);
    for (const double seconds : {1.5, 2.25}) {
        TtffRun run;
        run.kind = ResetKind::Hot;
        run.start = kStart + std::chrono::minutes(12);
        run.ttffAny = seconds;
        ttff.Add(run);
    }
}

class ReportFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ = fs::path(::testing::TempDir()) / ("evaluation_report_" + std::string(test->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        fs::permissions(root_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
        folder_ = root_ / "report";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, ignored);
        fs::remove_all(root_, ignored);
    }

    // summary.json read back by Python's JSON parser, as PATH=JSON lines.
    std::string CheckedSummary() const {
        const CommandResult result = RunCommand("python3 " VEXA_SOURCE_DIR "/tests/evaluation/check_summary.py " +
                                                (folder_ / kSummaryJsonName).string());
        EXPECT_EQ(result.status, 0) << result.output;
        return result.output;
    }

    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path root_;
    fs::path folder_;
};

const std::vector<std::string> kReportNames = {"fixes.csv", "report.html", "runs.csv", "summary.json"};

TEST_F(ReportFiles, AreWrittenWithTheirHeadersRowsAndKeys) {
    AccuracyTracker accuracy;
    TtffTracker ttff;
    Fill(accuracy, ttff, 12);
    ASSERT_EQ(WriteReport(folder_, {"bench unit 7", accuracy, ttff}), "");
    EXPECT_EQ(FolderEntries(), kReportNames) << "nothing but the report is left in the folder";

    const std::string fixes = ReadText(folder_ / kFixesCsvName);
    EXPECT_EQ(FirstLine(fixes), "time,lat,lon,height,kind,east,north,up,horizontal_error");
    EXPECT_EQ(LineCount(fixes), 13u);
    EXPECT_EQ(FirstLine(fixes.substr(fixes.find('\n') + 1)),
              "2024-05-01T12:00:00.000Z,47.376900000,8.541700000,408.2000,3d,0.0000,0.0000,0.0000,0.0000");

    const std::string runs = ReadText(folder_ / kRunsCsvName);
    EXPECT_EQ(FirstLine(runs), "kind,start,ttff_any,ttff_3d,ttff_within_r,receiver_ttff,outcome");
    EXPECT_EQ(FirstLine(runs.substr(runs.find('\n') + 1)), "cold,2024-05-01T12:00:00.000Z,41.250,43.000,,40.000,fixed");
    EXPECT_NE(runs.find("\ncold,2024-05-01T12:10:00.000Z,,,,,timed_out\n"), std::string::npos) << runs;

    const std::string summary = CheckedSummary();
    for (const char* line : {"fixes.total=12", "fixes.3d=9", "fixes.dgps=3", "reference.lat=47.3769", "reference.source=\"entered\"",
                             "reference.survey=null", "receiver_estimate=null", "ttff.cold.runs=5", "ttff.cold.failures=1",
                             "ttff.cold.median=41.25", "ttff.hot.max=2.25", "ttff.warm.runs=0", "ttff.warm.min=null"}) {
        EXPECT_NE(summary.find(std::string(line) + "\n"), std::string::npos) << line << " in\n" << summary;
    }
    const ErrorFigures& figures = *accuracy.Figures().accuracy;
    EXPECT_NEAR(SummaryNumber(summary, "accuracy.cep50"), figures.cep50, 1e-4);
    EXPECT_NEAR(SummaryNumber(summary, "accuracy.sd_up"), *figures.sdUp, 1e-4);
    EXPECT_NEAR(SummaryNumber(summary, "precision.drms"), accuracy.Figures().precision->drms, 1e-4);
}

TEST_F(ReportFiles, TheReceiversOwnEstimatesGetColumnsOfTheirOwn) {
    AccuracyTracker accuracy;
    TtffTracker ttff;
    Fill(accuracy, ttff, 3);
    FixSample estimated = accuracy.Fixes()[0];
    estimated.estimate = {1.5, 2.0, std::nullopt};
    accuracy.Add(estimated);
    ASSERT_EQ(WriteReport(folder_, {"", accuracy, ttff}), "");
    const std::string fixes = ReadText(folder_ / kFixesCsvName);
    EXPECT_EQ(FirstLine(fixes),
              "time,lat,lon,height,kind,east,north,up,horizontal_error,receiver_sigma_east,receiver_sigma_north,receiver_sigma_up");
    EXPECT_NE(fixes.find(",1.5000,2.0000,\n"), std::string::npos) << fixes;
    const std::string summary = CheckedSummary();
    EXPECT_NE(summary.find("receiver_estimate.sigma_east=1.5\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("receiver_estimate.sigma_up=null\n"), std::string::npos) << summary;
}

TEST_F(ReportFiles, ThePageIsWellFormedAndEachChartRendersWithRealTools) {
    AccuracyTracker accuracy;
    TtffTracker ttff;
    Fill(accuracy, ttff, 40);
    ASSERT_EQ(WriteReport(folder_, {"bench unit <7> & \"friends\"", accuracy, ttff}), "");
    const fs::path page = folder_ / kReportHtmlName;
    const CommandResult wholePage = RunCommand("xmllint --noout " + page.string());
    EXPECT_EQ(wholePage.status, 0) << wholePage.output;

    const std::string html = ReadText(page);
    EXPECT_EQ(html.find(" src="), std::string::npos) << "nothing is fetched";
    EXPECT_EQ(html.find(" href="), std::string::npos) << "nothing is fetched";
    const std::string open = "<div class=\"chart\">\n";
    std::size_t charts = 0;
    for (std::size_t at = html.find(open); at != std::string::npos; at = html.find(open, at + 1)) {
        const std::size_t begin = at + open.size();
        const std::string svg = html.substr(begin, html.find("</div>", begin) - begin);
        const fs::path svgPath = root_ / ("chart" + std::to_string(charts) + ".svg");
        const fs::path pngPath = root_ / ("chart" + std::to_string(charts) + ".png");
        std::ofstream(svgPath) << svg;
        const CommandResult parsed = RunCommand("xmllint --noout " + svgPath.string());
        EXPECT_EQ(parsed.status, 0) << "chart " << charts << ": " << parsed.output;
        const CommandResult rendered = RunCommand("rsvg-convert -o " + pngPath.string() + " " + svgPath.string());
        EXPECT_EQ(rendered.status, 0) << "chart " << charts << ": " << rendered.output;
        const std::string png = ReadText(pngPath);
        EXPECT_GT(png.size(), 1000u) << "chart " << charts;
        EXPECT_EQ(png.substr(0, 4), "\x89PNG") << "chart " << charts;
        ++charts;
    }
    // Scatter, distribution, error over time, TTFF per run, and a histogram for each of cold and hot.
    EXPECT_EQ(charts, 6u);
}

TEST_F(ReportFiles, EmptyInputsGiveAReportThatSaysSo) {
    const AccuracyTracker accuracy;
    const TtffTracker ttff;
    ASSERT_EQ(WriteReport(folder_, {"", accuracy, ttff}), "");
    const std::string html = ReadText(folder_ / kReportHtmlName);
    EXPECT_NE(html.find(">No fixes.<"), std::string::npos);
    EXPECT_NE(html.find(">No runs.<"), std::string::npos);
    EXPECT_EQ(RunCommand("xmllint --noout " + (folder_ / kReportHtmlName).string()).status, 0);
    EXPECT_EQ(LineCount(ReadText(folder_ / kFixesCsvName)), 1u);
    EXPECT_EQ(LineCount(ReadText(folder_ / kRunsCsvName)), 1u);
    const std::string summary = CheckedSummary();
    for (const char* line : {"fixes.total=0", "reference.source=\"none\"", "reference.lat=null", "accuracy.cep50=null",
                             "precision.drms=null", "ttff.cold.runs=0", "ttff.cold.mean=null"}) {
        EXPECT_NE(summary.find(std::string(line) + "\n"), std::string::npos) << line << " in\n" << summary;
    }
}

// The report goes into a folder that holds an earlier one; the new one cannot be written whole.
// The earlier files must stay as they were, and nothing half-written may be left beside them.
class ReportFailure : public ReportFiles {
protected:
    void SetUp() override {
        ReportFiles::SetUp();
        Fill(small_, smallRuns_, 2);
        Fill(large_, largeRuns_, 400);
        ASSERT_EQ(WriteReport(folder_, {"earlier", small_, smallRuns_}), "");
        for (const std::string& name : kReportNames) earlier_.push_back(ReadText(folder_ / name));
    }

    void ExpectEarlierReportUntouched() const {
        EXPECT_EQ(FolderEntries(), kReportNames) << "no staged file is left";
        for (std::size_t i = 0; i < kReportNames.size(); ++i) EXPECT_EQ(ReadText(folder_ / kReportNames[i]), earlier_[i]) << kReportNames[i];
    }

    AccuracyTracker small_, large_;
    TtffTracker smallRuns_, largeRuns_;
    std::vector<std::string> earlier_;
};

TEST_F(ReportFailure, AFolderThatCannotBeWrittenIsNamedAndTheEarlierReportStays) {
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
    // The superuser writes anywhere: the report is written by a child that has given that up.
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipe[0]);
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(2);
        const std::string message = WriteReport(folder_, {"later", large_, largeRuns_});
        const bool sent = ::write(pipe[1], message.data(), message.size()) == static_cast<ssize_t>(message.size());
        ::_exit(sent ? 0 : 3);
    }
    ::close(pipe[1]);
    std::string message;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) message.append(buffer, static_cast<std::size_t>(got));
    ::close(pipe[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(message, "report not written: " + (folder_ / kFixesCsvName).string() + ": Permission denied");
    ExpectEarlierReportUntouched();
}

TEST_F(ReportFailure, AFullDiskIsNamedAndTheEarlierReportStays) {
    // A file size limit fails the writes part-way as a full disk does.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 8192;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::string message = WriteReport(folder_, {"later", large_, largeRuns_});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(message, "report not written: " + (folder_ / kFixesCsvName).string() + ": File too large");
    ExpectEarlierReportUntouched();
}

TEST_F(ReportFiles, AFolderBelowAFileIsRefusedWithTheReason) {
    std::ofstream(root_ / "notes.txt") << "x";
    const fs::path folder = root_ / "notes.txt" / "report";
    EXPECT_EQ(WriteReport(folder, {"", AccuracyTracker{}, TtffTracker{}}),
              "report not written: " + folder.string() + ": " + (root_ / "notes.txt").string() + " is not a folder");
}

}  // namespace
}  // namespace vexa
