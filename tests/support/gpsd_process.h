#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/tcp_socket.h"

extern char** environ;

namespace vexa::test {

// The gpsd program of the machine, or empty when it is not installed.
inline std::string GpsdProgram() {
    for (const char* path : {"/usr/sbin/gpsd", "/usr/local/sbin/gpsd", "/usr/bin/gpsd"}) {
        if (::access(path, X_OK) == 0) return path;
    }
    return {};
}

// A real gpsd in the foreground for one test: its own control socket and a free port on loopback,
// read-only towards the receiver (it never reconfigures it), opening its devices at once.
class GpsdProcess {
public:
    explicit GpsdProcess(const std::vector<std::string>& devices) {
        folder_ = std::filesystem::temp_directory_path() / ("vexa-gpsd-" + std::to_string(::getpid()) + "-" +
                                                            std::to_string(counter_++));
        std::filesystem::create_directories(folder_);
        const int probe = ListenTcp("127.0.0.1", 0);
        port_ = LocalPort(probe);
        CloseTcp(probe);
        std::vector<std::string> arguments = {GpsdProgram(), "-N", "-n", "-b", "-p", "-F",
                                              (folder_ / "control").string(), "-S", std::to_string(port_)};
        arguments.insert(arguments.end(), devices.begin(), devices.end());
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        // gpsd's complaints (no system bus, a device refused) go to its log, not the test's output.
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (folder_ / "log").c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~GpsdProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    GpsdProcess(const GpsdProcess&) = delete;
    GpsdProcess& operator=(const GpsdProcess&) = delete;

    std::uint16_t Port() const { return port_; }

    // Whether gpsd takes connections, waiting for it to start.
    bool Ready() const {
        using namespace std::chrono_literals;
        for (int attempt = 0; pid_ > 0 && attempt < 100; ++attempt) {
            const int fd = ConnectTcp("127.0.0.1", port_, 100ms);
            if (fd >= 0) {
                CloseTcp(fd);
                return true;
            }
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

private:
    static inline int counter_ = 0;
    std::filesystem::path folder_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace vexa::test
