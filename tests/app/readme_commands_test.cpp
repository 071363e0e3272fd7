#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <fnmatch.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/tcp_socket.h"
#include "sim/receiver_simulator.h"
#include "support/gpsd_process.h"

namespace vexa::test {
namespace {

// Every command line README.md shows, and every example of each program's --help, run as shown
// (with the few stand-ins below) against simulated receivers for a few seconds. None may be refused
// (an unknown option, a usage error), crash, or name a path that is not there. The commands are
// read from README.md when the test runs, so a command added there is covered at once.
//
// Which shown texts are commands: README's code spans and indented code lines that start (after any
// VARIABLE=value) with one of the programs, or with a program of the build (build/...). A synopsis
// (with [...], a|b or a placeholder such as FILE) and a mention (the program alone, or with an
// option that needs a value and has none) are not run: their options must be ones the program's
// --help lists. gpsd, which a command needs, runs too; the scripts are not run here: scripts/test
// runs the README's first command itself, and the others build, install or take many minutes.
//
// Stand-ins for what the commands name and this machine does not have:
//   /dev/ttyUSB0             a simulated receiver (binary protocol, 57600 baud) on a pseudo-terminal
//   /dev/pts/N               a simulated receiver (NMEA, 4800 baud), for gpsd to read
//   /tmp/                    a folder of the test's own (where the simulator makes its --link names)
//   -S 2947, gpsd://localhost  a free port on loopback for that gpsd
//   res/, build/             the checkout's res/ and the build tree the test belongs to (commands
//                            run in a folder of their own, where they write what they write)
//   capture.bin              the sample capture, res/samples/demo.bin
//   --seconds N              at most 3 seconds
// A command ending in & runs in the background until the commands shown with it have run.

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kSourceDir = VEXA_SOURCE_DIR;
const fs::path kBuildDir = VEXA_BUILD_DIR;
constexpr std::string_view kProgramDirs = VEXA_PROGRAM_DIRS;
constexpr std::string_view kPrograms[] = {"vexademo", "vexademo-cli", "vexasim"};
constexpr auto kTimeLimit = 4s;
constexpr double kLongestSeconds = 3;

std::vector<std::string> Words(std::string_view text) {
    std::istringstream stream{std::string(text)};
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

std::string Joined(const std::vector<std::string>& words, std::size_t from = 0) {
    std::string text;
    for (std::size_t i = from; i < words.size(); ++i) text += (text.empty() ? "" : " ") + words[i];
    return text;
}

bool IsAssignment(const std::string& word) { return std::regex_match(word, std::regex("[A-Za-z_][A-Za-z0-9_]*=.*")); }

// The program a command runs: its first word after the variables it sets.
std::string ProgramOf(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        if (!IsAssignment(word)) return word;
    }
    return {};
}

bool IsOurs(const std::string& program) {
    return std::find(std::begin(kPrograms), std::end(kPrograms), program) != std::end(kPrograms) ||
           program.starts_with("build/");
}

// A synopsis rather than a command: optional parts, alternatives or a placeholder.
bool IsSynopsis(const std::vector<std::string>& words) {
    static const std::regex placeholder(R"([A-Z][A-Z0-9_,:-]*(\.\.\.)?)");
    for (const std::string& word : words) {
        if (word.find_first_of("[]") != std::string::npos || word.ends_with("...")) return true;
        if (word != "|" && word.find('|') != std::string::npos) return true;
        if (word.find('/') == std::string::npos && std::regex_match(word, placeholder)) return true;
    }
    return false;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

struct Shown {
    std::string text;
    std::string where;
};

// README's code spans (whitespace inside them made single spaces) and its indented code lines.
std::vector<Shown> ReadmeTexts() {
    const std::string readme = ReadFile(kSourceDir / "README.md");
    std::vector<Shown> shown;
    static const std::regex span("`([^`]+)`");
    for (auto it = std::sregex_iterator(readme.begin(), readme.end(), span); it != std::sregex_iterator(); ++it) {
        shown.push_back({Joined(Words((*it)[1].str())), "README.md"});
    }
    std::istringstream rest(std::regex_replace(readme, span, ""));
    for (std::string line; std::getline(rest, line);) {
        if (line.starts_with("    ")) shown.push_back({Joined(Words(line)), "README.md, a code line"});
    }
    return shown;
}

// Runs /bin/sh -c COMMAND in a process group of its own, in `folder`, with the build's programs
// first on PATH and settings and temporary files of its own; its output goes to files beside.
class ShellRun {
public:
    ShellRun(const std::string& command, const fs::path& folder, int number) : command_(command) {
        const fs::path own = folder / ("run-" + std::to_string(number));
        fs::create_directories(own / "config");
        output_ = own / "stdout";
        errors_ = own / "stderr";
        std::vector<std::string> environment;
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string_view entry(*variable);
            if (!entry.starts_with("PATH=") && !entry.starts_with("XDG_CONFIG_HOME=") && !entry.starts_with("TMPDIR=")) {
                environment.emplace_back(entry);
            }
        }
        const char* path = std::getenv("PATH");
        environment.push_back("PATH=" + std::string(kProgramDirs) + ":" + (path != nullptr ? path : "/usr/bin:/bin"));
        environment.push_back("XDG_CONFIG_HOME=" + (own / "config").string());
        environment.push_back("TMPDIR=" + own.string());
        std::vector<char*> envp;
        for (std::string& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);
        std::string shell = "/bin/sh";
        std::string flag = "-c";
        char* argv[] = {shell.data(), flag.data(), command_.data(), nullptr};

        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        posix_spawnattr_t attributes;
        ::posix_spawnattr_init(&attributes);
        ::posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        ::posix_spawnattr_setpgroup(&attributes, 0);
        if (::posix_spawn(&pid_, argv[0], &actions, &attributes, argv, envp.data()) != 0) pid_ = -1;
        ::posix_spawnattr_destroy(&attributes);
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~ShellRun() { Stop(); }
    ShellRun(const ShellRun&) = delete;
    ShellRun& operator=(const ShellRun&) = delete;

    bool Ended() {
        if (pid_ > 0 && ::waitpid(pid_, &status_, WNOHANG) == pid_) pid_ = -1;
        return pid_ <= 0;
    }
    // Waits for the end, for at most `patience`; true when it ended.
    bool WaitForEnd(std::chrono::milliseconds patience) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        while (!Ended() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(20ms);
        return Ended();
    }
    // Ends the whole group, as a user's Ctrl-C would end a pipeline; killed if it will not end.
    void Stop() {
        if (Ended()) return;
        stopped_ = true;
        ::kill(-pid_, SIGTERM);
        if (WaitForEnd(10s)) return;
        ::kill(-pid_, SIGKILL);
        WaitForEnd(10s);
    }

    std::string Output() const { return ReadFile(output_); }
    std::string Errors() const { return ReadFile(errors_); }

    // Why the run went wrong, once it ended; empty when it did not.
    std::string Problem() const {
        const std::string said = Output() + Errors();
        const auto says = [&](std::string_view text) { return said.find(text) != std::string::npos; };
        if (says("unknown option") || says("Usage:") || says("usage:")) return "refused";
        if (says("Sanitizer") || says("runtime error:")) return "a sanitizer finding";
        const bool byUs = stopped_;
        if (WIFSIGNALED(status_) && !(byUs && (WTERMSIG(status_) == SIGTERM || WTERMSIG(status_) == SIGKILL))) {
            return "died of signal " + std::to_string(WTERMSIG(status_));
        }
        if (WIFEXITED(status_) && WEXITSTATUS(status_) > 128 && !(byUs && WEXITSTATUS(status_) == 128 + SIGTERM)) {
            return "died of signal " + std::to_string(WEXITSTATUS(status_) - 128);
        }
        if (says("No such file or directory") || says(": not found")) return "a missing path";
        return {};
    }
    const std::string& Command() const { return command_; }

private:
    std::string command_;
    fs::path output_;
    fs::path errors_;
    pid_t pid_ = -1;
    int status_ = 0;
    bool stopped_ = false;
};

// A program's --help.
std::string HelpOf(const std::string& program, const fs::path& folder) {
    ShellRun help(program + " --help", folder, 0);
    help.WaitForEnd(30s);
    return help.Output();
}

// The options a --help names, in its usage lines, its text and its list of options, and whether
// each takes a value (a placeholder such as FILE, or alternatives such as binary|nmea, after it).
std::map<std::string, bool> NamedOptions(const std::string& help) {
    std::map<std::string, bool> options;
    static const std::regex named(R"((--[a-z][a-z-]*)( ([A-Z][A-Z0-9_,:|-]*|[a-z]+\|[a-z|]+))?)");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), named); it != std::sregex_iterator(); ++it) {
        options[(*it)[1]] = options[(*it)[1]] || (*it)[2].matched;
    }
    return options;
}

