#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "receiver/product/receiver_context.h"

namespace vexa {

// The Command menu's lower part: the two dialogs, or the NMEA Channel toggle.
enum class CommandMenuLayout { PowerAndElevationDialogs, NmeaChannelToggle };

// Everything in which the products differ, one row per product. The program reads and drives only
// the supported products; with another one selected it reads no binary frames and leaves the
// product-dependent menus, labels, pages and baud choices as they were.
struct ProductTraits {
    std::string_view name;  // as the Product Selection dialog shows it
    bool supported = false;
    // Every binary payload, in and out, leads with a channel byte; the location client's channels
    // share the link.
    bool channelBytes = false;
    std::uint8_t resetConfigurationFlag = 0x00;  // added to the reset configuration byte
    std::optional<int> fixedBaud;                // the one rate it talks at; no baud rate to choose
    int binarySwitchMode = 0;                    // the mode field of the NMEA sentence that switches to binary
    std::string_view binaryProtocolName;         // in the protocol switch item and the status line
    int connectedProgress = 0;                   // the status line's progress while the binary protocol is up
    CommandMenuLayout commandMenu = CommandMenuLayout::PowerAndElevationDialogs;
    // The Text page offers the development text / NMEA filter while the binary protocol is up;
    // otherwise it reads the time to first fix from the receiver's report lines.
    bool textFilter = false;
};

// The row of a ProductSelection value, or nothing for a product the program does not drive.
const ProductTraits* SupportedProduct(int product);

// Shorthands for single traits; a product the program does not drive has neither.
bool UsesChannelBytes(int product);
std::optional<int> FixedBaud(int product);

// The products a user can name on a command line: Kestrel, Osprey or Merlin, in any case.
std::optional<int> ProductNamed(std::string_view name);

// The product's name as the Product Selection dialog shows it.
std::string_view ProductName(int product);

}  // namespace vexa
