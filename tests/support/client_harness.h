#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <mutex>
#include <string>
#include <vector>

#include "support/frame_bytes.h"
#include "support/manual_clock.h"
#include "location/messages/client_profile.h"
#include "location/messages/number_encoding.h"
#include "location/messages/run_length.h"
#include "location/session/location_client.h"
#include "location/transport/transport.h"

namespace vexa::test {

// A server connection that records the frames written to it and lets the test deliver server
// messages as the network module would.
class ServerLink : public Transport {
public:
    ServerLink(CommunicationManager& manager, bool opens, std::function<void(const Bytes&)> written)
        : Transport(manager), opens_(opens), written_(std::move(written)) {}
    bool write(const std::uint8_t* bytes, std::size_t length) override {
        if (refuseWrites_) return false;
        written_(Bytes(bytes, bytes + length));
        return true;
    }
    bool open() override { return running_ = opens_; }
    bool close() override {
        running_ = false;
        return true;
    }
    bool isRunning() const override { return running_; }
    // The server goes away: the module closes itself, as the network module does.
    void vanish() { running_ = false; }
    // The connection stays up but every write fails.
    void refuseWrites() { refuseWrites_ = true; }

private:
    bool opens_;
    std::atomic<bool> refuseWrites_{false};
    std::atomic<bool> running_{false};
    std::function<void(const Bytes&)> written_;
};

// A location client whose receiver is the test: frames it writes to the receiver and to the server,
// the texts it shows, its traces and the fixes it reports are recorded, with waits for them. With
// logging on, its two log files go to a folder of their own.
class ClientHarness {
public:
    static constexpr std::chrono::seconds kPatience{5};
    enum class Logging { Off, On };

    explicit ClientHarness(ClientProfile profile = {}, bool serverAnswers = true, Logging logging = Logging::Off)
        : profile_(std::move(profile)) {
        profile_.externalSerial = 1;
        profile_.logEnabled = logging == Logging::On ? 1 : 0;
        if (logging == Logging::On) {
            std::random_device random;
            logDirectory_ = std::filesystem::temp_directory_path() / ("vexa_client_" + std::to_string(random()));
            std::filesystem::create_directories(logDirectory_);
            profile_.logDirectory = logDirectory_;
        }
        profile_.callbacks.display = [this](std::string_view text) { record(texts_, std::string(text)); };
        profile_.callbacks.externalWrite = [this](const std::uint8_t* bytes, std::size_t length) {
            record(sent_, Bytes{kToReceiver});
            record(receiverFrames_, Bytes(bytes, bytes + length));
        };
        profile_.callbacks.position = [this](const PositionResult& fix) { record(fixes_, fix); };
        profile_.callbacks.nmea = [this](const NmeaRecord& nmea) {
            holdIfAsked();
            record(nmea_, nmea);
        };
        ClientServices services;
        services.transports.network = [this, serverAnswers](CommunicationManager& manager, const ClientProfile&) {
            auto link = std::make_unique<ServerLink>(manager, serverAnswers, [this](const Bytes& frame) {
                record(sent_, Bytes{kToServer});
                record(serverFrames_, frame);
            });
            server_ = link.get();
            return link;
        };
        services.trace = [this](std::string_view text) { record(traces_, std::string(text)); };
        services.clock = clock_;
        client_ = std::make_unique<LocationClient>(std::move(services));
        created_ = client_->create(profile_);
    }
    ~ClientHarness() {
        client_->close();
        if (!logDirectory_.empty()) std::filesystem::remove_all(logDirectory_);
    }

    static constexpr std::uint8_t kToReceiver = 'R';
    static constexpr std::uint8_t kToServer = 'S';

    LocationClient& client() { return *client_; }
    bool created() const { return created_; }
    void advanceClock(std::chrono::milliseconds step) { clock_.Advance(step); }

    // Frame content as the host's frame reader hands it over: channel byte, id, payload.
    void fromReceiver(const Bytes& content) { client_->postExternalSerial(content.data(), content.size()); }
    void fromServer(std::uint8_t id, const Bytes& payload) {
        Bytes content{0xAA, id};
        content.insert(content.end(), payload.begin(), payload.end());
        server_->deliver(content.data(), content.size());
    }

