// A replay port name comes from the command line, the settings file or the port list: whatever
// its bytes, it parses to a usable path and pace or is refused with a reason, and a name made
// from a parsed one reads back to the same pace.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "link/sources/replay_name.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    std::string problem;
    const auto parsed = vexa::ParseReplayName(name, problem);
    if (!parsed) {
        Require(!problem.empty());
        return 0;
    }
    Require(vexa::IsReplayName(name));
    Require(!parsed->path.empty());
    Require(parsed->pace.speed >= vexa::ReplayPace::kSlowest && parsed->pace.speed <= vexa::ReplayPace::kFastest);
    const std::string made = vexa::MakeReplayName(parsed->path, parsed->pace);
    const auto again = vexa::ParseReplayName(made, problem);
    Require(again.has_value());
    Require(again->pace.speed == parsed->pace.speed && again->pace.loop == parsed->pace.loop);
    return 0;
}
