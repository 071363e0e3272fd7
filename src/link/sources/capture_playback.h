#pragma once

#include <cstdint>

namespace vexa {

// Where a replayed capture stands and how it plays.
struct PlaybackState {
    bool open = false;
    bool paused = false;
    bool loop = false;
    double speed = 1;
    std::uint64_t position = 0;  // the byte of the file the next read delivers
    std::uint64_t size = 0;      // the file's length when it was opened
};

// The controls of a source that plays a capture: pause, pace and place. State() may be read from
// any thread; the others come from the thread that owns the link, between two of the comm
// reader's chunks (as Open and Close do).
class CapturePlayback {
public:
    virtual ~CapturePlayback() = default;

    virtual PlaybackState State() const = 0;
    // Paused, nothing is read from the capture and no line time passes; what was carried stays.
    virtual void SetPaused(bool paused) = 0;
    // A speed from ReplayPace::kSlowest to kFastest; the pace changes at once.
    virtual void SetSpeed(double speed) = 0;
    // Plays on from the first frame or sentence start at or after `byte`, with nothing of the old
    // place left on the line. Past the last start the capture ends as at its end (or, looping,
    // starts again from its first byte).
    virtual void Seek(std::uint64_t byte) = 0;
};

}  // namespace vexa
