#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/demo_app.h"
#include "app/main_frame.h"
#include "app/no_display_hint.h"
#include "app/unattended_prompts.h"
#include "uicore/ui_context.h"

namespace vexa {
namespace {

std::string Hint(std::vector<std::string_view> arguments) {
    return NoDisplayHint("/opt/vexa/bin/vexademo", "/home/ada/demo maps", arguments);
}

TEST(NoDisplayHint, RepeatsTheProgramAndItsArgumentsOnAVirtualDisplay) {
    const std::string hint = Hint({"--simulate", "--map", "my maps/Old Town.gst", "--product", "it's"});
    EXPECT_NE(hint.find("\n    cd '/home/ada/demo maps' && xvfb-run -a /opt/vexa/bin/vexademo --simulate "
                        "--map 'my maps/Old Town.gst' --product 'it'\\''s'\n"),
              std::string::npos)
        << hint;
    EXPECT_NE(hint.find("scripts/bootstrap"), std::string::npos);
}

TEST(NoDisplayHint, TheRunWithoutADisplayConnectsAndSavesScreenshots) {
    EXPECT_NE(Hint({}).find("\n    cd '/home/ada/demo maps' && QT_QPA_PLATFORM=offscreen /opt/vexa/bin/vexademo "
                            "--simulate --connect --screenshots vexademo-screenshots\n"),
              std::string::npos)
        << Hint({});
    // What the user gave is kept and not asked for twice.
    const std::string own = Hint({"--port", "/dev/ttyUSB0", "--connect", "--screenshots", "shots"});
    EXPECT_NE(own.find("QT_QPA_PLATFORM=offscreen /opt/vexa/bin/vexademo --port /dev/ttyUSB0 --connect "
                       "--screenshots shots\n"),
              std::string::npos)
        << own;
}

std::string Printed(std::FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
    return text;
}

TEST(UnattendedPrompts, PrintMessagesAndCancelFileDialogs) {
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(out);
    UnattendedPrompts prompts(out);
    prompts.ShowMessage(nullptr, QStringLiteral("Could not open Geoset file.\r\nMap won't be available"));
    prompts.ShowCaptionedMessage(nullptr, QStringLiteral("SW Version"), QStringLiteral("Sim 1.0"));
    EXPECT_FALSE(prompts.GetOpenFileName(nullptr, FileRequest{}));
    EXPECT_FALSE(prompts.GetSaveFileName(nullptr, FileRequest{}));
    prompts.ShowWaitNotice(nullptr);
    prompts.CloseWaitNotice();
    EXPECT_EQ(Printed(out), "vexademo: VexaDemoPPC: Could not open Geoset file. Map won't be available\n"
                            "vexademo: SW Version: Sim 1.0\n");
    std::fclose(out);
}

// Starts the program with `options` and gives the titles of the dialogs that waited for an answer
// (a watchdog closes each one it finds); `whileRunning` looks at the started program.
class UnattendedStart : public testing::Test {
protected:
    UnattendedStart() { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path()); }
    ~UnattendedStart() override { std::fclose(printed); }

    QStringList Start(const DemoOptions& options, const std::function<void(CDemoApp&)>& whileRunning) {
        QStringList waited;
        QTimer watchdog;
        QObject::connect(&watchdog, &QTimer::timeout, [&waited] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                waited.append(modal->windowTitle());
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            }
        });
        watchdog.start(50);
        CDemoApp demo(options, prompts, QStringLiteral("vexademo-unattended-%1").arg(QCoreApplication::applicationPid()));
        EXPECT_TRUE(demo.InitInstance());
        whileRunning(demo);
        return waited;
    }

    QTemporaryDir settingsFolder;
    std::FILE* printed = std::tmpfile();
    UnattendedPrompts prompts{printed};
};

TEST_F(UnattendedStart, ConnectWithoutAProductAsksNothingAndTakesKestrel) {
    DemoOptions options;
    options.simulate = true;
    options.connect = true;
    const QStringList waited = Start(options, [](CDemoApp& demo) {
        EXPECT_EQ(demo.Ui().receiver.ProductSelection, kKestrel);
    });
    EXPECT_TRUE(waited.isEmpty()) << waited.join(", ").toStdString();
}

TEST_F(UnattendedStart, AScreenshotRunPrintsItsMessagesAndCancelsEveryDialog) {
    DemoOptions options;
    options.simulate = true;
    options.connect = true;
    options.product = kOsprey;
    options.screenshotsFolder = settingsFolder.filePath("shots").toStdString();
    options.seconds = 600;
    options.mapFile = "/nonexistent/Old Town.gst";
    const QStringList waited = Start(options, [](CDemoApp& demo) {
        EXPECT_EQ(demo.Ui().receiver.ProductSelection, kOsprey);
        QDialog later(demo.MainFrame());
        later.setWindowTitle(QStringLiteral("Display Properties"));
        EXPECT_EQ(demo.Ui().RunModal(later), QDialog::Rejected);
    });
    EXPECT_TRUE(waited.isEmpty()) << waited.join(", ").toStdString();
    EXPECT_NE(Printed(printed).find("Could not open Geoset file. Map won't be available"), std::string::npos);
}

}  // namespace
}  // namespace vexa
