// Several receivers in one run, as a user runs them: the real vexademo-cli against real vexasim
// receivers on pseudo-terminals, driven only by command lines and signals.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/sample_capture.h"
#include "support/log_file_text.h"
#include "support/loopback_server.h"
#include "support/program_run.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;
using test::ProgramRun;
using test::ReadFile;
using test::ScratchFolder;

// The point the simulated receivers walk around.
constexpr const char* kReference = "37.3875,-121.9720,25";

// A simulated receiver behind `link`, standing at the reference, ready once the link is there.
std::unique_ptr<ProgramRun> Receiver(const std::string& link, const std::string& protocol,
                                     const std::string& seconds) {
    auto receiver = std::make_unique<ProgramRun>(
        VEXASIM, std::vector<std::string>{"--protocol", protocol, "--link", link, "--seconds", seconds, "--ttff", "1,1,1,1", "--noise", "2,3"},
        ProgramRun::Streams{.output = "/dev/null", .errors = "/dev/null"});
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!std::filesystem::exists(link) && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(10ms);
    return receiver;
}

// A receiver's part of a --compare line, read back: "3D", satellites used, horizontal error in metres
// (nothing for "-"), mean C/N0; nothing at all while it is not connected.
struct Compared {
    std::string kind;
    int used = 0;
    std::optional<double> error;
    std::optional<double> cn0;
};

std::optional<Compared> ComparedOf(const std::string& line, const std::string& name) {
    const std::regex part("(?:^| \\| )" + name + ": (no fix|2D|3D), ([0-9]+) used, (-|[0-9.]+) m, (-|[0-9.]+) dB-Hz(?: \\||$)");
    std::smatch match;
    if (!std::regex_search(line, match, part)) return std::nullopt;
    const auto number = [](const std::string& text) { return text == "-" ? std::nullopt : std::optional<double>(std::stod(text)); };
    return Compared{match[1], std::stoi(match[2]), number(match[3]), number(match[4])};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

bool FixedWithin(const std::string& line, const std::string& name) {
    const std::optional<Compared> figures = ComparedOf(line, name);
    return figures && figures->kind == "3D" && figures->used > 3 && figures->error && *figures->error < 50 && figures->cn0 &&
           *figures->cn0 > 20 && *figures->cn0 < 60;
}

// A binary and an NMEA receiver side by side: each is compared once a second, the NMEA one goes
// away and comes back on its own while the other goes on, each has its own track, and the report
// compares them.
TEST(MultiSource, TwoReceiversAreComparedAndOneThatGoesAwayComesBackAlone) {
    ScratchFolder folder;
    const std::string binaryLink = folder / "rover-a";
    const std::string nmeaLink = folder / "rover-b";
    const auto binary = Receiver(binaryLink, "binary", "60");
    auto nmea = Receiver(nmeaLink, "nmea", "6");
    ProgramRun program(VEXADEMO_CLI,
                       {"--port", binaryLink, "--port", nmeaLink, "--compare", "--reference", kReference, "--gpx",
                        folder / "track.gpx", "--report", folder / "report"},
                       {.output = std::nullopt, .errors = folder / "err"});
    ASSERT_TRUE(program.Started());

    // Both fixed, then rover-b gone while rover-a goes on, then both fixed again.
    const auto bothFixed = [](const std::string& line) { return FixedWithin(line, "rover-a") && FixedWithin(line, "rover-b"); };
    std::string text = ProgramRun::ReadUntil(
        program.Output(), [&](const std::string& read) { return !read.empty() && bothFixed(Lines(read).back()); }, 20s);
    ASSERT_TRUE(nmea->Wait(15s));
    nmea.reset();
    text += ProgramRun::ReadUntil(
        program.Output(), [&](const std::string& read) { return read.find("rover-b: not connected") != std::string::npos; }, 15s);
    nmea = Receiver(nmeaLink, "nmea", "60");
    text += ProgramRun::ReadUntil(
        program.Output(), [&](const std::string& read) { return !read.empty() && bothFixed(Lines(read).back()); }, 30s);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(10s), 0);

    const std::vector<std::string> lines = Lines(text);
    const auto gone = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.find("rover-b: not connected") != std::string::npos;
    });
    ASSERT_NE(gone, lines.end()) << text;
    EXPECT_TRUE(std::any_of(lines.begin(), gone, bothFixed)) << text;
    EXPECT_TRUE(FixedWithin(*gone, "rover-a")) << *gone;
    EXPECT_TRUE(bothFixed(lines.back())) << text;

    const std::string errors = ReadFile(folder / "err");
    EXPECT_NE(errors.find("rover-a: Connected (Vexa Binary)\n"), std::string::npos) << errors;
    EXPECT_NE(errors.find("rover-b: Connected (NMEA)\n"), errors.rfind("rover-b: Connected (NMEA)\n")) << errors;
    for (const char* track : {"track-rover-a.gpx", "track-rover-b.gpx"}) {
        EXPECT_NE(ReadFile(folder / track).find("<trkpt "), std::string::npos) << track;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "track.gpx"));

    // The report: a column per receiver, accuracy about the reference and C/N0 of the satellites both tracked.
    const std::vector<std::string> report = Lines(ReadFile(folder / "report/comparison.csv"));
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.front(), "figure,rover-a,rover-b");
    EXPECT_TRUE(std::any_of(report.begin(), report.end(), [](const std::string& row) {
        return std::regex_match(row, std::regex("cep50_m,[0-9]\\.[0-9]{4},[0-9]\\.[0-9]{4}"));
    })) << ReadFile(folder / "report/comparison.csv");
    EXPECT_TRUE(std::regex_match(report.back(), std::regex("cn0_mean_difference_dbhz,0\\.0000,-?[0-9]+\\.[0-9]{4}")))
        << report.back();
    for (const char* receiver : {"rover-a", "rover-b"}) {
        EXPECT_TRUE(std::filesystem::exists(folder / (std::string("report/") + receiver + "/summary.json"))) << receiver;
    }
}

