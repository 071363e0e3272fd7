#include "link/sources/gpsd_source.h"

#include <algorithm>
#include <cstring>

#include "link/sources/network_source_name.h"
#include "link/sources/source_names.h"
#include "platform/result_codes.h"

namespace vexa {

namespace {

constexpr std::size_t kReceiveBytes = 4096;

}  // namespace

LinkResult GpsdSource::Open(int) {
    filter_ = GpsdReplyFilter();
    passed_.clear();
    served_ = 0;
    const std::optional<GpsdTarget> target = ParseGpsdSourceName(Name());
    if (!target) {
        connection_.Reject(SourceNameProblem(Name()));
        return kResultCommFailure;
    }
    watch_.emplace("gpsd at " + target->endpoint.Text(), target->device);
    return connection_.Open(target->endpoint, watch_->Request()) ? kResultOk : kResultCommFailure;
}

bool GpsdSource::Serve(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
    count = std::min(capacity, passed_.size() - served_);
    if (count == 0) return false;
    std::memcpy(buffer, passed_.data() + served_, count);
    served_ += count;
    if (served_ == passed_.size()) {
        passed_.clear();
        served_ = 0;
    }
    return true;
}

ReadOutcome GpsdSource::Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
    if (Serve(buffer, capacity, count)) return ReadOutcome::kBytes;
    received_.resize(kReceiveBytes);
    std::size_t receivedCount = 0;
    const ReadOutcome outcome = connection_.Receive(received_.data(), received_.size(), receivedCount);
    if (outcome != ReadOutcome::kBytes) return outcome;
    filter_.Feed(std::span(received_.data(), receivedCount), passed_);
    for (const std::string& reply : filter_.TakeReplies()) watch_->Take(reply);
    if (!watch_->Problem().empty()) connection_.End(watch_->Problem());
    return Serve(buffer, capacity, count) ? ReadOutcome::kBytes : ReadOutcome::kNothing;
}

WakeEvent::Wait GpsdSource::WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) {
    if (served_ < passed_.size()) return WakeEvent::Wait::Readable;
    return NetworkByteSource::WaitReadable(wake, timeout);
}

LinkResult GpsdSource::Write(const std::uint8_t*, std::size_t) { return kResultCommandsRefused; }

LinkResult GpsdSource::Close() {
    passed_.clear();
    served_ = 0;
    return NetworkByteSource::Close();
}

}  // namespace vexa