// The receivers, folder and ports the commands run against, and the stand-ins for what they name.
class Stage {
public:
    explicit Stage(const fs::path& folder) : folder_(folder) {
        fs::create_directories(folder_);
        const int probe = ListenTcp("127.0.0.1", 0);
        gpsdPort_ = std::to_string(LocalPort(probe));
        CloseTcp(probe);
    }

    const fs::path& Folder() const { return folder_; }

    std::string StandIns(std::string command) {
        ReplaceAll(command, "/dev/ttyUSB0", [&] { return Receiver(sim::Protocol::Binary, 57600); });
        ReplaceAll(command, "/dev/pts/N", [&] { return Receiver(sim::Protocol::Nmea, 4800); });
        ReplaceAll(command, "/tmp/", [&] { return folder_.string() + "/"; });
        ReplaceAll(command, "-S 2947", [&] { return "-S " + gpsdPort_; });
        command = std::regex_replace(command, std::regex("gpsd://localhost(?!:)"), "gpsd://localhost:" + gpsdPort_);
        command = std::regex_replace(command, std::regex("(^| |=)res/"), "$1" + (kSourceDir / "res").string() + "/");
        command = std::regex_replace(command, std::regex("(^| )build/"), "$1" + kBuildDir.string() + "/");
        ReplaceAll(command, "capture.bin", [] { return (kSourceDir / "res/samples/demo.bin").string(); });
        std::smatch seconds;
        if (std::regex_search(command, seconds, std::regex(R"(--seconds ([0-9.]+))")) &&
            std::stod(seconds[1]) > kLongestSeconds) {
            command.replace(seconds.position(1), seconds.length(1), std::to_string(static_cast<int>(kLongestSeconds)));
        }
        return command;
    }

private:
    template <class Make>
    static void ReplaceAll(std::string& text, std::string_view from, Make make) {
        for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
            const std::string to = make();
            text.replace(at, from.size(), to);
            at += to.size();
        }
    }

    std::string Receiver(sim::Protocol protocol, int baud) {
        sim::SimulatorOptions options;
        options.receiver.protocol = protocol;
        options.receiver.baud = baud;
        receivers_.push_back(std::make_unique<sim::ReceiverSimulator>(options));
        receivers_.back()->start();
        return receivers_.back()->slavePath();
    }

    fs::path folder_;
    std::string gpsdPort_;
    std::vector<std::unique_ptr<sim::ReceiverSimulator>> receivers_;
};

