#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "sim/assistance_server.h"
#include "sim/program_options.h"

namespace {

// Replaces an earlier symbolic link at `path`, never another kind of file.
bool MakeLink(const std::string& path, const std::string& target) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) std::filesystem::remove(path, error);
    std::filesystem::create_symlink(target, path, error);
    if (error) std::fprintf(stderr, "vexasim: cannot link %s: %s\n", path.c_str(), error.message().c_str());
    return !error;
}

void RemoveLink(const std::string& path, const std::string& target) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error) && std::filesystem::read_symlink(path, error) == target) {
        std::filesystem::remove(path, error);
    }
}

// Waits for SIGINT or SIGTERM (blocked in every thread), or until `seconds` have passed.
void WaitForEnd(const sigset_t& signals, const std::optional<double>& seconds) {
    if (!seconds) {
        int signal = 0;
        sigwait(&signals, &signal);
        return;
    }
    timespec timeout{};
    timeout.tv_sec = static_cast<time_t>(*seconds);
    timeout.tv_nsec = static_cast<long>((*seconds - std::floor(*seconds)) * 1e9);
    while (sigtimedwait(&signals, nullptr, &timeout) < 0 && errno == EINTR) {
    }
}

// The counts as one line of name and number pairs, as vexademo-cli closes its run with.
bool WriteCounts(const std::string& path, const vexa::sim::SentCounts& counts) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr) {
        std::fprintf(stderr, "vexasim: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    std::fprintf(file,
                 "bytes %llu, frames %llu, sentences %llu, messages over the line rate %llu, "
                 "bytes not taken %llu\n",
                 static_cast<unsigned long long>(counts.bytes), static_cast<unsigned long long>(counts.frames),
                 static_cast<unsigned long long>(counts.sentences),
                 static_cast<unsigned long long>(counts.messagesOverLineRate),
                 static_cast<unsigned long long>(counts.bytesNotTaken));
    const bool written = std::ferror(file) == 0;
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "vexasim: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const vexa::sim::ParsedOptions parsed = vexa::sim::ParseProgramOptions(arguments);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "vexasim: %s\n%s", parsed.error.c_str(), vexa::sim::kProgramUsage);
        return 2;
    }
    if (parsed.options.help) {
        std::fputs(vexa::sim::kProgramUsage, stdout);
        return 0;
    }
    if (parsed.options.version) {
        std::puts("vexasim " VEXA_VERSION);
        return 0;
    }

    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    try {
        vexa::sim::ReceiverSimulator simulator(parsed.options.simulator);
        std::printf("%s\n", simulator.slavePath().c_str());
        std::optional<vexa::sim::AssistanceServer> server;
        if (parsed.options.masPort) {
            vexa::sim::AssistanceServerConfig config;
            config.port = *parsed.options.masPort;
            config.seed = parsed.options.simulator.receiver.seed;
            server.emplace(config);
            std::printf("%u\n", static_cast<unsigned>(server->port()));
            server->start();
        }
        std::fflush(stdout);
        const std::string& link = parsed.options.linkPath;
        if (!link.empty() && !MakeLink(link, simulator.slavePath())) return 1;
        simulator.start();
        WaitForEnd(signals, parsed.options.seconds);
        simulator.stop();
        if (server) server->stop();
        if (!link.empty()) RemoveLink(link, simulator.slavePath());
        const std::string& counts = parsed.options.countsPath;
        if (!counts.empty() && !WriteCounts(counts, simulator.sentCounts())) return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "vexasim: %s\n", error.what());
        return 1;
    }
    return 0;
}
