#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "location/messages/message.h"
#include "sim/receiver_snapshot.h"
#include "sim/simulated_receiver.h"

namespace vexa::sim {

// The Osprey receiver's side of the location client's exchanges on the F (0x02) and AI3 (0x01)
// channels: after a reset it asks for hardware configuration, time, frequency and an approximate
// position, opens a positioning session when asked, and answers position requests with its fix,
// compressed and cut into fragments. It also keeps which tunnels (NMEA 0xDD, binary 0xEE) are open.
class OspreyLocationSide {
public:
    // Answers are cut into fragments of this many compressed bytes.
    static constexpr std::size_t kAnswerFragmentBytes = 16;
    // A time request the client is not ready for is repeated once a second this many times in all;
    // then the receiver goes on without the time, as an autonomous session needs it to.
    static constexpr int kTimeTransferAttempts = 3;

    OspreyLocationSide(ReceiverOutput& output, std::string version1, std::string version2);

    // A frame's content from the client, channel byte first. Gives true when it asks for a reset.
    bool onFrame(std::span<const std::uint8_t> content, double nowSeconds);
    // Once a second: asks again for time when it was not ready, answers a waiting position request.
    void outputSecond(const ReceiverSnapshot& snapshot, double nowSeconds);

    bool nmeaOpen() const { return nmeaOpen_; }

    // Sends a message to the client in the receiver's own frame (checksum bit 15 clear).
    void send(Message& message);
    // A sentence through the NMEA tunnel: its "$" travels as the message id.
    void sendNmea(std::string_view sentence);

private:
    void onF(std::uint8_t id, std::span<const std::uint8_t> payload, double nowSeconds);
    void onAi3(std::span<const std::uint8_t> content);
    void askTime();

    ReceiverOutput& output_;
    std::string version1_;
    std::string version2_;
    bool nmeaOpen_ = false;
    std::optional<double> timeRetryAt_;
    int timeAttempts_ = 0;
    std::uint8_t requestFragments_ = 0;
    std::uint8_t lastFragment_ = 0;
    std::vector<std::uint8_t> request_;
    int fixesWanted_ = 0;
};

// The receiver's 248-byte position answer for a snapshot: valid with its latitude, longitude and altitude.
std::vector<std::uint8_t> PositionAnswer(const ReceiverSnapshot& snapshot);

}  // namespace vexa::sim
