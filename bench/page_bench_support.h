#pragma once

// What the page benchmarks share: an offscreen application and settings and prompts that do nothing.
#include <QApplication>
#include <memory>
#include <optional>

#include "uicore/prompts.h"
#include "uicore/settings_sections.h"

namespace vexa::bench {

inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "bench_pages";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
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