    void serverVanishes() { server_->vanish(); }
    void serverRefusesWrites() { server_->refuseWrites(); }

    // The next NMEA message holds the client's thread inside the host's callback (the call processor
    // lock held) until release(); meanwhile the test can line up what the client finds afterwards.
    void holdNextNmea() {
        std::lock_guard lock(mutex_);
        holdState_ = Hold::Asked;
    }
    bool awaitHeld() {
        return await([&] { return holdState_ == Hold::Holding; });
    }
    void release() {
        {
            std::lock_guard lock(mutex_);
            holdState_ = Hold::None;
        }
        changed_.notify_all();
    }

    // The peers the frames went to, in the order written: kToReceiver or kToServer each.
    Bytes sendOrder() {
        std::lock_guard lock(mutex_);
        Bytes order;
        for (const auto& peer : sent_) order.push_back(peer.front());
        return order;
    }
    std::vector<std::string> traces() {
        std::lock_guard lock(mutex_);
        return traces_;
    }
    // The log files' text; empty while logging is off.
    std::string traceLog() const { return readLog(profile_.msName + ".txt"); }
    std::string errorLog() const { return readLog("error.txt"); }

    // Waits until `count` receiver frames of the channel and id have been written.
    bool awaitReceiverFrames(std::uint8_t channel, std::uint8_t id, std::size_t count = 1) {
        return await([&] { return countOf(receiverFrames_, {channel, id, false}) >= count; });
    }
    bool awaitServerFrames(std::uint8_t id, std::size_t count = 1) {
        return await([&] { return countOf(serverFrames_, {0, id, true}) >= count; });
    }
    bool awaitText(std::string_view text) {
        return await([&] {
            for (const auto& shown : texts_) {
                if (shown == text) return true;
            }
            return false;
        });
    }
    bool awaitTrace(std::string_view text) {
        return await([&] { return std::find(traces_.begin(), traces_.end(), text) != traces_.end(); });
    }
    // Every server message posted before has been handled once its open request is answered.
    bool settleByServer() {
        const std::size_t answered = serverCount(2);
        fromServer(2, {0x00, 0x01});
        return awaitServerFrames(2, answered + 1);
    }
    bool awaitFixes(std::size_t count) {
        return await([&] { return fixes_.size() >= count; });
    }
    // Every message posted before has been handled once the receiver's hardware request is answered.
    bool settle() {
        const std::size_t answered = receiverCount(0x02, 16);
        fromReceiver({0x02, 16});
        return awaitReceiverFrames(0x02, 16, answered + 1);
    }

