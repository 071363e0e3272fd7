#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vexa::test {

// A folder of its own for one test's files, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vexa-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// One of the build's programs started as a user starts it. Each standard stream is a file named by
// the test, or, when none is named, a pipe whose other end the test holds (and may leave unread).
class ProgramRun {
public:
    struct Streams {
        std::optional<std::string> input = "/dev/null";
        std::optional<std::string> output;
        std::optional<std::string> errors;
    };

    ProgramRun(const std::string& program, const std::vector<std::string>& arguments, const Streams& streams) {
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        Attach(actions, STDIN_FILENO, streams.input, O_RDONLY, input_);
        Attach(actions, STDOUT_FILENO, streams.output, O_WRONLY | O_CREAT | O_TRUNC, output_);
        Attach(actions, STDERR_FILENO, streams.errors, O_WRONLY | O_CREAT | O_TRUNC, errors_);
        std::vector<std::string> words{program};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        ::posix_spawn_file_actions_destroy(&actions);
        for (const int childEnd : childEnds_) ::close(childEnd);
    }
    ~ProgramRun() {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        for (const int fd : {input_, output_, errors_}) {
            if (fd >= 0) ::close(fd);
        }
    }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    void Signal(int signal) const { ::kill(pid_, signal); }
    // The test's ends of the pipes (-1 for a stream that is a file).
    int Input() const { return input_; }
    int Output() const { return output_; }
    int Errors() const { return errors_; }
    void CloseInput() {
        ::close(input_);
        input_ = -1;
    }

    // The exit status as a shell gives it (128 + the signal for a program a signal ended), or nothing
    // when it has not ended within `patience`.
    std::optional<int> Wait(std::chrono::milliseconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!status_) {
            int raw = 0;
            const pid_t ended = ::waitpid(pid_, &raw, WNOHANG);
            if (ended == pid_) {
                status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            } else if (ended < 0 || std::chrono::steady_clock::now() > deadline) {
                return std::nullopt;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        return status_;
    }

    // What arrives on one of the test's pipe ends until `done` holds for it, the pipe closes, or
    // `patience` runs out.
    template <class Done>
    static std::string ReadUntil(int fd, Done done, std::chrono::milliseconds patience) {
        std::string text;
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!done(text) && std::chrono::steady_clock::now() < deadline) {
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 20) != 1) continue;
            char chunk[4096];
            const ssize_t count = ::read(fd, chunk, sizeof chunk);
            if (count <= 0) break;
            text.append(chunk, static_cast<std::size_t>(count));
        }
        return text;
    }
    static std::string ReadAll(int fd, std::chrono::milliseconds patience) {
        return ReadUntil(fd, [](const std::string&) { return false; }, patience);
    }

private:
    void Attach(posix_spawn_file_actions_t& actions, int stream, const std::optional<std::string>& path, int flags,
                int& testEnd) {
        if (path) {
            ::posix_spawn_file_actions_addopen(&actions, stream, path->c_str(), flags, 0644);
            return;
        }
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return;
        const bool childReads = stream == STDIN_FILENO;
        testEnd = ends[childReads ? 1 : 0];
        const int childEnd = ends[childReads ? 0 : 1];
        ::posix_spawn_file_actions_adddup2(&actions, childEnd, stream);
        childEnds_.push_back(childEnd);
    }

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int errors_ = -1;
    std::vector<int> childEnds_;
    std::optional<int> status_;
};

}  // namespace vexa::test
