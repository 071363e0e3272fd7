#include "sim/program_options.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/option_suggestion.h"
#include "receiver/product_table.h"
#include "sim/baud_rate.h"
#include "sim/constellation.h"

namespace vexa::sim {

const char* const kProgramUsage =
    "Usage: vexasim [options]\n"
    "A simulated GPS receiver on a pseudo-terminal. The slave's path is the first line of output;\n"
    "open it as a serial port. Output is readable only at the receiver's baud rate.\n"
    "\n"
    "  --product kestrel|merlin|osprey\n"
    "                             the receiver product, in any case (default kestrel); an Osprey's\n"
    "                             payloads carry channel bytes and it serves the location client's\n"
    "                             exchanges\n"
    "  --protocol binary|nmea     the protocol at start (default binary)\n"
    "  --constellations LIST      the systems it tracks, from gps,glonass,galileo,beidou,qzss,navic,sbas\n"
    "                             (default gps; gps is always among them). With more than gps its NMEA\n"
    "                             output is that of a multi-constellation receiver (NMEA 4.11): GN talker\n"
    "                             for GGA, GNS, RMC, VTG and ZDA, a GSA per system, GSV per system;\n"
    "                             use 19200 baud or more to carry it all\n"
    "  --baud N                   4800, 9600, 19200, 38400, 57600 or 115200 (default 57600)\n"
    "  --origin LAT,LON,ALT       centre of the walk, degrees and metres (default 37.3875,-121.9720,25)\n"
    "  --seed N                   seed of the sky, the walk, the noise and the damage (default 1)\n"
    "  --ttff H,W,C,F             seconds to the first fix after a hot, warm, cold start and a factory\n"
    "                             reset (default 2,30,45,60); power-on counts as a hot start\n"
    "  --replay FILE              send the bytes of a raw capture at the line rate instead of synthesising\n"
    "  --corrupt P                damage each frame or sentence with probability P, 0 to 1 (default 0)\n"
    "  --link PATH                also make PATH a symbolic link to the slave\n"
    "  --mas-port P               also run an assistance server on 127.0.0.1 port P (0: any free port;\n"
    "                             the port is the second line of output)\n"
    "  --seconds S                stop after S seconds (default: run until SIGINT or SIGTERM)\n"
    "  --help                     show this text\n"
    "  --version                  show the program's version\n";

namespace {

constexpr std::string_view kOptionsWithValue[] = {"--product", "--protocol", "--baud",   "--origin",
                                                  "--seed",    "--ttff",     "--replay", "--corrupt",
                                                  "--link",    "--mas-port", "--seconds"};
constexpr std::string_view kOptionNames[] = {"--product", "--protocol", "--baud",     "--origin",  "--seed",
                                             "--ttff",    "--replay",   "--corrupt",  "--link",    "--mas-port",
                                             "--seconds", "--help",     "--version"};

std::optional<double> Number(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<std::vector<double>> Numbers(std::string_view text, std::size_t count) {
    std::vector<double> values;
    while (values.size() < count) {
        const std::size_t comma = text.find(',');
        const auto value = Number(text.substr(0, comma));
        if (!value) return std::nullopt;
        values.push_back(*value);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (values.size() != count || text.find(',') != std::string_view::npos) return std::nullopt;
    return values;
}

// Applies one option with its value; gives an error text, empty when it was good.
std::string Apply(std::string_view name, std::string_view value, ProgramOptions& options) {
    SimulatorOptions& simulator = options.simulator;
    ReceiverConfig& receiver = simulator.receiver;
    if (name == "--product") {
        const std::optional<int> product = ProductNamed(value);
        if (!product) return "--product takes kestrel, merlin or osprey";
        receiver.productName = ProductName(*product);
    } else if (name == "--protocol") {
        if (value != "binary" && value != "nmea") return "--protocol takes binary or nmea";
        receiver.protocol = value == "nmea" ? Protocol::Nmea : Protocol::Binary;
    } else if (name == "--constellations") {
        const auto constellations = ParseConstellations(value);
        if (!constellations) {
            return "--constellations takes a list of gps,glonass,galileo,beidou,qzss,navic,sbas that includes gps";
        }
        receiver.constellations = *constellations;
    } else if (name == "--baud") {
        const auto baud = Number(value);
        if (!baud || !IsSupportedBaud(static_cast<int>(*baud)) || *baud != static_cast<int>(*baud)) {
            return "--baud takes 4800, 9600, 19200, 38400, 57600 or 115200";
        }
        receiver.baud = static_cast<int>(*baud);
    } else if (name == "--origin") {
        const auto values = Numbers(value, 3);
        if (!values || (*values)[0] < -90 || (*values)[0] > 90 || (*values)[1] < -180 || (*values)[1] > 180) {
            return "--origin takes LAT,LON,ALT in degrees and metres";
        }
        receiver.origin = {(*values)[0], (*values)[1], (*values)[2]};
    } else if (name == "--seed") {
        const auto seed = Number(value);
        if (!seed || *seed < 0 || *seed > 4294967295.0 || *seed != static_cast<double>(static_cast<long long>(*seed))) {
            return "--seed takes a whole number from 0 to 4294967295";
        }
        receiver.seed = static_cast<std::uint32_t>(*seed);
    } else if (name == "--ttff") {
        const auto values = Numbers(value, 4);
        if (!values || *std::min_element(values->begin(), values->end()) < 0) {
            return "--ttff takes four times in seconds: HOT,WARM,COLD,FACTORY";
        }
        receiver.timesToFirstFix = {(*values)[0], (*values)[1], (*values)[2], (*values)[3]};
    } else if (name == "--replay") {
        simulator.replayPath = value;
    } else if (name == "--corrupt") {
        const auto probability = Number(value);
        if (!probability || *probability < 0 || *probability > 1) return "--corrupt takes a probability from 0 to 1";
        simulator.corruptProbability = *probability;
    } else if (name == "--link") {
        options.linkPath = value;
    } else if (name == "--mas-port") {
        const auto port = Number(value);
        if (!port || *port < 0 || *port > 65535 || *port != static_cast<int>(*port)) {
            return "--mas-port takes a port from 0 to 65535";
        }
        options.masPort = static_cast<std::uint16_t>(*port);
    } else if (name == "--seconds") {
        const auto seconds = Number(value);
        if (!seconds || *seconds < 0) return "--seconds takes a time in seconds";
        options.seconds = *seconds;
    }
    return {};
}

}  // namespace

ParsedOptions ParseProgramOptions(std::span<const std::string_view> arguments) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view name = arguments[i];
        if (name == "--help" || name == "-h") {
            parsed.options.help = true;
            continue;
        }
        if (name == "--version") {
            parsed.options.version = true;
            continue;
        }
        const std::size_t equals = name.find('=');
        if (!IsKnownOption(name.substr(0, equals), kOptionsWithValue)) {
            parsed.error = name.starts_with("-") ? UnknownOptionText(name.substr(0, equals), kOptionNames)
                                                 : "unexpected '" + std::string(name) + "'";
            return parsed;
        }
        std::string_view value;
        if (name.starts_with("--") && equals != std::string_view::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            parsed.error = std::string(name) + " needs a value";
            return parsed;
        }
        parsed.error = Apply(name, value, parsed.options);
        if (!parsed.error.empty()) return parsed;
    }
    return parsed;
}

}  // namespace vexa::sim
