#include "receiver/binary/message_ids.h"
#include "sim/simulated_receiver.h"

#include <cmath>

#include "receiver/frames/channel_bytes.h"
#include "receiver/binary/message_writer.h"
#include "sim/baud_rate.h"
#include "sim/binary_output.h"
#include "sim/command_payloads.h"
#include "sim/command_sentence.h"
#include "sim/nmea_gnss_output.h"
#include "sim/osprey_location_side.h"
#include "sim/text_format.h"

namespace vexa::sim {
namespace {

constexpr std::int64_t kVisibleListInterval = 10;  // seconds
constexpr std::uint8_t kResetFactory = 0x08;
constexpr std::uint8_t kResetCold = 0x04;
constexpr std::uint8_t kResetWarm = 0x02;
constexpr int kLowestMaskTenths = -200;
constexpr int kHighestMaskTenths = 900;

// Where each sentence's rate sits among the ten (rate, checksum) pairs of the switch to NMEA.
constexpr int kGgaPair = 0;
constexpr int kGsaPair = 2;
constexpr int kGsvPair = 3;
constexpr int kRmcPair = 4;
constexpr int kVtgPair = 5;
constexpr int kZdaPair = 8;

// The navigation-library messages' place among the four output switches.
std::size_t NavLibIndex(int id) { return static_cast<std::size_t>(id - ToWire(MessageId::NavLibMeasurement)); }

// The sentences set to every second, which a receiver writes with every fix; the slower ones wait for
// the first epoch of their second.
NmeaRates EveryEpoch(const NmeaRates& rates) {
    const auto everySecond = [](int interval) { return interval == 1 ? 1 : 0; };
    return {everySecond(rates.gga), everySecond(rates.gsa), everySecond(rates.gsv),
            everySecond(rates.rmc), everySecond(rates.vtg), everySecond(rates.zda)};
}

const char* ResetName(ResetKind kind) {
    switch (kind) {
        case ResetKind::Hot: return "hot";
        case ResetKind::Warm: return "warm";
        case ResetKind::Cold: return "cold";
        case ResetKind::Factory: return "factory";
    }
    return "cold";
}

}  // namespace

SimulatedReceiver::SimulatedReceiver(const ReceiverConfig& config, ReceiverOutput& output)
    : config_(config),
      output_(output),
      world_(config.origin, config.seed, config.constellations, config.noise),
      acquisition_(config.timesToFirstFix, config.ttffSpreads, config.seed),
      protocol_(config.protocol),
      baud_(config.baud) {
    acquisition_.reset(ResetKind::Hot, 0.0);
    if (config.productName == "Osprey") {
        osprey_ = std::make_unique<OspreyLocationSide>(output, "VexaSim 1.0", "Osprey simulated receiver");
    }
}

SimulatedReceiver::~SimulatedReceiver() = default;

ReceiverSnapshot SimulatedReceiver::snapshotAt(double seconds) {
    ReceiverSnapshot snapshot = world_.snapshot(seconds, config_.startUnixSeconds + seconds, acquisition_, masks_);
    snapshot.timedPower = power_.mode() == PowerSchedule::Mode::TimedPower;
    return snapshot;
}

void SimulatedReceiver::sendPayload(std::vector<std::uint8_t> payload) {
    if (osprey_) {
        // The time to first fix travels as a statistics message; everything else on the binary channel.
        if (payload[0] == ToWire(MessageId::TtffReport)) {
            payload[0] = kStatChannel;
        } else {
            payload.insert(payload.begin(), kBinaryChannel);
        }
    }
    output_.send(Frame(payload));
}

void SimulatedReceiver::sendText(std::string_view text) {
    sendPayload(TextPayload(ToWire(MessageId::DevelopmentText), text));
}

void SimulatedReceiver::outputEpoch(std::int64_t epoch) {
    const int rate = config_.fixesPerSecond;
    const std::int64_t second = epoch / rate;
    const std::int64_t epochInSecond = epoch % rate;
    if (!power_.awake(second)) {
        awake_ = false;
        return;
    }
    const double time = static_cast<double>(second) + static_cast<double>(epochInSecond) / rate;
    const ReceiverSnapshot snapshot = snapshotAt(time);
    const std::optional<double> firstFix = snapshot.hasFix() ? acquisition_.takeFirstFix(time) : std::nullopt;
    const bool firstOfSecond = epochInSecond == 0;
    if (protocol_ == Protocol::Nmea) {
        outputNmea(snapshot, second, firstOfSecond);
    } else {
        if (!awake_) sendPayload(MessagePayload(OkToSendRecord{1}));
        outputBinary(snapshot, second, firstOfSecond, firstFix);
        if (osprey_ && firstOfSecond) outputOsprey(snapshot, second);
        if (epochInSecond == rate - 1 && !power_.awake(second + 1)) sendPayload(MessagePayload(OkToSendRecord{0}));
    }
    awake_ = true;
}

void SimulatedReceiver::outputBinary(const ReceiverSnapshot& snapshot, std::int64_t second, bool firstOfSecond,
                                     const std::optional<double>& firstFix) {
    sendPayload(MessagePayload(NavigationRecord(snapshot)));
    sendPayload(MessagePayload(TrackerRecord(snapshot)));
    sendPayload(MessagePayload(GeodeticRecord(snapshot)));
    sendPayload(MessagePayload(ThroughputRecord(snapshot)));
    if (firstOfSecond && second % kVisibleListInterval == 0) sendPayload(MessagePayload(VisibleListRecord(snapshot)));
    if (firstFix) sendPayload(MessagePayload(TtffRecord(*firstFix)));
    if (developmentText_) {
        sendText(FormatText("NAV: week %d tow %.2f mode %d svs %d hdop %.1f", snapshot.gps.week,
                            snapshot.gps.towSeconds, snapshot.fixMode, snapshot.satellitesUsed, snapshot.hdop));
        // The program reads the seventh word after the first 18 characters as the time to first fix.
        if (firstFix) {
            sendText(FormatText("SpecCheck Report: reset=%s svs=%d hdop=%.1f lat=%.6f lon=%.6f ttff %.1f",
                                ResetName(lastReset_), snapshot.satellitesUsed, snapshot.hdop,
                                snapshot.position.latitudeDeg, snapshot.position.longitudeDeg, *firstFix));
        }
    }
    const auto navLibrary = [this](MessageId id) { return navLibrary_[NavLibIndex(ToWire(id))]; };
    for (int channel = 0; channel < kChannelCount && navLibrary(MessageId::NavLibMeasurement); ++channel) {
        if (snapshot.channels[channel].state == kStateTracking) {
            sendPayload(MessagePayload(MeasurementRecord(snapshot, channel)));
        }
    }
    if (navLibrary(MessageId::NavLib29)) sendPayload(MessagePayload(NavLibDgpsRecord(snapshot)));
    for (int channel = 0; channel < kChannelCount && navLibrary(MessageId::NavLib30); ++channel) {
        if (snapshot.channels[channel].state == kStateTracking) {
            sendPayload(MessagePayload(NavLibSatelliteRecord(snapshot, channel)));
        }
    }
    if (navLibrary(MessageId::NavLib31)) {
        sendPayload(MessagePayload(NavLibInitialisationRecord(snapshot, masks_.navigationTenths)));
    }
}

void SimulatedReceiver::outputOsprey(const ReceiverSnapshot& snapshot, std::int64_t second) {
    if (osprey_->nmeaOpen()) {
        for (const std::string& sentence : nmeaSentences(snapshot, nmeaRates_, second)) osprey_->sendNmea(sentence);
    }
    osprey_->outputSecond(snapshot, static_cast<double>(second));
}

std::vector<std::string> SimulatedReceiver::nmeaSentences(const ReceiverSnapshot& snapshot, const NmeaRates& rates,
                                                          std::int64_t second) const {
    if (IsMultiConstellation(config_.constellations)) {
        return GnssNmeaSentences(snapshot, rates, second, config_.constellations);
    }
    return NmeaSentences(snapshot, rates, second);
}

void SimulatedReceiver::outputNmea(const ReceiverSnapshot& snapshot, std::int64_t second, bool firstOfSecond) {
    const NmeaRates rates = firstOfSecond ? nmeaRates_ : EveryEpoch(nmeaRates_);
    for (const std::string& sentence : nmeaSentences(snapshot, rates, second)) {
        output_.send(std::vector<std::uint8_t>(sentence.begin(), sentence.end()));
    }
}

void SimulatedReceiver::switchLine(Protocol protocol, int baud) {
    protocol_ = protocol;
    baud_ = baud;
    output_.changeLine(protocol, baud);
}

void SimulatedReceiver::reset(std::uint8_t configuration, double nowSeconds) {
    ResetKind kind = ResetKind::Hot;
    if (configuration & kResetFactory) {
        kind = ResetKind::Factory;
    } else if (configuration & kResetCold) {
        kind = ResetKind::Cold;
    } else if (configuration & kResetWarm) {
        kind = ResetKind::Warm;
    }
    if (kind == ResetKind::Factory) {
        masks_ = {};
        power_ = {};
        nmeaRates_ = {};
        developmentText_ = false;
        navLibrary_ = {};
    }
    lastReset_ = kind;
    acquisition_.reset(kind, nowSeconds);
}

void SimulatedReceiver::setOutputRate(std::uint8_t messageId, bool on) {
    if (messageId == ToWire(MessageId::DevelopmentText)) developmentText_ = on;
    if (IsNavLibId(messageId)) {
        navLibrary_[NavLibIndex(messageId)] = on;
    }
}

void SimulatedReceiver::onFrame(std::span<const std::uint8_t> payload, double nowSeconds) {
    if (protocol_ != Protocol::Binary || payload.empty()) return;
    if (!osprey_) {
        onCommand(payload, nowSeconds);
    } else if (payload[0] == kBinaryChannel) {
        onCommand(payload.subspan(1), nowSeconds);
    } else if (osprey_->onFrame(payload, nowSeconds)) {
        reset(0, nowSeconds);
    }
}

void SimulatedReceiver::onCommand(std::span<const std::uint8_t> payload, double nowSeconds) {
    if (payload.empty()) return;
    const auto nextSecond = static_cast<std::int64_t>(std::ceil(nowSeconds));
    switch (payload[0]) {
        case ToWire(MessageId::Reset):
            if (const auto block = ReadResetCommand(payload)) reset(block->resetConfiguration, nowSeconds);
            break;
        case ToWire(MessageId::SwitchToNmea):
            if (const auto block = ReadSwitchToNmeaCommand(payload); block && IsSupportedBaud(block->baudRate)) {
                nmeaRates_ = {block->sentences[kGgaPair].rate, block->sentences[kGsaPair].rate,
                              block->sentences[kGsvPair].rate, block->sentences[kRmcPair].rate,
                              block->sentences[kVtgPair].rate, block->sentences[kZdaPair].rate};
                switchLine(Protocol::Nmea, block->baudRate);
            }
            break;
        case ToWire(MessageId::SwVersionPoll):
            if (ReadPollCommand(payload)) {
                const std::string version = "VexaSim 1.0 " + config_.productName + " simulated receiver";
                sendPayload(TextPayload(ToWire(MessageId::SwVersion), std::string_view(version.c_str(), version.size() + 1)));
            }
            break;
        case ToWire(MessageId::ClockStatusPoll):
            if (ReadPollCommand(payload)) sendPayload(MessagePayload(ClockStatusRecord(snapshotAt(nowSeconds))));
            break;
        case ToWire(MessageId::ElevationMask):
            if (const auto block = ReadElevationMaskCommand(payload);
                block && block->tracking >= kLowestMaskTenths && block->tracking <= kHighestMaskTenths &&
                block->navigation >= kLowestMaskTenths && block->navigation <= kHighestMaskTenths) {
                masks_ = {block->tracking, block->navigation};
            }
            break;
        case ToWire(MessageId::PowerMode):
            if (const auto block = ReadPowerModeCommand(payload)) {
                power_.setPowerMode(block->fixOnDemand, block->dutyCycle, block->onTimeMs, nextSecond);
            }
            break;
        case ToWire(MessageId::OutputRate):
            if (const auto block = ReadOutputRateCommand(payload); block && block->mode == 0) {
                setOutputRate(block->messageId, block->rate != 0);
            }
            break;
        case ToWire(MessageId::PowerTiming):
            if (const auto block = ReadPowerTimingCommand(payload)) {
                power_.setFixOnDemandPeriod(block->fixOnDemandPeriodSeconds, nextSecond);
            }
            break;
        default:
            break;
    }
}

void SimulatedReceiver::onSentence(std::string_view sentence, double) {
    if (protocol_ != Protocol::Nmea) return;
    const auto request = ParseProtocolSwitchSentence(sentence);
    if (!request || request->mode != 0 || !IsSupportedBaud(request->baud) || request->dataBits != 8 ||
        request->stopBits != 1 || request->parity != 0) {
        return;
    }
    switchLine(Protocol::Binary, request->baud);
}

}  // namespace vexa::sim
