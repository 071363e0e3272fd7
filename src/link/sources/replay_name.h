#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// How a capture is played: its line rate times `speed`, once or over and over.
struct ReplayPace {
    static constexpr double kSlowest = 0.1;
    static constexpr double kFastest = 50;
    static constexpr double kLineRate = 1;

    double speed = kLineRate;
    bool loop = false;
};

// A replayed capture as a port name: "replay:PATH", with its pace between the word and the colon
// when it is not the plain one: "replay,speed=10,loop:/home/ann/drive.bin". The path runs from the
// first colon to the end, so it may hold any character.
struct ReplayName {
    std::string path;
    ReplayPace pace;
};

bool IsReplayName(std::string_view name);
// The path and pace a replay name stands for; nothing, with `problem` saying why, when it is no
// usable replay name.
std::optional<ReplayName> ParseReplayName(std::string_view name, std::string& problem);
// The port name of a capture at `path` (made absolute, so that the name means the same file from
// any working folder) played at `pace`.
std::string MakeReplayName(const std::string& path, ReplayPace pace);

// A speed as the user types it ("10", "2.5"); nothing unless it is a number from 0.1 to 50.
std::optional<double> ParseReplaySpeed(std::string_view text);
extern const char* const kReplaySpeedRange;
// The speed `steps` steps of 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50 faster (slower when negative) than
// `speed`, within that range; a speed between two steps counts as the nearer step on its way.
double SteppedReplaySpeed(double speed, int steps);  // "a number from 0.1 to 50"

}  // namespace vexa
