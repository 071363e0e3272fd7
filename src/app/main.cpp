#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/demo_app.h"
#include "app/no_display_hint.h"
#include "app/program_icon.h"
#include "app/qt_prompts.h"
#include "app/unattended_prompts.h"

namespace {

bool DisplayAvailable() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const vexa::ParsedDemoOptions parsed = vexa::ParseDemoOptions(arguments);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "vexademo: %s\n%s", parsed.error.c_str(), vexa::kDemoUsage);
        return 2;
    }
    if (parsed.options.help) {
        std::fputs(vexa::kDemoUsage, stdout);
        return 0;
    }
    if (parsed.options.version) {
        std::puts("vexademo " VEXA_VERSION);
        return 0;
    }
    if (const std::string problem = vexa::ReplayProblem(parsed.options); !problem.empty()) {
        std::fprintf(stderr, "vexademo: %s\n", problem.c_str());
        return 1;
    }
    if (!DisplayAvailable()) {
        std::error_code error;
        const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
        const std::filesystem::path folder = std::filesystem::current_path(error);
        std::fputs(vexa::NoDisplayHint(program.empty() ? argv[0] : program.string(), folder.string(), arguments).c_str(),
                   stderr);
        return 1;
    }
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vexa"));
    QApplication::setApplicationName(QStringLiteral("VexaDemoPPC"));
    QApplication::setWindowIcon(vexa::ProgramIcon());

    vexa::QtPrompts interactive;
    vexa::UnattendedPrompts unattended;
    const bool attended = parsed.options.screenshotsFolder.empty();
    vexa::CDemoApp demo(parsed.options, attended ? static_cast<vexa::Prompts&>(interactive) : unattended);
    if (!demo.InitInstance()) {
        std::fputs("vexademo: the program is already running for this user; its window is brought forward\n", stderr);
        // A run that was to leave something behind (screenshots) has not done so.
        return attended ? 0 : 1;
    }
    return QApplication::exec();
}
