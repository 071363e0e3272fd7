#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "link/sources/byte_source.h"
#include "link/sources/replay_name.h"
#include "platform/capture_feed.h"
#include "platform/clock.h"
#include "platform/line_pacer.h"

namespace vexa {

// A raw capture file played as if its receiver were on the line: at the line rate times the
// replay's speed, through the same pacing as the simulator's replay. It takes no commands and has
// no baud rate to set; at the end of the file it ends, or starts again when told to loop. It can
// be paused, sped up or slowed down and moved to another place of the file while it plays.
class ReplaySource : public ByteSource, public CapturePlayback {
public:
    // The line rate a capture plays at before its speed applies (the simulator's own default).
    static constexpr int kLineBaud = 57600;
    // Most of the capture a read catches up on after the reader was held up; the rest is skipped
    // rather than delivered in one burst.
    static constexpr std::chrono::milliseconds kLongestCatchUp{1000};
    // How long a wait lets bytes gather before a read, so that they arrive in batches.
    static constexpr std::chrono::milliseconds kBatchInterval{20};
    // How much of the start of a file is searched for a frame or sentence before it is refused.
    static constexpr std::size_t kProbeSize = 64 * 1024;

    // `name` is a replay name (see replay_name.h); one that cannot be used makes Open fail with the
    // reason. The capture is played as `clock`'s steady time passes.
    explicit ReplaySource(std::string name, const Clock& clock = SystemClock());

    LinkResult Open(int baud) override;
    std::string OpenProblem() const override { return openProblem_; }
    int OpenError() const override { return openError_; }
    std::string EndReason() const override;

    ReadOutcome Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) override;
    WakeEvent::Wait WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) override;

    LinkResult Write(const std::uint8_t* bytes, std::size_t length) override;
    LinkResult Configure(int baud) override;
    LinkResult Close() override;

    bool IsOpen() const override { return open_.load(); }
    const std::string& Name() const override { return name_; }
    bool TakesCommands() const override { return false; }
    std::string CommandsRefusedReason() const override;
    bool BaudChangeable() const override { return false; }
    CapturePlayback* Playback() override { return this; }

    PlaybackState State() const override;
    void SetPaused(bool paused) override;
    void SetSpeed(double speed) override;
    void Seek(std::uint64_t byte) override;

private:
    // Puts on the line what it has carried since the last call.
    void Play();
    bool Ended() const;
    // Why the file cannot be played, or empty.
    std::string Refusal(const std::string& path, int& error) const;

    const std::string name_;
    const Clock& clock_;
    std::optional<ReplayName> replay_;
    std::string nameProblem_;

    std::atomic<bool> open_{false};
    std::string openProblem_;
    int openError_ = 0;
    std::optional<CaptureFeed> feed_;
    std::atomic<bool> paused_{false};
    std::atomic<double> speed_{ReplayPace::kLineRate};
    std::atomic<std::uint64_t> position_{0};
    std::atomic<std::uint64_t> size_{0};
    LinePacer line_{kLineBaud};
    std::chrono::steady_clock::time_point lastPlayed_{};
    std::vector<std::uint8_t> due_;  // carried by the line, not read yet
    std::size_t dueRead_ = 0;
    bool ended_ = false;  // the last read found the end; kept through Close until the next Open
};

}  // namespace vexa
