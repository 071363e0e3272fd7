#include "link/tcp_source.h"

#include <utility>

#include "link/network_source_name.h"
#include "platform/result_codes.h"

namespace vexa {

TcpSource::TcpSource(std::string name) : name_(std::move(name)) {}

int TcpSource::Open(int) {
    const std::optional<NetworkEndpoint> endpoint = ParseTcpSourceName(name_);
    if (!endpoint) {
        connection_.Reject("Not a TCP source: " + name_ + " (tcp://HOST:PORT)");
        return kResultCommFailure;
    }
    return connection_.Open(*endpoint, {}) ? kResultOk : kResultCommFailure;
}

ReadOutcome TcpSource::Read(std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
    return connection_.Receive(buffer, capacity, count);
}

WakeEvent::Wait TcpSource::WaitReadable(const WakeEvent& wake, std::chrono::milliseconds timeout) {
    return connection_.WaitReadable(wake, timeout);
}

int TcpSource::Write(const std::uint8_t* bytes, std::size_t length) {
    return connection_.Send(bytes, length) ? kResultOk : kResultCommFailure;
}

int TcpSource::Configure(int) { return kResultOk; }

int TcpSource::Close() {
    connection_.Close();
    return kResultOk;
}

}  // namespace vexa
