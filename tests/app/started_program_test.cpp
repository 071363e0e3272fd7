// The program started as a user starts it: the built vexademo, a process of its own, drawing
// offscreen, with its settings, runtime folder and temporary files in fresh folders.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sim/sample_capture.h"
#include "support/loopback_server.h"

namespace vexa::test {
namespace {

// Long enough for a sanitized build to start and end on a busy machine; a run still going after
// it is held up for good.
constexpr int kRunLimitMs = 90000;

struct ProgramRun {
    bool ended = false;
    int exitCode = -1;
    QString errors;  // what it printed on standard error
};

class StartedProgram : public ::testing::Test {
protected:
    StartedProgram() {
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
        environment_.insert(QStringLiteral("TMPDIR"), temporary_.path());
    }

    void Start(QProcess& program, const QStringList& arguments) {
        program.setProcessEnvironment(environment_);
        program.start(QStringLiteral(VEXADEMO_PROGRAM), arguments);
        ASSERT_TRUE(program.waitForStarted());
    }

    // Runs the program to its end; one still running after the limit is ended and reported as
    // not ended.
    ProgramRun RunToEnd(const QStringList& arguments) {
        QProcess program;
        Start(program, arguments);
        ProgramRun run;
        run.ended = program.waitForFinished(kRunLimitMs);
        if (!run.ended) {
            program.kill();
            program.waitForFinished();
        }
        run.exitCode = program.exitCode();
        run.errors = QString::fromLocal8Bit(program.readAllStandardError());
        return run;
    }

    // A run that saves the screenshots at once and ends.
    QStringList ScreenshotRun(const QStringList& more = {}) const {
        return QStringList{QStringLiteral("--simulate"), QStringLiteral("--connect"), QStringLiteral("--screenshots"),
                           Shots(), QStringLiteral("--seconds"), QStringLiteral("0")} +
               more;
    }
    QString Shots() const { return files_.filePath(QStringLiteral("shots")); }
    bool ScreenshotsSaved() const { return QFile::exists(Shots() + QStringLiteral("/window.png")); }

    QString InstanceSocket() const { return runtime_.filePath(QStringLiteral("vexademo-instance")); }

    QString Write(const QString& name, const QByteArray& text) const {
        QFile file(files_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    }
    QString Pipe(const QString& name) const {
        const QString path = files_.filePath(name);
        EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        return path;
    }

    QTemporaryDir runtime_;  // made closed to others, as a runtime folder must be
    QTemporaryDir config_;
    QTemporaryDir temporary_;
    QTemporaryDir files_;
    QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
};

// A second copy leaves, says why, and fails a run that was to leave screenshots behind.
TEST_F(StartedProgram, ASecondCopyBringsTheFirstForwardAndSaysWhyItLeaves) {
    QProcess first;
    Start(first, {QStringLiteral("--simulate"), QStringLiteral("--connect")});
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(InstanceSocket()) && first.state() == QProcess::Running && waited.elapsed() < kRunLimitMs) {
        QThread::msleep(50);
    }
    ASSERT_TRUE(QFile::exists(InstanceSocket())) << first.readAllStandardError().toStdString();

    const ProgramRun plain = RunToEnd({QStringLiteral("--simulate")});
    EXPECT_TRUE(plain.ended);
    EXPECT_EQ(plain.exitCode, 0);
    EXPECT_TRUE(plain.errors.contains(QStringLiteral("already running"))) << plain.errors.toStdString();