    std::size_t receiverCount(std::uint8_t channel, std::uint8_t id) {
        std::lock_guard lock(mutex_);
        return countOf(receiverFrames_, {channel, id, false});
    }
    std::size_t serverCount(std::uint8_t id) {
        std::lock_guard lock(mutex_);
        return countOf(serverFrames_, {0, id, true});
    }
    // The last receiver frame of the channel and id; empty when none.
    Bytes lastReceiverFrame(std::uint8_t channel, std::uint8_t id) {
        std::lock_guard lock(mutex_);
        return lastOf(receiverFrames_, {channel, id, false});
    }
    Bytes lastServerFrame(std::uint8_t id) {
        std::lock_guard lock(mutex_);
        return lastOf(serverFrames_, {0, id, true});
    }
    std::vector<std::string> texts() {
        std::lock_guard lock(mutex_);
        return texts_;
    }
    std::vector<PositionResult> fixes() {
        std::lock_guard lock(mutex_);
        return fixes_;
    }
    std::vector<NmeaRecord> nmea() {
        std::lock_guard lock(mutex_);
        return nmea_;
    }

private:
    template <class Item>
    void record(std::vector<Item>& list, Item item) {
        {
            std::lock_guard lock(mutex_);
            list.push_back(std::move(item));
        }
        changed_.notify_all();
    }
    // Receiver frames: A0 A2, length, channel, id. Server frames: A0 A2, length, id.
    struct Kind {
        std::uint8_t channel;
        std::uint8_t id;
        bool toServer;
        bool operator()(const Bytes& frame) const {
            if (toServer) return frame.size() > 4 && frame[4] == id;
            return frame.size() > 5 && frame[4] == channel && frame[5] == id;
        }
    };
    static std::size_t countOf(const std::vector<Bytes>& frames, Kind kind) {
        return static_cast<std::size_t>(std::count_if(frames.begin(), frames.end(), kind));
    }
    static Bytes lastOf(const std::vector<Bytes>& frames, Kind kind) {
        const auto found = std::find_if(frames.rbegin(), frames.rend(), kind);
        return found == frames.rend() ? Bytes{} : *found;
    }
    bool await(const std::function<bool()>& done) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, done);
    }
    void holdIfAsked() {
        std::unique_lock lock(mutex_);
        if (holdState_ != Hold::Asked) return;
        holdState_ = Hold::Holding;
        changed_.notify_all();
        changed_.wait_for(lock, kPatience, [&] { return holdState_ != Hold::Holding; });
    }
    std::string readLog(const std::string& name) const {
        if (logDirectory_.empty()) return {};
        std::ifstream in(logDirectory_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    ClientProfile profile_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Bytes> receiverFrames_;
    std::vector<Bytes> serverFrames_;
    std::vector<std::string> texts_;
    std::vector<PositionResult> fixes_;
    std::vector<NmeaRecord> nmea_;
    std::vector<Bytes> sent_;
    std::vector<std::string> traces_;
    enum class Hold { None, Asked, Holding };
    Hold holdState_ = Hold::None;
    std::filesystem::path logDirectory_;
    ManualClock clock_;
    ServerLink* server_ = nullptr;
    std::unique_ptr<LocationClient> client_;
    bool created_ = false;
};

// The receiver's position answer in one fragment: 248 bytes with the position and altitude filled in.
inline Bytes positionAnswer(double latitude, double longitude, int altitudeMetres) {
    Bytes answer(248, 0);
    answer[0] = 1;
    const auto put32 = [&](std::size_t at, std::int32_t value) {
        for (int i = 0; i < 4; ++i) answer[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (24 - 8 * i));
    };
    put32(11, encodeLatitude(latitude));
    put32(15, encodeLongitude(longitude));
    answer[19] = 0x02;  // the altitude group is present
    const auto altitude = static_cast<std::uint16_t>((altitudeMetres + 500) * 10);
    answer[23] = static_cast<std::uint8_t>(altitude >> 8);
    answer[24] = static_cast<std::uint8_t>(altitude);
    Bytes content{0x01, 0x02, 1, 1};
    encodeRunLength(answer, content);
    return content;
}

// Aiding data with an orbit record for satellite 5 and, when asked, a valid GPS time.
inline Bytes aidingBlock(bool withOrbit, bool withTime) {
    Bytes data{static_cast<std::uint8_t>((withOrbit ? 1 : 0) + (withTime ? 1 : 0)), 0};
    if (withOrbit) {
        Bytes body{1};
        Bytes record(59, 0x55);
        record[0] = 5;
        body.insert(body.end(), record.begin(), record.end());
        body.insert(body.end(), 13, 0);
        const Bytes header{0, 1, 0, 0, 0, static_cast<std::uint8_t>(body.size())};
        data.insert(data.end(), header.begin(), header.end());
        data.insert(data.end(), body.begin(), body.end());
    }
    if (withTime) {
        const Bytes timeBlock{0, 2, 0, 0, 0, 7, 1, 0x05, 0x39, 0x00, 0x01, 0x51, 0x80};  // week 1337, 86400 s
        data.insert(data.end(), timeBlock.begin(), timeBlock.end());
    }
    return data;
}

// The same data as a rendered server aiding frame, as a host posts it.
inline Bytes aidingFrame(const Bytes& block) {
    const std::size_t length = block.size() + 1;
    Bytes frame{0xA0, 0xA2, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length), 0x03};
    frame.insert(frame.end(), block.begin(), block.end());
    frame.insert(frame.end(), {0xB0, 0xB3});
    return frame;
}

}  // namespace vexa::test
