#include "link/connection/connection_status.h"

#include <cstddef>

#include "link/connection/baud_settings.h"
#include "receiver/product/product_table.h"
#include "receiver/product/receiver_context.h"

namespace vexa {

namespace {

constexpr StatusColour kYellow{255, 255, 0};
constexpr StatusColour kGreen{0, 255, 0};
constexpr StatusColour kRed{255, 0, 0};

}  // namespace

StatusLine StatusLineFor(const ConnectionState& state) {
    if (state.testing) {
        const auto index = static_cast<std::size_t>(state.autoBaudIndex);
        if (state.baudSetting == kAutoBaud && !state.protocolOnly && index < kAutoBaudRates.size()) {
            return {kYellow, "Please wait... testing " + std::to_string(kAutoBaudRates[index]) + " baud",
                    25};
        }
        return {kYellow, "                Please wait...", 25};
    }
    // Left-aligned, so that as much as possible of the reason shows.
    constexpr int kProblemX = 12;
    if (!state.problem.empty()) {
        if (state.linkProtocol != kNotConnected) return {kYellow, state.problem, kProblemX};
        return {kRed, "Not connected: " + state.problem, kProblemX};
    }
    switch (state.linkProtocol) {
        case kBinaryProtocol:
            if (const ProductTraits* product = SupportedProduct(state.product)) {
                return {kGreen, "Connected (" + std::string(product->binaryProtocolName) + ")",
                        product->connectedProgress};
            }
            return {kGreen, "", 0};
        case kNmeaProtocol:
            return {kGreen, "Connected (NMEA)", 65};
        default:
            return {kRed, "Not connected", 75};
    }
}

}  // namespace vexa
