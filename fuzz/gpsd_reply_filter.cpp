// gpsd's raw watch stream mixes the receiver's bytes with gpsd's reply lines. Whatever arrives: the
// split never depends on how the stream was cut into chunks, replies are single lines that open as
// gpsd's do, and the watch reads every reply without harm.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "link/sources/gpsd_reply_filter.h"
#include "link/sources/gpsd_watch.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

struct Split {
    std::vector<std::uint8_t> passed;
    std::vector<std::string> replies;
};

Split Filter(std::span<const std::uint8_t> stream, std::size_t chunk) {
    vexa::GpsdReplyFilter filter;
    Split split;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        filter.Feed(stream.subspan(at, std::min(chunk, stream.size() - at)), split.passed);
        for (std::string& reply : filter.TakeReplies()) split.replies.push_back(std::move(reply));
    }
    return split;
}

}  // namespace

// The first byte sets the chunk size (1 to 256); the rest is the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> stream(data + 1, size - 1);
    const Split chunked = Filter(stream, std::size_t{data[0]} + 1);
    const Split whole = Filter(stream, std::max<std::size_t>(stream.size(), 1));
    Require(chunked.passed == whole.passed && chunked.replies == whole.replies);
    vexa::GpsdWatch watch("gpsd at fuzz:1", "/dev/ttyUSB0");
    std::size_t replyBytes = 0;
    for (const std::string& reply : chunked.replies) {
        Require(reply.starts_with("{\"class\":\"") && reply.find('\n') == std::string::npos);
        replyBytes += reply.size();
        watch.Take(reply);
    }
    Require(chunked.passed.size() + replyBytes <= stream.size());
    return 0;
}
