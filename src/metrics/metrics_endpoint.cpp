#include "metrics/metrics_endpoint.h"

#include <exception>

namespace vexa {

MetricsEndpoint::MetricsEndpoint(std::unique_ptr<prometheus::Exposer> exposer)
    : registry_(std::make_shared<prometheus::Registry>()), exposer_(std::move(exposer)) {
    exposer_->RegisterCollectable(registry_);
}

std::unique_ptr<MetricsEndpoint> MetricsEndpoint::Open(const std::string& address, std::string& error) {
    try {
        // One thread answers the scrapes: a scraper asks once every few seconds.
        return std::unique_ptr<MetricsEndpoint>(new MetricsEndpoint(std::make_unique<prometheus::Exposer>(address, 1)));
    } catch (const std::exception&) {
        // The web server's own text speaks of its context; the cause a user can act on is the address.
        error = "cannot serve metrics on " + address + ": the port is in use or the address is not this machine's";
        return nullptr;
    }
}

}  // namespace vexa
