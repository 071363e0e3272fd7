#pragma once

namespace vexa {

// What one non-blocking read of a byte source found. A source that hung up, failed or reached its
// end says so, so that the link can tell a vanished receiver from a quiet one.
enum class ReadOutcome {
    kBytes,    // at least one byte was read
    kNothing,  // nothing is waiting now, or the source is not open
    kEnded,    // hang-up, device error or end of stream: nothing will come from this source again
};

}  // namespace vexa
