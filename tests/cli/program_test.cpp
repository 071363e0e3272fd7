// vexademo-cli started as a user starts it, against real peers: loopback servers, pipes it reads and
// pipes nobody reads, files.
#include <gtest/gtest.h>

#include <sys/ioctl.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/sample_capture.h"
#include "support/frame_bytes.h"
#include "support/log_file_text.h"
#include "support/loopback_server.h"
#include "support/nmea_text.h"
#include "support/program_run.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::Frame;
using test::Join;
using test::LoopbackServer;
using test::ProgramRun;
using test::ReadFile;
using test::ScratchFolder;
using test::Sentence;
using test::Text;

const std::string kSample = std::string(VEXA_SOURCE_DIR) + "/res/samples/demo.bin";

std::string Address(const LoopbackServer& server) { return "tcp://127.0.0.1:" + std::to_string(server.port()); }

// Waits until the file holds `text`; false after `patience`.
bool FileShows(const std::string& path, const std::string& text, std::chrono::milliseconds patience = 15s) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (ReadFile(path).find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

Bytes Sentences(int count) {
    Bytes bytes;
    for (int i = 0; i < count; ++i) {
        const Bytes sentence = Text(Sentence("GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.1"));
        bytes.insert(bytes.end(), sentence.begin(), sentence.end());
    }
    return bytes;
}

// A receiver that sends as fast as the connection takes it while nobody reads the program's output:
// the program drops and counts the lines it cannot print, and a signal still ends it at once, with
// its counts.
TEST(CliProgram, OutputNobodyReadsCostsCountedLinesAndASignalStillEndsTheRun) {
    ScratchFolder folder;
    LoopbackServer server;
    ProgramRun program(VEXADEMO_CLI, {"--port", Address(server)}, {.output = std::nullopt, .errors = folder / "err"});
    ASSERT_TRUE(program.Started());
    ASSERT_TRUE(server.accept(10s));
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        const Bytes capture = MakeNmeaCapture(60);
        while (flooding && server.sendSome(capture, 100ms) >= 0) {
        }
    });
    EXPECT_TRUE(FileShows(folder / "err", "Connected (NMEA)\n"));
    // Far more lines than the pipe and the program's buffer hold.
    std::this_thread::sleep_for(3s);
    program.Signal(SIGTERM);
    const std::optional<int> status = program.Wait(3s);
    flooding = false;
    flood.join();
    ASSERT_TRUE(status) << "still running three seconds after SIGTERM";
    EXPECT_EQ(*status, 0);
    const std::string errors = ReadFile(folder / "err");
    EXPECT_NE(errors.find(" lines not printed: standard output did not take them in time\n"), std::string::npos)
        << errors;
    EXPECT_NE(errors.find("\nbytes "), std::string::npos) << errors;
}

// A decode of a pipe that is still open, ended by SIGTERM, keeps everything it decoded.
TEST(CliProgram, ADecodeEndedBySignalKeepsWhatItDecoded) {
    ScratchFolder folder;
    ProgramRun program(VEXADEMO_CLI,
                       {"--decode", "-", "--log", folder / "d.log", "--gpx", folder / "d.gpx"},
                       {.input = std::nullopt, .output = folder / "d.out", .errors = folder / "err"});
    ASSERT_TRUE(program.Started());
    const std::string capture = ReadFile(kSample);
    ASSERT_EQ(::write(program.Input(), capture.data(), capture.size()), static_cast<ssize_t>(capture.size()));
    // The program has taken every byte once the pipe is empty again.
    int waiting = 1;
    for (int i = 0; i < 500 && waiting > 0; ++i) {
        ::ioctl(program.Input(), FIONREAD, &waiting);
        std::this_thread::sleep_for(10ms);
    }
    std::this_thread::sleep_for(200ms);
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(5s), 128 + SIGTERM);
    EXPECT_EQ(ReadFile(folder / "d.out"), ReadFile(std::string(VEXA_SOURCE_DIR) + "/res/samples/demo.decode.txt"));
    EXPECT_NE(ReadFile(folder / "d.log").find("\r\nLog file closed "), std::string::npos);
    EXPECT_NE(ReadFile(folder / "d.gpx").find("<trkpt "), std::string::npos);
    EXPECT_TRUE(ReadFile(folder / "err").starts_with("bytes 33172, frames 319, sentences 120, dropped 3"))
        << ReadFile(folder / "err");
}

