#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "location/messages/air_message.h"
#include "location/messages/client_profile.h"
#include "location/messages/message.h"
#include "location/messages/message_ai3.h"
#include "location/messages/orbit_slots.h"
#include "location/session/session_timer.h"
#include "location/transport/communication_manager.h"

namespace vexa {

// The user-visible progress texts of a session; their numbers are powers of two.
namespace status {
inline constexpr std::string_view kStartAutonomous = "0002:START AUTONOMOUS SESSION";
inline constexpr std::string_view kStartNetwork = "0004:START NETWORK SESSION";
inline constexpr std::string_view kAidingReceived = "0008:AIDING RECEIVED";
inline constexpr std::string_view kWaitingAutonomous = "0016:WAITING FOR AUTONOMOUS POSITION FIX";
inline constexpr std::string_view kWaitingAided = "0032:WAITING FOR AIDED POSITION FIX";
inline constexpr std::string_view kFixReceived = "0064:POSITION FIX RECEIVED";
inline constexpr std::string_view kNmeaEnabled = "0128:NMEA ENABLED";
inline constexpr std::string_view kNmeaDisabled = "0256:NMEA DISABLED";
}  // namespace status

// Receives the "DEBUG:" text of every message sent or received; empty discards them.
using TraceSink = std::function<void(std::string_view)>;

// Runs the positioning sessions: one thread answers every message that arrives from the receiver or
// the server, while the host starts and stops sessions, posts aiding data and switches the tunnels.
//
// The call processor lock guards the session state; it is held while messages are built and while
// host callbacks run (a callback may call back in on the same thread). Every message built is queued
// under the lock and written, in the order built, after the lock is released: a slow server never
// holds up the receiver's traffic, and no thread's messages overtake another's.
class CallProcessor {
public:
    enum class SessionKind { None = 0, Autonomous = 1, Network = 2, Aided = 3 };
    // 0 idle, 1 test started, 2 orbit data without time, 3 time without orbit data, 4 both,
    // 5 aiding unusable, 6 closed by the server after 4, 7 closed by the server otherwise.
    enum TestState { kIdle = 0, kTestStarted, kOrbitOnly, kTimeOnly, kOrbitAndTime, kAidingUnusable,
                     kClosedAfterAiding, kClosedOtherwise };

    // The host interface must outlive the call processor.
    CallProcessor(const ClientProfile& profile, HostInterface& host, const TransportFactory& transports,
                  TraceSink trace = {}, const Clock& clock = SystemClock());
    ~CallProcessor();
    CallProcessor(const CallProcessor&) = delete;
    CallProcessor& operator=(const CallProcessor&) = delete;

    // Starts the communication manager and the thread.
    bool start();
    bool startSession();
    bool stopSession();
    // A rendered server aiding frame; false when it holds nothing usable.
    bool aidingReceived(const std::uint8_t* frame, std::size_t length);
    void setNmea(bool on);
    void setBinary(bool on);
    // Ends the thread (waiting for it unless called on it) and shuts the communication manager down.
    bool shutdown();
    // Waits for the thread to end; never from the thread itself (a host callback).
    void join();

    // True: the session lasts for the profile's number of fixes; false: it ends after the first fix.
    void setKeepSession(bool keep);
    void setProfile(const ClientProfile& profile);
    // One frame the host received on the receiver's location channels, channel byte first.
    bool postExternalSerial(const std::uint8_t* bytes, std::size_t length);

    std::string receiverVersion1() const;
    std::string receiverVersion2() const;

private:
    using Lock = std::lock_guard<std::recursive_mutex>;
    // A message to write with its trace, or (no message) the closing of the server connection.
    struct Outgoing {
        std::unique_ptr<Message> message;
        std::string trace;
    };

    void run();
    void watchSession();
    void watchServer();
    void handle(Message& message);
    void handleServer(Message& message);
    void handleAi3(Message& message);
    void handleF(Message& message);
    void handleTimeTransferRequest();
    void handleStat(Message& message);
    void handlePositionAnswer(Message& message);

    // The server closed its side (its close request, or the connection went away); the test state
    // moves once whichever comes first.
    void serverGone();
    bool stopSessionLocked();
    bool aidingReceivedLocked(const std::uint8_t* frame, std::size_t length);
    void requestAutonomousPosition();
    void requestAidedPosition();
    void sendPositionRequest(std::unique_ptr<MessageAI3_PositionRequest> request);
    void endTest();

    // Queues the message; the caller holds the lock and calls sendQueued once it has released it.
    void send(std::unique_ptr<Message> message, std::string_view trace);
    // Writes the queued messages in order. The thread already writing takes over what others queue.
    void sendQueued();
    // Gives the next queued step; false when none is left.
    bool takeQueued(Outgoing& next);
    void trace(std::string_view text) const;

    mutable std::recursive_mutex lock_;
    ClientProfile profile_;
    HostInterface& host_;
    CommunicationManager comm_;
    TraceSink trace_;
    std::thread thread_;
    std::atomic<bool> run_{true};

    std::unique_ptr<OrbitSlots> decodedAiding_;
    AidingTime aidingTime_;
    std::deque<Outgoing> outbox_;
    std::mutex sending_;  // held by the one thread writing the queued messages

    std::uint16_t fixCount_ = 0;
    std::uint16_t masSessionId_ = 0;
    std::string version1_;
    std::string version2_;
    SessionKind sessionKind_ = SessionKind::None;
    int testState_ = kIdle;
    bool networkSession_ = false;
    bool receiverSessionOpen_ = false;
    bool aidingReady_ = false;
    bool aidedRequestSent_ = false;
    bool keepSession_ = true;
    SessionTimer networkTimer_;
    SessionTimer serialTimer_;
};

}  // namespace vexa
