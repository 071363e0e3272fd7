#include "link/sources/replay_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "link/sources/message_start.h"
#include "platform/file_problem.h"
#include "platform/result_codes.h"
#include "receiver/frames/frame_receiver.h"

namespace vexa {
namespace {

using std::chrono::microseconds;

// The line is advanced in steps no longer than this, each after a refill, so that the second
// the feed keeps queued never runs dry within one.
constexpr microseconds kLongestStep = std::chrono::milliseconds(500);

class MessageCounter : public FrameListener {
public:
    void onFrame(std::span<std::uint8_t>) override { ++count; }
    void onSentence(std::span<const std::uint8_t>) override { ++count; }
    std::size_t count = 0;
};

// Whether the bytes hold at least one checked frame or one sentence.
bool HoldsReceiverOutput(const std::vector<char>& start) {
    MessageCounter counter;
    FrameReceiver receiver(counter, FrameReceiver::kLargestPayloadLimit);
    receiver.feed(std::span(reinterpret_cast<const std::uint8_t*>(start.data()), start.size()));
    return counter.count > 0;
}

}  // namespace

ReplaySource::ReplaySource(std::string name, const Clock& clock) : name_(std::move(name)), clock_(clock) {
    replay_ = ParseReplayName(name_, nameProblem_);
    if (replay_) {
        speed_ = replay_->pace.speed;
        line_.setBaud(static_cast<int>(kLineBaud * replay_->pace.speed));
    }
}

std::string ReplaySource::Refusal(const std::string& path, int& error) const {
    // Opening a named pipe would wait for a writer; anything but a regular file is refused unopened.
    if (const std::string reason = WhyNotARegularFile(path, error); !reason.empty()) {
        return error != 0 ? FileErrorText(path, error) : path + ": " + reason;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = errno != 0 ? errno : ENOENT;
        return FileErrorText(path, error);
    }
    std::vector<char> start(kProbeSize);
    file.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(file.gcount()));
    if (start.empty()) return path + ": the capture is empty";
    if (!HoldsReceiverOutput(start)) {
        return path + ": not a receiver capture (no binary frame or NMEA sentence at its start)";
    }
    return {};
}

LinkResult ReplaySource::Open(int) {
    static_cast<void>(Close());  // closing a capture cannot fail
    ended_ = false;
    openProblem_.clear();
    openError_ = 0;
    if (!replay_) {
        openProblem_ = nameProblem_;
        return kResultCommFailure;
    }
    errno = 0;
    openProblem_ = Refusal(replay_->path, openError_);
    if (openProblem_.empty()) {
        feed_.emplace(replay_->path);
        if (!feed_->IsOpen()) {
            openError_ = feed_->OpenError();
            openProblem_ = FileErrorText(replay_->path, openError_);
        }
    }
    if (!openProblem_.empty()) {
        feed_.reset();
        return kResultCommFailure;
    }
    std::error_code sizeError;
    const std::uintmax_t size = std::filesystem::file_size(replay_->path, sizeError);
    size_ = sizeError ? 0 : size;
    position_ = 0;
    paused_ = false;  // an opened capture plays
    lastPlayed_ = clock_.SteadyNow();
    open_ = true;
    return kResultOk;
}

void ReplaySource::Play() {
    const auto now = clock_.SteadyNow();
    auto elapsed = std::min(std::chrono::duration_cast<microseconds>(now - lastPlayed_),
                            std::chrono::duration_cast<microseconds>(kLongestCatchUp));
    lastPlayed_ = now;
    if (dueRead_ == due_.size()) {
        due_.clear();
        dueRead_ = 0;
    }
    while (elapsed > microseconds(0)) {
        const microseconds step = std::min(elapsed, kLongestStep);
        elapsed -= step;
        feed_->Refill(line_, replay_->pace.loop);
        const std::vector<std::uint8_t> carried = line_.advance(step);
        due_.insert(due_.end(), carried.begin(), carried.end());
    }
}

bool ReplaySource::Ended() const {
    return !replay_->pace.loop && feed_->Finished() && line_.queued() == 0 && dueRead_ == due_.size();
}

ReadOutcome ReplaySource::Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
    count = 0;
    if (!open_ || paused_) return ReadOutcome::kNothing;
    Play();
    if (dueRead_ == due_.size()) {
        ended_ = Ended();
        return ended_ ? ReadOutcome::kEnded : ReadOutcome::kNothing;
    }
    count = std::min(capacity, due_.size() - dueRead_);
    std::memcpy(buffer, due_.data() + dueRead_, count);
    dueRead_ += count;
    const std::uint64_t size = size_;
    const std::uint64_t position = position_ + count;
    position_ = replay_->pace.loop && size > 0 ? position % size : std::min(position, size);
    return ReadOutcome::kBytes;
}

WakeEvent::Wait ReplaySource::WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) {
    const bool playing = open_ && !paused_;
    if (playing && (dueRead_ < due_.size() || Ended())) return WakeEvent::Wait::Readable;
    const auto pause = playing ? std::min(timeout, kBatchInterval) : timeout;
    if (!wake.sleep(pause)) return WakeEvent::Wait::Woken;
    return playing && pause == kBatchInterval ? WakeEvent::Wait::Readable : WakeEvent::Wait::TimedOut;
}

PlaybackState ReplaySource::State() const {
    return {open_, paused_, replay_ && replay_->pace.loop, speed_, position_, size_};
}

void ReplaySource::SetPaused(bool paused) {
    // The line stands still while paused: no time is owed to it when it plays again.
    if (!paused) lastPlayed_ = clock_.SteadyNow();
    paused_ = paused;
}

void ReplaySource::SetSpeed(double speed) {
    if (!replay_ || !(speed >= ReplayPace::kSlowest && speed <= ReplayPace::kFastest)) return;
    // What the line carried at the old speed is carried; the new one counts from now.
    if (open_ && !paused_) Play();
    speed_ = speed;
    line_.setBaud(static_cast<int>(kLineBaud * speed));
}

void ReplaySource::Seek(std::uint64_t byte) {
    if (!open_) return;
    const std::uint64_t size = size_;
    const std::uint64_t start = FindMessageStart(feed_->File(), byte).value_or(size);
    feed_->MoveTo(start);
    line_.clear();
    due_.clear();
    dueRead_ = 0;
    position_ = start >= size && replay_->pace.loop ? 0 : start;
    lastPlayed_ = clock_.SteadyNow();
}

LinkResult ReplaySource::Write(const std::uint8_t*, std::size_t) { return kResultCommandsRefused; }

std::string ReplaySource::CommandsRefusedReason() const { return "a replayed capture takes no commands"; }

std::string ReplaySource::EndReason() const {
    return ended_ && replay_ ? "End of the capture " + replay_->path : std::string();
}

LinkResult ReplaySource::Configure(int) { return kResultOk; }

LinkResult ReplaySource::Close() {
    open_ = false;
    feed_.reset();
    line_.clear();
    due_.clear();
    dueRead_ = 0;
    return kResultOk;
}

}  // namespace vexa
