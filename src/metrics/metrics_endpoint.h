#pragma once

#include <memory>
#include <string>

#include <prometheus/exposer.h>
#include <prometheus/registry.h>

namespace vexa {

// Serves a registry's series in the Prometheus text format at http://HOST:PORT/metrics, on the
// exposer's own threads, from the moment it opens until it goes away.
class MetricsEndpoint {
public:
    // Nothing when HOST:PORT cannot be served (the port in use, a host that is not this machine's);
    // `error` then says so, naming the address.
    static std::unique_ptr<MetricsEndpoint> Open(const std::string& address, std::string& error);

    prometheus::Registry& Registry() { return *registry_; }

private:
    explicit MetricsEndpoint(std::unique_ptr<prometheus::Exposer> exposer);

    std::shared_ptr<prometheus::Registry> registry_;
    std::unique_ptr<prometheus::Exposer> exposer_;
};

}  // namespace vexa