    const ProgramRun screenshots = RunToEnd(ScreenshotRun());
    EXPECT_TRUE(screenshots.ended);
    EXPECT_EQ(screenshots.exitCode, 1);
    EXPECT_TRUE(screenshots.errors.contains(QStringLiteral("already running"))) << screenshots.errors.toStdString();
    EXPECT_FALSE(ScreenshotsSaved());

    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

// A process that listens on a unix socket at `path` and answers every request as a first copy
// would, as whoever it runs as.
class AnsweringListener {
public:
    // Binds as this user and listens as `listenAs` (the kernel records the listener's user at
    // listen()); returns once it listens.
    AnsweringListener(const QString& path, uid_t listenAs) {
        const QByteArray name = QFile::encodeName(path);
        int listening[2];
        EXPECT_EQ(::pipe(listening), 0);
        pid_ = ::fork();
        if (pid_ != 0) {
            ::close(listening[1]);
            char ready = 0;
            EXPECT_EQ(::read(listening[0], &ready, 1), 1) << "the listener could not start";
            ::close(listening[0]);
            return;
        }
        const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, name.constData(), std::min<std::size_t>(name.size(), sizeof address.sun_path - 1));
        if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) ::_exit(1);
        if (::setuid(listenAs) != 0 || ::listen(listener, 8) != 0) ::_exit(1);
        (void)!::write(listening[1], "L", 1);
        for (;;) {
            const int peer = ::accept(listener, nullptr, nullptr);
            char request[64];
            if (peer >= 0 && ::read(peer, request, sizeof request) > 0) (void)!::write(peer, "raised\n", 7);
            ::close(peer);
        }
    }
    ~AnsweringListener() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    AnsweringListener(const AnsweringListener&) = delete;
    AnsweringListener& operator=(const AnsweringListener&) = delete;

private:
    pid_t pid_ = -1;
};

// What may lie in the way is no copy of this user's that answers: the program starts all the same.
TEST_F(StartedProgram, ASocketThatIsNoAnsweringCopyOfThisUserKeepsNoCopyFromStarting) {
    struct Case {
        const char* what;
        std::function<std::shared_ptr<void>()> placePeer;  // the peer lives as long as what it gives
    };
    const Case cases[] = {
        {"a socket where every user may make one, under the temporary folder",
         [this] {
             auto squatter = std::make_shared<QLocalServer>();
             squatter->setSocketOptions(QLocalServer::WorldAccessOption);
             EXPECT_TRUE(squatter->listen(temporary_.filePath(QStringLiteral("VexaDemoPPC-%1").arg(::getuid()))));
             return std::shared_ptr<void>(squatter);
         }},
        {"a hung copy that takes the request and never answers",
         [this] {
             auto hung = std::make_shared<QLocalServer>();
             EXPECT_TRUE(hung->listen(InstanceSocket()));
             return std::shared_ptr<void>(hung);
         }},
        {"another user's process answering in the runtime folder",
         [this]() -> std::shared_ptr<void> {
             if (::geteuid() != 0) return nullptr;  // only root can make a process of another user
             constexpr uid_t kNobody = 65534;
             return std::make_shared<AnsweringListener>(InstanceSocket(), kNobody);
         }},
    };
    for (const Case& c : cases) {
        QDir(Shots()).removeRecursively();
        QFile::remove(InstanceSocket());
        const std::shared_ptr<void> peer = c.placePeer();
        if (!peer) continue;
        const ProgramRun run = RunToEnd(ScreenshotRun());
        EXPECT_TRUE(run.ended) << c.what;
        EXPECT_EQ(run.exitCode, 0) << c.what << "\n" << run.errors.toStdString();
        EXPECT_TRUE(ScreenshotsSaved()) << c.what;
    }
}

// A named pipe given where a file belongs would wait for a writer before any window opens.
TEST_F(StartedProgram, ANamedPipeGivenAsAFileIsRefusedWithAMessageInsteadOfHangingTheStart) {
    const QString capturePipe = Pipe(QStringLiteral("capture.bin"));
    const QString layerPipe = Pipe(QStringLiteral("streets.geojson"));
    const QString geosetPipe = Pipe(QStringLiteral("pipe.gst"));
    const QString geoset = Write(QStringLiteral("town.gst"), "\"\\TABLE\\1\\FILE\" = \"streets.geojson\"\n");
    const struct {
        QStringList arguments;
        int exitCode;
        QString message;
        bool screenshots;
    } cases[] = {
        {{QStringLiteral("--replay"), capturePipe}, 1, capturePipe + ": a named pipe, not a regular file", false},
        {ScreenshotRun({QStringLiteral("--map"), geoset}), 0, layerPipe + "\": a named pipe, not a regular file", true},
        {ScreenshotRun({QStringLiteral("--map"), geosetPipe}), 0, geosetPipe + "\": a named pipe, not a regular file", true},
    };
    for (const auto& c : cases) {
        QDir(Shots()).removeRecursively();
        const ProgramRun run = RunToEnd(c.arguments);
        const std::string shown = c.arguments.join(' ').toStdString() + "\n" + run.errors.toStdString();
        EXPECT_TRUE(run.ended) << shown;
        EXPECT_EQ(run.exitCode, c.exitCode) << shown;
        EXPECT_TRUE(run.errors.contains(c.message)) << shown;
        EXPECT_EQ(ScreenshotsSaved(), c.screenshots) << shown;
    }
}

// A geoset of thousands of missing layers makes a message that fits on the screen.
TEST_F(StartedProgram, AGeosetOfThousandsOfMissingLayersListsAFewAndCountsTheRest) {
    QByteArray text;
    for (int table = 1; table <= 3000; ++table) text += QByteArray("\"\\TABLE\\") + QByteArray::number(table) + "\\FILE\" = \"gone.geojson\"\n";
    const ProgramRun run = RunToEnd(ScreenshotRun({QStringLiteral("--map"), Write(QStringLiteral("lost.gst"), text)}));
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.errors.count(QStringLiteral("Cannot open map layer")), 5) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QStringLiteral("and 2995 more map layers that could not be read."))) << run.errors.toStdString();
}

// A receiver on loopback that sends NMEA as fast as the program takes it: the updates for the pages
// fold into one of each kind, so the program's timers keep running; it takes its screenshots when
// --seconds are over and ends.
TEST_F(StartedProgram, AFloodOfSentencesLeavesTheTimersRunning) {
    LoopbackServer server;
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        while (flooding && !server.accept(std::chrono::milliseconds(100))) {
        }
        const LoopbackServer::Bytes capture = MakeNmeaCapture(60);
        while (flooding && server.sendSome(capture, std::chrono::milliseconds(100)) >= 0) {
        }
    });
    const QString address = QStringLiteral("tcp://127.0.0.1:%1").arg(server.port());
    const ProgramRun run = RunToEnd({QStringLiteral("--port"), address, QStringLiteral("--connect"),
                                     QStringLiteral("--screenshots"), Shots(), QStringLiteral("--seconds"),
                                     QStringLiteral("3")});
    flooding = false;
    flood.join();
    EXPECT_TRUE(run.ended) << "--seconds never fired";
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(ScreenshotsSaved());
}

}  // namespace
}  // namespace vexa::test
