#include "cli/session_command.h"

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

#include "cli/cli_options.h"
#include "link/gps_comm.h"
#include "link/location_client_host.h"
#include "link/connection/port_open_failure.h"
#include "platform/clock.h"
#include "platform/result_codes.h"
#include "receiver/product/product_table.h"
#include "receiver/product/receiver_context.h"

namespace vexa {

namespace {

constexpr std::chrono::milliseconds kLinkPoll{20};

constexpr const char* kSessionUsage =
    "usage: vexademo-cli --session autonomous|network --product osprey --port PATH [--baud N]\n"
    "                    [--server ADDR:PORT] [--fixes N] [--seconds S]\n";

std::optional<unsigned long> WholeNumber(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9) return std::nullopt;
    return std::stoul(text);
}

// "ADDR:PORT" with a dotted IPv4 address (at most 19 characters are used) and a port of 1 to 65535.
bool ParseServer(const std::string& text, SessionOptions& options) {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    const auto port = WholeNumber(text.substr(colon + 1));
    if (!port || *port == 0 || *port > 65535) return false;
    options.serverAddress = text.substr(0, colon);
    options.serverPort = static_cast<std::uint16_t>(*port);
    return true;
}

// What the client tells while the session runs: its texts and fixes are printed as they come, and
// the runner waits for the fixes.
class SessionWatch {
public:
    explicit SessionWatch(std::FILE* output) : output_(output) {}

    void text(std::string_view line) {
        std::lock_guard lock(mutex_);
        std::fprintf(output_, "%.*s\n", static_cast<int>(line.size()), line.data());
        std::fflush(output_);
    }
    void fix(const PositionResult& result) {
        {
            std::lock_guard lock(mutex_);
            ++fixes_;
            std::fprintf(output_, "POSITION %u: %.6f %.6f %d\n", fixes_, static_cast<double>(result.latitude),
                         static_cast<double>(result.longitude), static_cast<int>(result.altitude));
            std::fflush(output_);
        }
        changed_.notify_all();
    }
    // The deadline is on `clock`, which need not be the machine's: the wait is measured on it.
    bool awaitFixes(unsigned count, const Clock& clock, SteadyTime deadline) {
        std::unique_lock lock(mutex_);
        for (SteadyTime now = clock.SteadyNow(); now < deadline; now = clock.SteadyNow()) {
            if (changed_.wait_for(lock, deadline - now, [&] { return fixes_ >= count; })) return true;
        }
        return fixes_ >= count;
    }

private:
    std::FILE* output_;
    std::mutex mutex_;
    std::condition_variable changed_;
    unsigned fixes_ = 0;
};

}  // namespace

bool AsksForSession(const std::vector<std::string>& arguments) {
    for (const auto& argument : arguments) {
        if (argument == "--session") return true;
    }
    return false;
}

