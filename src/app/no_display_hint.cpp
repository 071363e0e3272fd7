#include "app/no_display_hint.h"

#include <algorithm>
#include <vector>

namespace vexa {

namespace {

constexpr std::string_view kScreenshotsFolder = "vexademo-screenshots";

// Quoted for a POSIX shell when it holds anything but plain word characters.
std::string ShellWord(std::string_view word) {
    const bool plain = !word.empty() && std::ranges::all_of(word, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               std::string_view("_-./=:,+@%").find(c) != std::string_view::npos;
    });
    if (plain) return std::string(word);
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string CommandLine(std::string_view program, const std::vector<std::string_view>& arguments) {
    std::string line = ShellWord(program);
    for (std::string_view argument : arguments) line += " " + ShellWord(argument);
    return line;
}

bool Has(std::span<const std::string_view> arguments, std::string_view name) {
    return std::ranges::find(arguments, name) != arguments.end();
}

}  // namespace

std::string NoDisplayHint(std::string_view program, std::string_view folder,
                          std::span<const std::string_view> arguments) {
    const std::vector<std::string_view> asGiven(arguments.begin(), arguments.end());
    // Unattended, the run needs something to connect to and somewhere to put its pictures.
    std::vector<std::string_view> unattended = asGiven;
    if (!Has(arguments, "--simulate") && !Has(arguments, "--port")) unattended.push_back("--simulate");
    if (!Has(arguments, "--connect")) unattended.push_back("--connect");
    if (!Has(arguments, "--screenshots")) {
        unattended.push_back("--screenshots");
        unattended.push_back(kScreenshotsFolder);
    }
    const std::string cd = "cd " + ShellWord(folder) + " && ";
    return "vexademo: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
           "  run it on a virtual display (xvfb-run comes with the xvfb package; scripts/bootstrap installs it):\n"
           "    " + cd + "xvfb-run -a " + CommandLine(program, asGiven) + "\n"
           "  or without any display, saving a picture of the window and of every page:\n"
           "    " + cd + "QT_QPA_PLATFORM=offscreen " + CommandLine(program, unattended) + "\n";
}

}  // namespace vexa