// An output that is the input, or another output, is refused before anything is opened for writing.
TEST(CliProgram, AnOutputThatIsTheInputOrAnotherOutputIsRefused) {
    ScratchFolder folder;
    const std::string capture = folder / "x.bin";
    std::filesystem::copy_file(kSample, capture);
    std::filesystem::create_hard_link(capture, folder / "hard.bin");
    std::filesystem::create_symlink(capture, folder / "soft.bin");
    std::filesystem::create_directory(folder / "sub");
    { std::ofstream(folder / "existing.txt") << "kept"; }
    struct Case {
        std::vector<std::string> arguments;
        std::string message;  // empty: accepted
    };
    const std::string hard = folder / "hard.bin";
    const std::string soft = folder / "soft.bin";
    const std::string existing = folder / "existing.txt";
    const std::string fresh = folder / "new.txt";
    const Case cases[] = {
        {{"--decode", capture, "--log", capture}, "--log " + capture + " is the same file as --decode " + capture},
        {{"--decode", capture, "--gpx", hard}, "--gpx " + hard + " is the same file as --decode " + capture},
        {{"--decode", soft, "--log", capture}, "--log " + capture + " is the same file as --decode " + soft},
        {{"--decode", capture, "--log", existing, "--gpx", existing},
         "--gpx " + existing + " is the same file as --log " + existing},
        {{"--decode", capture, "--log", fresh, "--gpx", folder / "sub/../new.txt"},
         "--gpx " + folder / "sub/../new.txt" + " is the same file as --log " + fresh},
        {{"--port", "tcp://127.0.0.1:9", "--log", fresh, "--record", fresh},
         "--record " + fresh + " is the same file as --log " + fresh},
        {{"--port", "replay:" + capture, "--record", hard}, "--record " + hard + " is the same file as --port " + capture},
        {{"--decode", capture, "--log", "/dev/null", "--gpx", "/dev/null"}, ""},
    };
    for (const Case& c : cases) {
        ProgramRun program(VEXADEMO_CLI, c.arguments, {.output = "/dev/null", .errors = folder / "err"});
        const std::optional<int> status = program.Wait(20s);
        const std::string errors = ReadFile(folder / "err");
        if (c.message.empty()) {
            EXPECT_EQ(status, 0) << errors;
            continue;
        }
        EXPECT_EQ(status, 1) << c.message;
        EXPECT_NE(errors.find(c.message + "; nothing was written\n"), std::string::npos) << errors;
        EXPECT_EQ(ReadFile(capture), ReadFile(kSample)) << c.message;
        EXPECT_EQ(ReadFile(folder / "existing.txt"), "kept") << c.message;
        EXPECT_FALSE(std::filesystem::exists(folder / "new.txt")) << c.message;
    }
}