std::optional<SessionOptions> ParseSessionOptions(const std::vector<std::string>& arguments, std::string& error) {
    SessionOptions options;
    bool kindGiven = false;
    bool osprey = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        const OptionRow<CliOption>* option = FindCliOption(name, kSessionMode);
        if (option == nullptr || !option->In(kSessionMode)) {
            error = name.starts_with("-") ? RefusedOptionText(name, "with --session") : "unexpected '" + name + "'";
            return std::nullopt;
        }
        if (option->TakesValue() && i + 1 >= arguments.size()) {
            error = name + " needs a value";
            return std::nullopt;
        }
        const std::string value = option->TakesValue() ? arguments[++i] : std::string();
        switch (option->id) {
        case CliOption::kSession:
            if (value != "autonomous" && value != "network") {
                error = "--session takes autonomous or network";
                return std::nullopt;
            }
            options.network = value == "network";
            kindGiven = true;
            break;
        case CliOption::kSessionProduct:
            if (ProductNamed(value) != kOsprey) {
                error = "a session needs --product osprey";
                return std::nullopt;
            }
            osprey = true;
            break;
        case CliOption::kPort: options.portPath = value; break;
        case CliOption::kSessionBaud: {
            const auto baud = WholeNumber(value);
            if (!baud || !option->range->Holds(static_cast<double>(*baud))) {
                error = "--baud takes a rate";
                return std::nullopt;
            }
            options.baud = static_cast<int>(*baud);
            break;
        }
        case CliOption::kServer:
            if (!ParseServer(value, options)) {
                error = "--server takes ADDR:PORT";
                return std::nullopt;
            }
            break;
        case CliOption::kFixes: {
            const auto fixes = WholeNumber(value);
            if (!fixes || !option->range->Holds(static_cast<double>(*fixes))) {
                error = "--fixes takes 1 to 65535";
                return std::nullopt;
            }
            options.fixes = static_cast<unsigned>(*fixes);
            break;
        }
        case CliOption::kSessionSeconds: {
            char* end = nullptr;
            options.seconds = std::strtod(value.c_str(), &end);
            if (end == value.c_str() || *end != '\0' || !option->range->Holds(options.seconds)) {
                error = "--seconds takes a positive number";
                return std::nullopt;
            }
            break;
        }
        default: break;  // the options of the other modes, refused above
        }
    }
    if (!kindGiven || !osprey || options.portPath.empty()) {
        error = "a session needs --session, --product osprey and --port";
        return std::nullopt;
    }
    return options;
}

int RunSession(const SessionOptions& options, ClientServices services, std::FILE* output, std::FILE* errors) {
    const Clock& clock = services.clock;
    const SteadyTime deadline =
        clock.SteadyNow() + std::chrono::duration_cast<SteadyTime::duration>(std::chrono::duration<double>(options.seconds));
    SessionWatch watch(output);
    ClientProfile profile;
    // A session of the host's kind uses the server only when the host does not bring the aiding.
    profile.hostAiding = options.network ? 0 : 1;
    profile.serverAddress = options.serverAddress;
    profile.serverPort = options.serverPort;
    profile.numFixes = static_cast<std::uint16_t>(options.fixes);
    profile.callbacks.display = [&watch](std::string_view text) { watch.text(text); };
    profile.callbacks.position = [&watch](const PositionResult& result) { watch.fix(result); };

    ReceiverContext context;
    context.ProductSelection = kOsprey;
    std::unique_ptr<GpsComm> comm = GpsComm::Create(context, clock);
    std::optional<LocationClientHost> location;
    if (comm) location.emplace(*comm, profile, std::move(services));
    if (!comm || comm->Connect(options.portPath, options.baud) != kResultOk) {
        const std::string text =
            comm ? ConnectFailureText(*comm, options.portPath, {}) : PortOpenFailureText(options.portPath, 0, {});
        std::fprintf(errors, "vexademo-cli: %s\n", text.c_str());
        return kExitSessionNoPort;
    }
    // The session starts once the receiver's binary link is up, so that its location channels are open.
    while (context.LinkProtocol.load() != kBinaryProtocol && clock.SteadyNow() < deadline) {
        std::this_thread::sleep_for(kLinkPoll);
    }
    // Both session kinds last for the number of fixes; the profile decides whether the server is asked.
    location->client().startNetworkSession();
    const bool fixed = watch.awaitFixes(options.fixes, clock, deadline);
    location.reset();
    comm.reset();
    return fixed ? kExitSessionFixed : kExitSessionNoFix;
}

int RunSessionCommand(const std::vector<std::string>& arguments, std::FILE* output, std::FILE* errors,
                      const Clock& clock) {
    std::string error;
    const std::optional<SessionOptions> options = ParseSessionOptions(arguments, error);
    if (!options) {
        std::fprintf(errors, "vexademo-cli: %s\n%s", error.c_str(), kSessionUsage);
        return kExitSessionBadUsage;
    }
    return RunSession(*options, ClientServices{.clock = clock}, output, errors);
}

}  // namespace vexa
