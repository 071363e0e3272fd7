// Runs the location client's network sessions, four new ones a second, against a server that sends
// nothing but random frames and random bytes as fast as the connection takes them, and reports what
// that costs the client: its CPU time and its resident memory, once a minute and at the end.
//
//   vexa-hostile-soak [SECONDS]   (default 600)
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#include "location/session/location_client.h"
#include "platform/tcp_socket.h"
#include "receiver/frames/frame_writer.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

volatile sig_atomic_t serverStopping = 0;

void StopServer(int) { serverStopping = 1; }

// One chunk of hostile traffic: mostly well-framed messages with random ids and bodies of any length
// up to past the client's limit, the rest bare random bytes.
std::vector<std::uint8_t> HostileChunk(std::mt19937& random, std::uint64_t& frames) {
    std::vector<std::uint8_t> chunk;
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 4100);
    while (chunk.size() < 16384) {
        std::vector<std::uint8_t> body(static_cast<std::size_t>(length(random)));
        for (auto& value : body) value = static_cast<std::uint8_t>(byte(random));
        if (byte(random) < 180) {
            const std::uint8_t id[] = {static_cast<std::uint8_t>(byte(random) % 16)};
            vexa::AppendFrame(chunk, id, body, std::nullopt);
            ++frames;
        } else {
            chunk.insert(chunk.end(), body.begin(), body.end());
        }
    }
    return chunk;
}

// The server's process: serves one connection after another until told to stop, then prints totals.
int RunHostileServer(int listener) {
    struct sigaction stop {};
    stop.sa_handler = StopServer;
    sigaction(SIGTERM, &stop, nullptr);
    std::mt19937 random(12345);
    std::uint64_t bytes = 0;
    std::uint64_t frames = 0;
    std::uint64_t connections = 0;
    while (!serverStopping) {
        pollfd waiting{listener, POLLIN, 0};
        if (poll(&waiting, 1, 200) != 1) continue;
        const int peer = vexa::AcceptTcp(listener);
        if (peer < 0) continue;
        ++connections;
        while (!serverStopping) {
            const std::vector<std::uint8_t> chunk = HostileChunk(random, frames);
            const long sent = vexa::SendTcp(peer, chunk.data(), chunk.size(), std::chrono::seconds(1));
            if (sent < 0) break;  // the client hung up
            bytes += static_cast<std::uint64_t>(sent);
        }
        vexa::CloseTcp(peer);
    }
    std::printf("server: %llu connections, %llu frames, %.1f MB sent\n", static_cast<unsigned long long>(connections),
                static_cast<unsigned long long>(frames), static_cast<double>(bytes) / 1e6);
    std::fflush(stdout);  // the process ends with _exit
    return 0;
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    status >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 600.0;
    if (!(seconds > 0)) {
        std::fprintf(stderr, "usage: vexa-hostile-soak [SECONDS]\n");
        return 1;
    }
    const int listener = vexa::ListenTcp("127.0.0.1", 0);
    if (listener < 0) {
        std::perror("vexa-hostile-soak: cannot listen on 127.0.0.1");
        return 1;
    }
    const std::uint16_t port = vexa::LocalPort(listener);
    std::fflush(stdout);
    const pid_t server = fork();
    if (server < 0) {
        std::perror("vexa-hostile-soak: fork");
        return 1;
    }
    if (server == 0) _exit(RunHostileServer(listener));
    ::close(listener);  // only this process's descriptor: a shutdown would stop the server's listening too

    std::atomic<std::uint64_t> texts{0};
    vexa::ClientProfile profile;
    profile.hostAiding = 0;
    profile.serverPort = port;
    profile.callbacks.display = [&texts](std::string_view) { ++texts; };
    profile.callbacks.externalWrite = [](const std::uint8_t*, std::size_t) {};
    vexa::LocationClient client;
    if (!client.create(profile)) {
        std::fprintf(stderr, "vexa-hostile-soak: the location client could not be made\n");
        kill(server, SIGKILL);
        return 1;
    }

    const auto start = SteadyClock::now();
    const auto end = start + std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(seconds));
    auto nextReport = start + std::chrono::minutes(1);
    std::uint64_t sessions = 0;
    std::printf("minute  resident KB  CPU s  sessions  status texts\n");
    while (SteadyClock::now() < end) {
        // A hostile frame soon ends the session's network part while the session waits on for a
        // receiver that never answers, so a new session (a new connection) starts four times a second.
        client.stopSession();
        if (client.startNetworkSession()) ++sessions;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        if (SteadyClock::now() >= nextReport) {
            nextReport += std::chrono::minutes(1);
            std::printf("%6lld  %11ld  %5.1f  %8llu  %llu\n",
                        static_cast<long long>(std::chrono::duration_cast<std::chrono::minutes>(SteadyClock::now() - start).count()),
                        ResidentKilobytes(), CpuSeconds(), static_cast<unsigned long long>(sessions),
                        static_cast<unsigned long long>(texts.load()));
            std::fflush(stdout);
        }
    }
    client.close();
    kill(server, SIGTERM);
    int status = 0;
    waitpid(server, &status, 0);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("client: %.0f s, %.1f s CPU, %ld KB resident at the end, %ld KB at the peak, %llu sessions\n", seconds,
                CpuSeconds(), ResidentKilobytes(), usage.ru_maxrss, static_cast<unsigned long long>(sessions));
    return 0;
}
