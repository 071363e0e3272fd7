#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/constellation.h"
#include "sim/fix_acquisition.h"
#include "sim/geodesy.h"
#include "sim/nmea_output.h"
#include "sim/power_schedule.h"
#include "sim/world_model.h"

namespace vexa::sim {

class OspreyLocationSide;

enum class Protocol { Binary, Nmea };

struct ReceiverConfig {
    std::string productName = "Kestrel";
    Protocol protocol = Protocol::Binary;
    int baud = 57600;
    int fixesPerSecond = 1;  // 1, 2, 5, 10 or 20: divides a second into whole microseconds
    Geodetic origin{37.3875, -121.9720, 25.0};
    std::uint32_t seed = 1;
    Constellations constellations{Constellation::Gps};  // what it tracks; more than GPS changes its NMEA output
    TimesToFirstFix timesToFirstFix;
    TtffSpreads ttffSpreads;              // drawn from the seed
    std::optional<PositionNoise> noise;   // drawn from the seed; the receiver then stands at the origin
    double startUnixSeconds = 0;  // the time of day the receiver wakes up to
};

// Where the receiver's output goes: whole frames and sentences, and changes of protocol and baud rate
// (after which anything still waiting to be sent is stale).
class ReceiverOutput {
public:
    virtual ~ReceiverOutput() = default;
    virtual void send(std::vector<std::uint8_t> message) = 0;
    virtual void changeLine(Protocol protocol, int baud) = 0;
};

// The receiver's behaviour, without any input or output device: what it sends each output epoch and how
// it answers the host's commands. Times are seconds since the receiver was switched on.
class SimulatedReceiver {
public:
    SimulatedReceiver(const ReceiverConfig& config, ReceiverOutput& output);
    ~SimulatedReceiver();

    Protocol protocol() const { return protocol_; }
    int baud() const { return baud_; }

    // A checked binary frame's payload, id first (an Osprey's: channel byte first). Ignored while the
    // receiver speaks NMEA.
    void onFrame(std::span<const std::uint8_t> payload, double nowSeconds);
    // A complete sentence from "$" through LF. Ignored while the receiver speaks the binary protocol.
    void onSentence(std::string_view sentence, double nowSeconds);
    // Sends what falls due at output epoch `epoch`, counted at the configured fixes a second from
    // switch-on (at one fix a second the epoch is the second). Each epoch brings a fix; what a receiver
    // writes once a second or less often (visible list, sentences set to slower intervals, the
    // location client's side) comes with the first epoch of its second.
    void outputEpoch(std::int64_t epoch);

private:
    ReceiverSnapshot snapshotAt(double seconds);
    void onCommand(std::span<const std::uint8_t> payload, double nowSeconds);
    void sendPayload(std::vector<std::uint8_t> payload);
    void sendText(std::string_view text);
    void outputBinary(const ReceiverSnapshot& snapshot, std::int64_t second, bool firstOfSecond,
                      const std::optional<double>& firstFix);
    void outputNmea(const ReceiverSnapshot& snapshot, std::int64_t second, bool firstOfSecond);
    std::vector<std::string> nmeaSentences(const ReceiverSnapshot& snapshot, const NmeaRates& rates,
                                           std::int64_t second) const;
    void outputOsprey(const ReceiverSnapshot& snapshot, std::int64_t second);
    void switchLine(Protocol protocol, int baud);
    void reset(std::uint8_t configuration, double nowSeconds);
    void setOutputRate(std::uint8_t messageId, bool on);

    ReceiverConfig config_;
    ReceiverOutput& output_;
    WorldModel world_;
    FixAcquisition acquisition_;
    PowerSchedule power_;
    ElevationMasks masks_;
    NmeaRates nmeaRates_;
    Protocol protocol_;
    int baud_;
    bool developmentText_ = false;
    std::array<bool, 4> navLibrary_{};  // messages 28 to 31
    bool awake_ = true;
    ResetKind lastReset_ = ResetKind::Hot;
    std::unique_ptr<OspreyLocationSide> osprey_;  // an Osprey's channels; null for other products
};

}  // namespace vexa::sim
