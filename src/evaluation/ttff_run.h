#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "receiver/fix/gnss_fix.h"
#include "receiver/commands/reset_kind.h"

namespace vexa {

// How a run ended: with a fix; without one before the time allowed; with the receiver gone
// (no data, the link lost); or stopped by the user before either.
enum class RunOutcome : std::uint8_t { Fixed, TimedOut, Lost, Stopped };

// "fixed", "timed_out", "lost", "stopped".
std::string_view RunOutcomeName(RunOutcome outcome);

// One reset and what followed it. Times to fix in seconds from the reset command; each is empty
// when that fix did not come.
struct TtffRun {
    ResetKind kind = ResetKind::Cold;
    UtcTime start;                             // when the reset was sent
    std::optional<double> ttffAny;             // to the first fix with a position
    std::optional<double> ttff3d;              // to the first 3D fix
    std::optional<double> ttffWithinRadius;    // to the first fix within the chosen radius of the reference
    std::optional<double> receiverTtff;        // the receiver's own report of its time to first fix
    RunOutcome outcome = RunOutcome::Fixed;

    // The run counts in the figures: it reached a fix with a time to it.
    bool Succeeded() const { return outcome == RunOutcome::Fixed && ttffAny.has_value(); }
    // The run counts as a failure: no fix came. A stopped run says nothing about the receiver.
    bool Failed() const { return !Succeeded() && outcome != RunOutcome::Stopped; }
};

}  // namespace vexa
