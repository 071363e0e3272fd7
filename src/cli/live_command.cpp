#include "cli/live_command.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>

#include "cli/live_session.h"
#include "cli/stop_signals.h"
#include "link/port_discovery.h"
#include "platform/file_problem.h"

namespace vexa {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kTickPeriod{1000};

// Waits for notifications until the next tick or the end, rounded up so that it never spins.
milliseconds Until(Clock::time_point when) {
    return std::chrono::ceil<milliseconds>(std::max(when - Clock::now(), Clock::duration::zero()));
}

// A display name stays on its own line whatever bytes the device reported.
std::string OnOneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    }
    return text;
}

}  // namespace

int RunLiveCommand(const CliOptions& options, std::FILE* output, std::FILE* errors) {
    StopSignals signals;
    const std::unique_ptr<LiveSession> session = LiveSession::Create(options.product, output, errors, {}, options.json);
    if (session == nullptr) {
        std::fprintf(errors, "vexademo-cli: the receiver link cannot be started\n");
        return kExitNotConnected;
    }
    if (!options.logPath.empty() && !session->OpenLog(options.logPath)) {
        const std::string reason = FileErrorText(options.logPath, errno);
        std::fprintf(errors, "vexademo-cli: cannot open the data log %s\n", reason.c_str());
        return kExitBadUsage;
    }
    if (!options.recordPath.empty()) {
        if (const int error = session->StartRecording(options.recordPath); error != 0) {
            const std::string reason = FileErrorText(options.recordPath, error);
            std::fprintf(errors, "vexademo-cli: cannot create the recording %s\n", reason.c_str());
            return kExitBadUsage;
        }
    }
    // Watched only while the session exists.
    signals.Watch([&session] { session->RequestStop(); });
    for (const ReceiverRequest& request : options.requests) session->Queue(request);

    const Clock::time_point start = Clock::now();
    const Clock::time_point end =
        options.seconds ? start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*options.seconds))
                        : Clock::time_point::max();
    Clock::time_point nextTick = start + kTickPeriod;
    session->Connect(options.portPaths.front(), options.baudSelection);
    while (!session->StopRequested() && !session->GaveUp() && Clock::now() < end) {
        if (Clock::now() >= nextTick) {
            session->Tick();
            nextTick += kTickPeriod;
            continue;
        }
        session->HandleNotifications(Until(std::min(nextTick, end)));
    }
    signals.StopWatching();
    session->Finish();
    return session->ReceiverFound() ? kExitReceiverFound : kExitNotConnected;
}

int RunListPorts(const CliOptions& options, std::FILE* output) {
    PortDiscoveryOptions discovery;
    discovery.extraPaths = options.portPaths;
    for (const SerialPortEntry& port : DiscoverPorts(discovery)) {
        std::fprintf(output, "%s\t%s\n", OnOneLine(port.devicePath).c_str(), OnOneLine(port.displayName).c_str());
    }
    return 0;
}

}  // namespace vexa