// Until what a command started in the background offers is there: the --link names it makes, the
// port gpsd listens on (-S), or else its first output.
void AwaitReady(ShellRun& run, const std::vector<std::string>& words) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    const auto ready = [&] {
        for (std::size_t i = 0; i + 1 < words.size(); ++i) {
            if (words[i] == "--link" && !fs::exists(words[i + 1])) return false;
            if (words[i] == "-S") {
                const int connection = ConnectTcp("127.0.0.1", static_cast<std::uint16_t>(std::stoi(words[i + 1])), 100ms);
                if (connection < 0) return false;
                CloseTcp(connection);
                return true;
            }
        }
        return std::find(words.begin(), words.end(), "--link") != words.end() || !run.Output().empty();
    };
    while (!ready() && !run.Ended() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(50ms);
}

// Runs the commands among `shown` in their order and checks each run, synopsis and mention; gives
// the number of commands run.
int RunShown(const std::vector<Shown>& shown, Stage& stage) {
    std::map<std::string, std::map<std::string, bool>> optionsOf;
    for (std::string_view program : kPrograms) {
        optionsOf[std::string(program)] = NamedOptions(HelpOf(std::string(program), stage.Folder()));
    }
    // Commands in the background, and whether they are ours to judge (gpsd is not).
    std::vector<std::pair<std::unique_ptr<ShellRun>, bool>> background;
    int run = 0;
    int number = 1;
    for (const Shown& item : shown) {
        std::vector<std::string> words = Words(item.text);
        const std::string program = ProgramOf(words);
        const bool helper = program == "gpsd";
        if (!IsOurs(program) && !helper) continue;
        const std::string context = item.where + ": `" + item.text + "`";
        const auto programAt = std::find(words.begin(), words.end(), program);
        const std::size_t argumentCount = static_cast<std::size_t>(words.end() - programAt) - 1;
        const bool lacksItsValue = argumentCount == 1 && optionsOf[program][words.back()];
        if (!helper && (argumentCount == 0 || lacksItsValue || IsSynopsis(words))) {
            // A synopsis or a mention: the program is there and names every option it shows.
            if (program.starts_with("build/")) {
                EXPECT_TRUE(fs::exists(kBuildDir / program.substr(6))) << context << ": no such program";
                continue;
            }
            for (std::string word : words) {
                word.erase(0, word.find_first_not_of('['));
                if (!word.starts_with("--")) continue;
                word = word.substr(0, word.find_first_of("]=."));
                EXPECT_TRUE(optionsOf[program].contains(word)) << context << ": " << program << " --help has no " << word;
            }
            continue;
        }
        if (helper && GpsdProgram().empty()) continue;
        const bool inBackground = helper || words.back() == "&";
        if (words.back() == "&") words.pop_back();
        const std::string command = stage.StandIns(Joined(words));
        auto started = std::make_unique<ShellRun>(command, stage.Folder(), number++);
        ++run;
        if (inBackground) {
            AwaitReady(*started, Words(command));
            EXPECT_FALSE(started->Ended()) << context << " ended at once:\n" << started->Errors();
            background.emplace_back(std::move(started), !helper);
            continue;
        }
        if (!started->WaitForEnd(kTimeLimit)) started->Stop();
        EXPECT_EQ(started->Problem(), "") << context << "\n  ran as: " << command << "\n" << started->Errors();
    }
    for (auto& [started, ours] : background) {
        started->Stop();
        if (ours) EXPECT_EQ(started->Problem(), "") << started->Command() << "\n" << started->Errors();
    }
    return run;
}

