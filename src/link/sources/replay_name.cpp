#include "link/sources/replay_name.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace vexa {
namespace {

constexpr std::string_view kScheme = "replay";
constexpr std::string_view kSpeedKey = "speed=";
constexpr std::string_view kLoopWord = "loop";

std::string SpeedText(double speed) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, speed);
    return std::string(text, result.ptr);
}

}  // namespace

const char* const kReplaySpeedRange = "a number from 0.1 to 50";

double SteppedReplaySpeed(double speed, int steps) {
    static constexpr std::array kSteps{0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0};
    static_assert(kSteps.front() == ReplayPace::kSlowest && kSteps.back() == ReplayPace::kFastest);
    const auto last = static_cast<std::ptrdiff_t>(kSteps.size()) - 1;
    // The first step at or above the speed going down, the last at or below it going up.
    std::ptrdiff_t from = std::ranges::lower_bound(kSteps, speed) - kSteps.begin();
    if (steps > 0 && (from > last || kSteps[static_cast<std::size_t>(from)] > speed)) --from;
    return kSteps[static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(from + steps, 0, last))];
}

bool IsReplayName(std::string_view name) {
    if (!name.starts_with(kScheme)) return false;
    const std::string_view rest = name.substr(kScheme.size());
    return rest.starts_with(':') || rest.starts_with(',');
}

std::optional<double> ParseReplaySpeed(std::string_view text) {
    double speed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), speed);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!(speed >= ReplayPace::kSlowest && speed <= ReplayPace::kFastest)) return std::nullopt;
    return speed;
}

std::optional<ReplayName> ParseReplayName(std::string_view name, std::string& problem) {
    const std::size_t colon = name.find(':');
    if (!IsReplayName(name) || colon == std::string_view::npos) {
        problem = std::string(name) + ": not a replay name (replay:PATH)";
        return std::nullopt;
    }
    ReplayName parsed;
    parsed.path = std::string(name.substr(colon + 1));
    std::string_view options = name.substr(kScheme.size(), colon - kScheme.size());
    while (!options.empty()) {
        options.remove_prefix(1);  // the comma
        const std::string_view option = options.substr(0, options.find(','));
        options.remove_prefix(option.size());
        if (option == kLoopWord) {
            parsed.pace.loop = true;
        } else if (option.starts_with(kSpeedKey)) {
            const std::optional<double> speed = ParseReplaySpeed(option.substr(kSpeedKey.size()));
            if (!speed) {
                problem = "the replay speed must be " + std::string(kReplaySpeedRange) + ", not " +
                          std::string(option.substr(kSpeedKey.size()));
                return std::nullopt;
            }
            parsed.pace.speed = *speed;
        } else {
            problem = "unknown replay option '" + std::string(option) + "' (speed=N or loop)";
            return std::nullopt;
        }
    }
    if (parsed.path.empty()) {
        problem = "a replay name needs a capture file: replay:PATH";
        return std::nullopt;
    }
    return parsed;
}

std::string MakeReplayName(const std::string& path, ReplayPace pace) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    std::string name(kScheme);
    if (pace.speed != ReplayPace::kLineRate) name += "," + std::string(kSpeedKey) + SpeedText(pace.speed);
    if (pace.loop) name += "," + std::string(kLoopWord);
    return name + ":" + (error ? path : absolute.lexically_normal().string());
}

}  // namespace vexa