// Texts from a receiver and from a server never reach the user's terminal as control bytes.
TEST(CliProgram, ReceiverAndServerTextsArriveWithVisibleEscapes) {
    ScratchFolder folder;
    const std::string capture = folder / "hostile.bin";
    const Bytes debugText = Join({Bytes{0xFF}, Text("owned\x1b]0;pwned\a\x1b[2J")});
    {
        std::ofstream file(capture, std::ios::binary);
        const Bytes bytes = Join({Frame(debugText), Text("$GPTXT,\x1b[2J*00\r\n")});
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    ProgramRun decode(VEXADEMO_CLI, {"--decode", capture, "--log", folder / "d.log"},
                      {.output = folder / "d.out", .errors = folder / "d.err"});
    EXPECT_EQ(decode.Wait(20s), 0);
    EXPECT_EQ(ReadFile(folder / "d.out"), "owned\\x1b]0;pwned\\x07\\x1b[2J\n");
    EXPECT_NE(ReadFile(folder / "d.log").find("owned\\x1b]0;pwned\\x07\\x1b[2J\r\n"), std::string::npos);
    EXPECT_NE(ReadFile(folder / "d.err").find("dropped 1 (bad checksum 0, bad length 0, unprintable sentence 1)"),
              std::string::npos)
        << ReadFile(folder / "d.err");

    // A gpsd that refuses the watch with a message of its own making.
    LoopbackServer gpsd;
    ProgramRun live(VEXADEMO_CLI,
                    {"--port", "gpsd://127.0.0.1:" + std::to_string(gpsd.port()), "--seconds", "3"},
                    {.output = folder / "l.out", .errors = folder / "l.err"});
    ASSERT_TRUE(gpsd.accept(10s));
    gpsd.send(Text("{\"class\":\"ERROR\",\"message\":\"\x1b]0;pwned\a\"}\n"));
    EXPECT_EQ(live.Wait(20s), 2);
    EXPECT_NE(ReadFile(folder / "l.err").find("\\x1b]0;pwned\\x07"), std::string::npos) << ReadFile(folder / "l.err");
    for (const char* name : {"d.out", "d.err", "d.log", "l.out", "l.err"}) {
        const std::string text = ReadFile(folder / name);
        EXPECT_EQ(text.find('\x1b'), std::string::npos) << name;
        EXPECT_EQ(text.find('\a'), std::string::npos) << name;
    }
}

// A server that closes after a few sentences is tried again; one that goes quiet, and one that
// closes a connection that was found, are reported with their reason; the search goes on.
TEST(CliProgram, NetworkStatusSaysWhyAndTheSearchGoesOn) {
    ScratchFolder folder;
    LoopbackServer server;
    const std::string address = Address(server);
    ProgramRun program(VEXADEMO_CLI, {"--port", address}, {.output = "/dev/null", .errors = folder / "err"});
    ASSERT_TRUE(server.accept(10s));
    server.send(Sentences(3));
    server.hangUp();
    ASSERT_TRUE(server.accept(10s)) << "a source that closed before it was found is tried again";
    server.send(Sentences(3));
    const std::string closed = "Not connected: Connection closed by 127.0.0.1:" + std::to_string(server.port()) + "\n";
    const std::string quiet = "Connected (NMEA)\nNo data from " + address + " for 5 s\n";
    EXPECT_TRUE(FileShows(folder / "err", quiet));
    server.hangUp();
    EXPECT_TRUE(FileShows(folder / "err", quiet + closed));
    ASSERT_TRUE(server.accept(10s)) << "a lost source is tried again";
    server.send(Sentences(3));
    EXPECT_TRUE(FileShows(folder / "err", quiet + closed + "Connected (NMEA)\n"));
    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(5s), 0);
    EXPECT_TRUE(ReadFile(folder / "err").starts_with("Please wait...\n" + closed + quiet + closed +
                                                     "Connected (NMEA)\nbytes "))
        << ReadFile(folder / "err");
}

TEST(CliProgram, ASilentServerIsReportedAndTriedUntilTheRunEnds) {
    ScratchFolder folder;
    LoopbackServer server;
    ProgramRun program(VEXADEMO_CLI, {"--port", Address(server), "--seconds", "9"},
                       {.output = "/dev/null", .errors = folder / "err"});
    ASSERT_TRUE(server.accept(10s));
    ASSERT_TRUE(server.accept(10s)) << "tried again after the first five seconds";
    EXPECT_EQ(program.Wait(20s), 2);
    const std::string errors = ReadFile(folder / "err");
    EXPECT_TRUE(errors.starts_with("Please wait...\nNot connected: No data from " + Address(server) + " for 5 s\nbytes 0,"))
        << errors;
}

// What the user gets wrong, and outputs that fail, end the run with a status that says so.
TEST(CliProgram, BadSourceNamesAreUsageErrorsAndALogThatFailsFailsTheRun) {
    ScratchFolder folder;
    struct Case {
        std::string port;
        std::string message;
    };
    const Case cases[] = {
        {"tcp://gnss-box", "Not a TCP source: tcp://gnss-box (tcp://HOST:PORT)"},
        {"gpsd://:2947", "Not a gpsd source: gpsd://:2947"},
        {"replay,speed=99:" + kSample, "the replay speed must be"},
    };
    for (const Case& c : cases) {
        ProgramRun program(VEXADEMO_CLI, {"--port", c.port, "--seconds", "5"},
                           {.output = "/dev/null", .errors = folder / "err"});
        EXPECT_EQ(program.Wait(10s), 1) << c.port;
        EXPECT_TRUE(ReadFile(folder / "err").starts_with("vexademo-cli: " + c.message)) << ReadFile(folder / "err");
    }

    LoopbackServer server;
    ProgramRun program(VEXADEMO_CLI, {"--port", Address(server), "--seconds", "3", "--log", "/dev/full"},
                       {.output = "/dev/null", .errors = folder / "err"});
    ASSERT_TRUE(server.accept(10s));
    server.send(Sentences(3));
    EXPECT_EQ(program.Wait(20s), 1);
    EXPECT_NE(ReadFile(folder / "err").find("Disk is full. Log file will be closed.\n"), std::string::npos)
        << ReadFile(folder / "err");
}

}  // namespace
}  // namespace vexa
