// Network source names come from the command line, the settings file and the dialog. Whatever the
// text: parsing never fails badly, and a name that parses gives back the same host and port when
// written out and parsed again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "link/sources/network_source_name.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

bool Same(const vexa::NetworkEndpoint& a, const vexa::NetworkEndpoint& b) { return a.host == b.host && a.port == b.port; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string_view scheme : {vexa::kTcpScheme, vexa::kGpsdScheme}) {
        const std::string name = std::string(scheme) + std::string(text);
        if (const std::optional<vexa::NetworkEndpoint> tcp = vexa::ParseTcpSourceName(name)) {
            Require(tcp->port != 0 && !tcp->host.empty());
            const auto again = vexa::ParseTcpSourceName(std::string(vexa::kTcpScheme) + tcp->Text());
            Require(again && Same(*again, *tcp));
        }
        if (const std::optional<vexa::GpsdTarget> gpsd = vexa::ParseGpsdSourceName(name)) {
            Require(gpsd->endpoint.port != 0 && !gpsd->endpoint.host.empty());
            Require(gpsd->device.empty() || (gpsd->device.front() == '/' && gpsd->device.size() > 1));
            const auto again = vexa::ParseGpsdSourceName(std::string(vexa::kGpsdScheme) + gpsd->endpoint.Text() + gpsd->device);
            Require(again && Same(again->endpoint, gpsd->endpoint) && again->device == gpsd->device);
        }
    }
    return 0;
}
