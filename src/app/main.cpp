#include <QApplication>
#include <cstdio>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/demo_app.h"
#include "app/program_icon.h"
#include "app/qt_prompts.h"

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
    if (!DisplayAvailable()) {
        std::fputs("vexademo: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "  run it on a virtual display:  xvfb-run -a vexademo ...\n"
                   "  or without any display:      QT_QPA_PLATFORM=offscreen vexademo --connect --screenshots DIR ...\n",
                   stderr);
        return 1;
    }
    if (parsed.options.scale > 1) qputenv("QT_SCALE_FACTOR", QByteArray::number(parsed.options.scale));

    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vexa"));
    QApplication::setApplicationName(QStringLiteral("VexaDemoPPC"));
    QApplication::setWindowIcon(vexa::ProgramIcon());

    vexa::QtPrompts prompts;
    vexa::CDemoApp demo(parsed.options, prompts);
    if (!demo.InitInstance()) return 0;
    return QApplication::exec();
}
