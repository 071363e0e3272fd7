#pragma once

#include <string>

namespace vexa {

// The status line's fill colour (the map library has its own colour type).
struct StatusColour {
    int red;
    int green;
    int blue;
    friend bool operator==(const StatusColour&, const StatusColour&) = default;
};

struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
};

// Where the connection dialog paints its status line: the rectangle is filled, then the
// text is drawn at (textX, kStatusTextY).
inline constexpr PixelRect kStatusRect{10, 165, 230, 185};
inline constexpr int kStatusTextY = 167;

struct StatusLine {
    StatusColour fill;
    std::string text;  // empty: only the rectangle is filled
    int textX;
    friend bool operator==(const StatusLine&, const StatusLine&) = default;
};

// What the status line shows for an attempt in progress or the link's recognised protocol.
struct ConnectionState {
    bool testing;
    int baudSetting;
    int autoBaudIndex;
    int linkProtocol;
    int product;
    bool protocolOnly = false;  // the source has no line speed to test
    // Why the receiver is not heard ("Connection closed by 10.0.0.7:4001", "No data from ... for 5 s"):
    // while connected, that it went quiet; else why it could not be connected or was lost.
    std::string problem{};
};
StatusLine StatusLineFor(const ConnectionState& state);

}  // namespace vexa
