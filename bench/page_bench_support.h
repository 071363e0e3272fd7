#pragma once

// What the page benchmarks share: an offscreen application and settings and prompts that do nothing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <optional>

#include "uicore/prompts.h"
#include "uicore/settings_sections.h"

namespace vexa::bench {

// The program's main: runs the benchmarks in an offscreen application that ends before the
// program does (one left to the static destructors outlives the Qt state it needs and crashes).
inline int RunInApplication(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

struct NoStore : SettingsSections {
    void LoadDisplaySettings() override {}
    void SaveDisplaySettings() override {}
    void LoadPlotSettings() override {}
    void SavePlotSettings() override {}
};

struct NoPrompts : Prompts {
    void ShowMessage(QWidget*, const QString&) override {}
    void ShowCaptionedMessage(QWidget*, const QString&, const QString&) override {}
    std::optional<QString> GetOpenFileName(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> GetSaveFileName(QWidget*, const FileRequest&) override { return std::nullopt; }
    std::optional<QString> GetText(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    void ShowWaitNotice(QWidget*) override {}
    void CloseWaitNotice() override {}
};

}  // namespace vexa::bench
