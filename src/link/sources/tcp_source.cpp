#include "link/sources/tcp_source.h"

#include "link/sources/network_source_name.h"
#include "link/sources/source_names.h"
#include "platform/result_codes.h"

namespace vexa {

LinkResult TcpSource::Open(int) {
    const std::optional<NetworkEndpoint> endpoint = ParseTcpSourceName(Name());
    if (!endpoint) {
        connection_.Reject(SourceNameProblem(Name()));
        return kResultCommFailure;
    }
    return connection_.Open(*endpoint, {}) ? kResultOk : kResultCommFailure;
}

ReadOutcome TcpSource::Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
    return connection_.Receive(buffer, capacity, count);
}

LinkResult TcpSource::Write(const std::uint8_t* bytes, std::size_t length) {
    return connection_.Send(bytes, length) ? kResultOk : kResultCommFailure;
}

}  // namespace vexa
