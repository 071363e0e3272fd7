#include "sim/program_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/option_suggestion.h"
#include "platform/option_table.h"
#include "receiver/product/product_table.h"
#include "sim/baud_rate.h"
#include "sim/constellation.h"

namespace vexa::sim {

namespace {

enum class SimOption {
    kProduct, kProtocol, kConstellations, kBaud, kRate, kOrigin, kSeed, kTtff, kTtffSpread, kNoise, kReplay, kCorrupt,
    kLink, kMasPort, kSeconds, kCounts, kHelp, kVersion,
};

constexpr int kFixRates[] = {1, 2, 5, 10, 20};

constexpr OptionRow<SimOption> kSimOptions[] = {
    {SimOption::kProduct, "--product", "kestrel|merlin|osprey",
     "the receiver product, in any case (default kestrel); an Osprey's\n"
     "payloads carry channel bytes and it serves the location client's\n"
     "exchanges"},
    {SimOption::kProtocol, "--protocol", "binary|nmea", "the protocol at start (default binary)"},
    {SimOption::kConstellations, "--constellations", "LIST",
     "the systems it tracks, from gps,glonass,galileo,beidou,qzss,navic,sbas\n"
     "(default gps; gps is always among them). With more than gps its NMEA\n"
     "output is that of a multi-constellation receiver (NMEA 4.11): GN talker\n"
     "for GGA, GNS, RMC, VTG and ZDA, a GSA per system, GSV per system;\n"
     "use 19200 baud or more to carry it all"},
    {SimOption::kBaud, "--baud", "N", "4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800 or\n"
     "921600 (default 57600)"},
    {SimOption::kRate, "--rate", "HZ",
     "fixes a second: 1, 2, 5, 10 or 20 (default 1); each fix brings its\n"
     "navigation messages or sentences, the slower ones stay once a second.\n"
     "20 fixes of four systems in NMEA need 460800 baud or more"},
    {SimOption::kOrigin, "--origin", "LAT,LON,ALT", "centre of the walk, degrees and metres (default 37.3875,-121.9720,25)"},
    {SimOption::kSeed, "--seed", "N", "seed of the sky, the walk, the noise and the damage (default 1)",
     OptionRange{0, 4294967295.0}},
    {SimOption::kTtff, "--ttff", "H,W,C,F",
     "seconds to the first fix after a hot, warm, cold start and a factory\n"
     "reset (default 2,30,45,60); power-on counts as a hot start"},
    {SimOption::kTtffSpread, "--ttff-spread", "KIND=MIN..MAX",
     "seconds to the first fix after a reset of KIND (hot, warm, cold,\n"
     "factory), drawn anew for each reset, uniform from MIN to MAX and\n"
     "repeatable with --seed; give it once per kind"},
    {SimOption::kNoise, "--noise", "H_SIGMA,V_SIGMA",
     "stand still at the origin and report each fix off it by Gaussian\n"
     "noise of these 1-sigma metres on each horizontal axis and on the\n"
     "vertical (CEP50 about 1.1774 x H_SIGMA); in NMEA also write GST"},
    {SimOption::kReplay, "--replay", "FILE", "send the bytes of a raw capture at the line rate instead of synthesising"},
    {SimOption::kCorrupt, "--corrupt", "P", "damage each frame or sentence with probability P, 0 to 1 (default 0)",
     OptionRange{0, 1}},
    {SimOption::kLink, "--link", "PATH", "also make PATH a symbolic link to the slave"},
    {SimOption::kMasPort, "--mas-port", "P",
     "also run an assistance server on 127.0.0.1 port P (0: any free port;\n"
     "the port is the second line of output)",
     OptionRange{0, 65535}},
    {SimOption::kSeconds, "--seconds", "S", "stop after S seconds (default: run until SIGINT or SIGTERM)",
     OptionRange{0, std::numeric_limits<double>::infinity()}},
    {SimOption::kCounts, "--counts", "FILE",
     "at the end, write to FILE what went out on the line: bytes, frames\n"
     "and sentences a program reading at the receiver's baud rate received,\n"
     "messages lost over the line rate, bytes the other end did not take"},
    {SimOption::kHelp, "--help", "", "show this text"},
    {SimOption::kVersion, "--version", "", "show the program's version"},
};

std::string ProgramUsage() {
    return "Usage: vexasim [options]\n"
           "A simulated GPS receiver on a pseudo-terminal. The slave's path is the first line of output;\n"
           "open it as a serial port. Output is readable only at the receiver's baud rate.\n"
           "\n"
           "Options:\n" +
           OptionHelp<SimOption>(kSimOptions, HelpLayout{29}) +
           "\n"
           "Examples:\n"
           "  $ vexasim --protocol nmea --baud 4800 --link /tmp/gps &\n"
           "  $ vexasim --protocol nmea --constellations gps,glonass,galileo,beidou --baud 38400 --link /tmp/gnss &\n"
           "  $ vexasim --product osprey --mas-port 7557 --ttff 1,1,1,1 --link /tmp/osprey &\n"
           "  $ vexasim --ttff-spread hot=1..3 --ttff-spread cold=20..40 --noise 2.5,4 --seed 7 --link /tmp/gps &\n"
           "  $ vexasim --protocol nmea --constellations gps,glonass,galileo,beidou --rate 20 --baud 921600 --link /tmp/fast &\n";
}

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

// Applies one option with its value (empty for an option that takes none); gives an error text,
// empty when it was good.
std::string Apply(const OptionRow<SimOption>& option, std::string_view value, ProgramOptions& options) {
    SimulatorOptions& simulator = options.simulator;
    ReceiverConfig& receiver = simulator.receiver;
    switch (option.id) {
    case SimOption::kHelp: options.help = true; break;
    case SimOption::kVersion: options.version = true; break;
    case SimOption::kProduct: {
        const std::optional<int> product = ProductNamed(value);
        if (!product) return "--product takes kestrel, merlin or osprey";
        receiver.productName = ProductName(*product);
        break;
    }
    case SimOption::kProtocol:
        if (value != "binary" && value != "nmea") return "--protocol takes binary or nmea";
        receiver.protocol = value == "nmea" ? Protocol::Nmea : Protocol::Binary;
        break;
    case SimOption::kConstellations: {
        const auto constellations = ParseConstellations(value);
        if (!constellations) {
            return "--constellations takes a list of gps,glonass,galileo,beidou,qzss,navic,sbas that includes gps";
        }
        receiver.constellations = *constellations;
        break;
    }
    case SimOption::kBaud: {
        const auto baud = Number(value);
        if (!baud || !IsSupportedBaud(static_cast<int>(*baud)) || *baud != static_cast<int>(*baud)) {
            return "--baud takes 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800 or 921600";
        }
        receiver.baud = static_cast<int>(*baud);
        break;
    }
    case SimOption::kRate: {
        const auto rate = Number(value);
        if (!rate || std::find(std::begin(kFixRates), std::end(kFixRates), *rate) == std::end(kFixRates)) {
            return "--rate takes 1, 2, 5, 10 or 20";
        }
        receiver.fixesPerSecond = static_cast<int>(*rate);
        break;
    }
    case SimOption::kOrigin: {
        const auto values = Numbers(value, 3);
        if (!values || (*values)[0] < -90 || (*values)[0] > 90 || (*values)[1] < -180 || (*values)[1] > 180) {
            return "--origin takes LAT,LON,ALT in degrees and metres";
        }
        receiver.origin = {(*values)[0], (*values)[1], (*values)[2]};
        break;
    }
    case SimOption::kSeed: {
        const auto seed = Number(value);
        if (!seed || !option.range->Holds(*seed) || *seed != static_cast<double>(static_cast<long long>(*seed))) {
            return "--seed takes a whole number from 0 to 4294967295";
        }
        receiver.seed = static_cast<std::uint32_t>(*seed);
        break;
    }
    case SimOption::kTtff: {
        const auto values = Numbers(value, 4);
        if (!values || *std::min_element(values->begin(), values->end()) < 0) {
            return "--ttff takes four times in seconds: HOT,WARM,COLD,FACTORY";
        }
        receiver.timesToFirstFix = {(*values)[0], (*values)[1], (*values)[2], (*values)[3]};
        break;
    }
    case SimOption::kTtffSpread: {
        const std::size_t equals = value.find('=');
        const std::size_t dots = value.find("..");
        const std::string_view kind = value.substr(0, equals);
        const auto reset = std::find_if(kResetKinds.begin(), kResetKinds.end(),
                                        [&](ResetKind k) { return ResetKindName(k) == kind; });
        const auto least = equals == std::string_view::npos || dots == std::string_view::npos || dots < equals
                               ? std::nullopt
                               : Number(value.substr(equals + 1, dots - equals - 1));
        const auto most = least ? Number(value.substr(dots + 2)) : std::nullopt;
        if (reset == kResetKinds.end() || !most || *least < 0 || *most < *least || !std::isfinite(*most)) {
            return "--ttff-spread takes KIND=MIN..MAX: hot, warm, cold or factory and seconds with MIN no more than MAX";
        }
        receiver.ttffSpreads[static_cast<std::size_t>(*reset)] = TtffSpread{*least, *most};
        break;
    }
    case SimOption::kNoise: {
        const auto values = Numbers(value, 2);
        if (!values || !((*values)[0] > 0) || !((*values)[1] > 0) || !std::isfinite((*values)[0]) ||
            !std::isfinite((*values)[1])) {
            return "--noise takes H_SIGMA,V_SIGMA: two distances in metres above 0";
        }
        receiver.noise = PositionNoise{(*values)[0], (*values)[1]};
        break;
    }
    case SimOption::kReplay: simulator.replayPath = value; break;
    case SimOption::kCorrupt: {
        const auto probability = Number(value);
        if (!probability || !option.range->Holds(*probability)) return "--corrupt takes a probability from 0 to 1";
        simulator.corruptProbability = *probability;
        break;
    }
    case SimOption::kLink: options.linkPath = value; break;
    case SimOption::kCounts: options.countsPath = value; break;
    case SimOption::kMasPort: {
        const auto port = Number(value);
        if (!port || !option.range->Holds(*port) || *port != static_cast<int>(*port)) {
            return "--mas-port takes a port from 0 to 65535";
        }
        options.masPort = static_cast<std::uint16_t>(*port);
        break;
    }
    case SimOption::kSeconds: {
        const auto seconds = Number(value);
        if (!seconds || !option.range->Holds(*seconds)) return "--seconds takes a time in seconds";
        options.seconds = *seconds;
        break;
    }
    }
    return {};
}

}  // namespace

const char* const kProgramUsage = [] {
    static const std::string text = ProgramUsage();
    return text.c_str();
}();

ParsedOptions ParseProgramOptions(std::span<const std::string_view> arguments) {
    ParsedOptions parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        // --name=value gives the value in the same argument.
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument == "-h" ? std::string_view("--help") : argument.substr(0, equals);
        const OptionRow<SimOption>* option = FindOption<SimOption>(kSimOptions, name);
        if (option == nullptr) {
            parsed.error = argument.starts_with("-") ? UnknownOptionText(name, OptionNames<SimOption>(kSimOptions))
                                                     : "unexpected '" + std::string(argument) + "'";
            return parsed;
        }
        std::string_view value;
        if (!option->TakesValue()) {
            if (equals != std::string_view::npos) {
                parsed.error = std::string(name) + " takes no value";
                return parsed;
            }
        } else if (equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            parsed.error = std::string(name) + " needs a value";
            return parsed;
        }
        parsed.error = Apply(*option, value, parsed.options);
        if (!parsed.error.empty()) return parsed;
    }
    return parsed;
}

}  // namespace vexa::sim