// What a user gets wrong, or what goes wrong with one source of several, and what the run then does.
TEST(MultiSource, ARepeatedPortIsRefusedAndABadSourceFailsAloneInTheExitStatus) {
    ScratchFolder folder;
    const std::string a = folder / "rover-a";
    const std::string b = folder / "rover-b";
    const auto first = Receiver(a, "binary", "60");
    const auto second = Receiver(b, "nmea", "60");
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::vector<std::string> output;  // texts the output holds
        std::vector<std::string> errors;
    };
    const Case cases[] = {
        // The same receiver by another path.
        {{"--port", a, "--port", b, "--port", folder / "./rover-a"}, 1, {}, {"--port " + folder / "./rover-a" + " is given twice"}},
        {{"--port", a, "--port", folder / "absent", "--seconds", "4"},
         3, {"\nrover-a: "}, {"rover-a: Connected (Vexa Binary)\n", "absent: bytes 0, "}},
        {{"--port", a, "--port", b, "--json", "--seconds", "4"},
         0, {"{\"class\":\"TPV\",\"device\":\"" + a + "\",\"mode\":3", "{\"class\":\"SKY\",\"device\":\"" + b + "\""}, {}},
    };
    for (const Case& c : cases) {
        ProgramRun program(VEXADEMO_CLI, c.arguments, {.output = folder / "out", .errors = folder / "err"});
        EXPECT_EQ(program.Wait(20s), c.status) << c.arguments.back();
        const std::string output = "\n" + ReadFile(folder / "out");
        const std::string errors = ReadFile(folder / "err");
        for (const std::string& text : c.output) EXPECT_NE(output.find(text), std::string::npos) << text << "\n" << output;
        for (const std::string& text : c.errors) EXPECT_NE(errors.find(text), std::string::npos) << text << "\n" << errors;
    }
}

// A server that sends sentences as fast as the connection takes them, beside a receiver at its line
// rate, into an output read slowly: the flood loses its own lines, counted; the receiver loses none.
TEST(MultiSource, AFloodingSourceLosesOnlyItsOwnLines) {
    ScratchFolder folder;
    const std::string rover = folder / "rover-a";
    const auto receiver = Receiver(rover, "binary", "60");
    LoopbackServer server;
    const std::string flood = "tcp://127.0.0.1:" + std::to_string(server.port());
    ProgramRun program(VEXADEMO_CLI, {"--port", flood, "--port", rover, "--seconds", "5"},
                       {.output = std::nullopt, .errors = folder / "err"});
    ASSERT_TRUE(server.accept(10s));
    std::atomic<bool> flooding{true};
    std::thread sender([&] {
        const LoopbackServer::Bytes capture = MakeNmeaCapture(60);
        while (flooding && server.sendSome(capture, 100ms) >= 0) {
        }
    });
    std::string output;
    for (auto end = std::chrono::steady_clock::now() + 15s; std::chrono::steady_clock::now() < end;) {
        const std::string read = ProgramRun::ReadUntil(program.Output(), [](const std::string& text) { return text.size() >= 4096; }, 20ms);
        if (read.empty() && program.Wait(0ms)) break;
        output += read;
        std::this_thread::sleep_for(20ms);
    }
    flooding = false;
    sender.join();
    EXPECT_EQ(program.Wait(10s), 0);

    const std::string errors = ReadFile(folder / "err");
    EXPECT_TRUE(std::regex_search(errors, std::regex("\n127\\.0\\.0\\.1:[0-9]+: vexademo-cli: [0-9]+ lines not printed"))) << errors;
    EXPECT_EQ(errors.find("rover-a: vexademo-cli:"), std::string::npos) << errors;
    // Each of the receiver's messages is a line, a few a second once it is found; how soon it is
    // found depends on the machine's load, so only a handful are asked for.
    std::size_t roverLines = 0;
    for (const std::string& line : Lines(output)) roverLines += line.starts_with("rover-a: ") ? 1 : 0;
    EXPECT_GE(roverLines, 5u);
}

}  // namespace
}  // namespace vexa
