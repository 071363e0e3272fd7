#include "link/ports/sysfs_serial_ttys.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>
#include <tuple>

namespace vexa {

namespace fs = std::filesystem;

namespace {

// Device name prefixes of the ports worth listing, in the order they are listed: USB serial
// adapters, USB modems, Bluetooth RFCOMM, PC UARTs, ARM on-board UARTs (PL011).
constexpr std::array<std::string_view, 5> kSerialPrefixes{"ttyUSB", "ttyACM", "rfcomm", "ttyS", "ttyAMA"};
constexpr std::string_view kOnBoardUartPrefix = "ttyS";

// From the tty's device, the USB device with its strings lies at most this many folders up
// (ttyUSB: port, interface, device). A limit keeps an RFCOMM port from taking the name of
// the Bluetooth adapter further up.
constexpr int kFoldersAboveDevice = 2;

// sysfs strings are short; anything longer is not a name.
constexpr std::streamsize kMaxAttributeBytes = 256;

struct Candidate {
    std::size_t kind;
    SerialTty tty;

    std::string_view Number() const { return std::string_view(tty.name).substr(kSerialPrefixes[kind].size()); }
};

std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return {};
    std::string text(static_cast<std::size_t>(kMaxAttributeBytes), '\0');
    in.read(text.data(), kMaxAttributeBytes);
    text.resize(static_cast<std::size_t>(in.gcount()));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\0')) text.pop_back();
    return text;
}

// The kind of serial port a tty name stands for (its index in kSerialPrefixes), or none.
std::optional<std::size_t> SerialKind(std::string_view name) {
    for (std::size_t kind = 0; kind < kSerialPrefixes.size(); ++kind) {
        const std::string_view prefix = kSerialPrefixes[kind];
        if (!name.starts_with(prefix) || name.size() == prefix.size()) continue;
        const std::string_view number = name.substr(prefix.size());
        if (std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; })) return kind;
    }
    return std::nullopt;
}

// The 8250 driver registers its ttyS devices whether or not a UART answers; the ones without
// a UART report the port type 0 (unknown) in their "type" attribute and cannot be opened for
// anything. Only ttyS devices with a known UART type are kept.
bool IsExistingUart(const fs::path& ttyFolder) {
    const std::string type = ReadAttribute(ttyFolder / "type");
    int value = 0;
    const auto [end, error] = std::from_chars(type.data(), type.data() + type.size(), value);
    return error == std::errc() && end == type.data() + type.size() && value > 0;
}

// The USB device's product string, else the USB interface's own string, else the maker's
// name; found by walking up from the tty's device.
std::string FriendlyName(const fs::path& ttyFolder) {
    std::error_code error;
    fs::path folder = fs::canonical(ttyFolder / "device", error);
    if (error) return {};
    std::string interfaceName;
    for (int level = 0; level <= kFoldersAboveDevice; ++level, folder = folder.parent_path()) {
        if (interfaceName.empty()) interfaceName = ReadAttribute(folder / "interface");
        const std::string product = ReadAttribute(folder / "product");
        const std::string manufacturer = ReadAttribute(folder / "manufacturer");
        if (!product.empty()) return product;
        if (!manufacturer.empty()) return interfaceName.empty() ? manufacturer : interfaceName;
    }
    return interfaceName;
}

// Numbers compare by value: ttyUSB2 before ttyUSB10.
bool ListedBefore(const Candidate& a, const Candidate& b) {
    return std::make_tuple(a.kind, a.Number().size(), a.Number()) <
           std::make_tuple(b.kind, b.Number().size(), b.Number());
}

}  // namespace

std::vector<SerialTty> ListSerialTtys(const fs::path& sysfsRoot) {
    std::vector<Candidate> candidates;
    std::error_code error;
    for (fs::directory_iterator it(sysfsRoot / "class" / "tty", error), end; !error && it != end;
         it.increment(error)) {
        const fs::path& folder = it->path();
        std::string name = folder.filename().string();
        const std::optional<std::size_t> kind = SerialKind(name);
        if (!kind) continue;
        if (kSerialPrefixes[*kind] == kOnBoardUartPrefix && !IsExistingUart(folder)) continue;
        candidates.push_back({*kind, {std::move(name), FriendlyName(folder)}});
    }
    std::sort(candidates.begin(), candidates.end(), ListedBefore);
    std::vector<SerialTty> ttys;
    ttys.reserve(candidates.size());
    for (Candidate& candidate : candidates) ttys.push_back(std::move(candidate.tty));
    return ttys;
}

}  // namespace vexa
