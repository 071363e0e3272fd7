// A receiver on loopback TCP that sends NMEA as fast as each connection takes it, for measuring what
// a flood costs a program: the simulated receiver's four-system output, over and over.
//
//   vexa-flood-server [--seconds S] [--port N]
//       serves on 127.0.0.1 for S seconds (default 60) and prints its address first:
//       tcp://127.0.0.1:PORT
//   vexa-flood-server [--seconds S] [--port N] -- PROGRAM [ARGUMENT...]
//       also starts PROGRAM, with "{}" in its arguments replaced by that address, prints its
//       resident memory every 5 s to standard error, sends it SIGTERM when the S seconds are over
//       and prints how long it took to end. PROGRAM's standard output is this tool's; its standard
//       error goes to /dev/null.
//
// Example: vexa-flood-server --seconds 60 -- vexademo-cli --port {} | sleep 70
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/tcp_socket.h"
#include "sim/sample_capture.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kUsage = "usage: vexa-flood-server [--seconds S] [--port N] [-- PROGRAM [ARGUMENT...]]";
constexpr int kLongestRun = 24 * 3600;
constexpr int kCaptureSeconds = 600;
constexpr auto kSampleInterval = 5s;
constexpr auto kPatienceAfterTerm = 10s;

struct Options {
    int seconds = 60;
    int port = 0;
    std::vector<std::string> program;
};

bool ParseNumber(std::string_view text, int lowest, int highest, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= lowest && value <= highest;
}

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            options.program.assign(argv + i + 1, argv + argc);
            return !options.program.empty();
        }
        if (i + 1 >= argc) return false;
        const std::string_view value = argv[++i];
        if (argument == "--seconds") {
            if (!ParseNumber(value, 1, kLongestRun, options.seconds)) return false;
        } else if (argument == "--port") {
            if (!ParseNumber(value, 0, 65535, options.port)) return false;
        } else {
            return false;
        }
    }
    return true;
}

// Sends the capture round and round until the end or until the peer hangs up.
void Flood(int peer, const std::vector<std::uint8_t>& capture, Clock::time_point end, std::atomic<std::uint64_t>& sent) {
    std::size_t at = 0;
    while (Clock::now() < end) {
        const std::size_t size = std::min<std::size_t>(capture.size() - at, 64 * 1024);
        const long count = vexa::SendTcp(peer, capture.data() + at, size, 200ms);
        if (count < 0) break;
        sent += static_cast<std::uint64_t>(count);
        at = (at + static_cast<std::size_t>(count)) % capture.size();
    }
    vexa::CloseTcp(peer);
}

long ResidentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/statm");
    long pages = 0;
    long resident = 0;
    status >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

pid_t StartProgram(std::vector<std::string> arguments, const std::string& address) {
    for (std::string& argument : arguments) {
        for (std::size_t at; (at = argument.find("{}")) != std::string::npos;) argument.replace(at, 2, address);
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Samples the program's memory until the end, then stops it and tells how long that took.
void Watch(pid_t pid, Clock::time_point start, Clock::time_point end) {
    std::fprintf(stderr, "second  resident KB\n");
    for (auto next = start + kSampleInterval; next <= end; next += kSampleInterval) {
        std::this_thread::sleep_until(next);
        std::fprintf(stderr, "%6lld  %11ld\n",
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(next - start).count()),
                     ResidentKilobytes(pid));
    }
    std::this_thread::sleep_until(end);
    const auto term = Clock::now();
    kill(pid, SIGTERM);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() - term > kPatienceAfterTerm) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            std::fprintf(stderr, "the program did not end within %lld s of SIGTERM and was killed\n",
                         static_cast<long long>(std::chrono::duration_cast<std::chrono::seconds>(kPatienceAfterTerm).count()));
            return;
        }
        std::this_thread::sleep_for(1ms);
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - term);
    std::fprintf(stderr, "SIGTERM to exit: %lld ms, exit status %d\n", static_cast<long long>(took.count()),
                 WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 1;
    }
    const int listener = vexa::ListenTcp("127.0.0.1", static_cast<std::uint16_t>(options.port));
    if (listener < 0) {
        std::perror("vexa-flood-server: cannot listen on 127.0.0.1");
        return 1;
    }
    const std::string address = "tcp://127.0.0.1:" + std::to_string(vexa::LocalPort(listener));
    const std::vector<std::uint8_t> capture = vexa::MakeNmeaCapture(kCaptureSeconds);
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(options.seconds);
    pid_t program = -1;
    if (options.program.empty()) {
        std::printf("%s\n", address.c_str());
        std::fflush(stdout);
    } else if ((program = StartProgram(options.program, address)) < 0) {
        std::fprintf(stderr, "vexa-flood-server: cannot start %s\n", options.program.front().c_str());
        return 1;
    }
    std::thread watcher;
    if (program > 0) watcher = std::thread(Watch, program, start, end);

    std::atomic<std::uint64_t> sent{0};
    std::vector<std::thread> floods;
    while (Clock::now() < end) {
        pollfd waiting{listener, POLLIN, 0};
        if (poll(&waiting, 1, 100) != 1) continue;
        const int peer = vexa::AcceptTcp(listener);
        if (peer >= 0) floods.emplace_back(Flood, peer, std::cref(capture), end, std::ref(sent));
    }
    for (std::thread& flood : floods) flood.join();
    vexa::CloseTcp(listener);
    if (watcher.joinable()) watcher.join();
    std::fprintf(stderr, "%zu connections, %.1f MB sent in %d s\n", floods.size(), static_cast<double>(sent) / 1e6,
                 options.seconds);
    return 0;
}