class ReadmeCommands : public ::testing::Test {
protected:
    fs::path folder = fs::temp_directory_path() / ("vexa-readme-" + std::to_string(::getpid()));
    ~ReadmeCommands() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

// One after the other: the README's simulator and a help example's both serve the location client
// on the port the README names.
TEST_F(ReadmeCommands, EveryCommandOfTheReadmeAndEveryExampleOfEachHelpRuns) {
    Stage readme(folder / "readme");
    EXPECT_GE(RunShown(ReadmeTexts(), readme), 10);

    Stage helps(folder / "help");
    std::vector<Shown> examples;
    // The simulator's first: the other programs' examples use the receivers they make.
    for (std::string_view program : {"vexasim", "vexademo-cli", "vexademo"}) {
        std::istringstream help(HelpOf(std::string(program), helps.Folder()));
        for (std::string line; std::getline(help, line);) {
            if (line.starts_with("  $ ")) examples.push_back({line.substr(4), std::string(program) + " --help"});
        }
    }
    EXPECT_GE(RunShown(examples, helps), 6);
}

// Every path README.md names in the checkout is there, and so is every one it names in the build
// tree (build/...); build-package/ is made by scripts/package.
TEST_F(ReadmeCommands, EveryPathTheReadmeNamesIsThere) {
    const std::string readme = ReadFile(kSourceDir / "README.md");
    static const std::regex path(R"((?:^|[\s(`'"])(?:\./)?((?:build|res|docs|scripts|src|tests|bench|fuzz|cmake)/[A-Za-z0-9_./*-]*))");
    int checked = 0;
    for (auto it = std::sregex_iterator(readme.begin(), readme.end(), path); it != std::sregex_iterator(); ++it) {
        std::string named = (*it)[1].str();
        while (named.ends_with(".")) named.pop_back();
        // Up to a placeholder (fuzz/corpus/TARGET/).
        if (const auto placeholder = std::regex_search(named, std::regex("/[A-Z]+(/|$)")); placeholder) {
            named = named.substr(0, named.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") - 1);
        }
        fs::path where = named.starts_with("build/") ? kBuildDir / named.substr(6) : kSourceDir / named;
        bool found = fs::exists(where);
        if (!found && named.find('*') != std::string::npos && fs::is_directory(where.parent_path())) {
            for (const auto& entry : fs::directory_iterator(where.parent_path())) {
                found = found || ::fnmatch(where.filename().c_str(), entry.path().filename().c_str(), 0) == 0;
            }
        }
        EXPECT_TRUE(found) << named;
        ++checked;
    }
    EXPECT_GE(checked, 20);
}

}  // namespace
}  // namespace vexa::test
