#include "location/session/call_processor.h"

#include "location/messages/logical_channel.h"
#include "location/messages/message_f.h"
#include "location/messages/message_mas.h"
#include "location/messages/printf_text.h"

namespace vexa {

namespace {

constexpr std::uint32_t kMsPerSecond = 1000;

}  // namespace

CallProcessor::CallProcessor(const ClientProfile& profile, HostInterface& host, const TransportFactory& transports,
                             TraceSink trace, const Clock& clock)
    : profile_(profile),
      host_(host),
      comm_(profile_, host, transports),
      trace_(std::move(trace)),
      networkTimer_(clock),
      serialTimer_(clock) {}

CallProcessor::~CallProcessor() {
    run_ = false;
    comm_.interruptGetMessage();
    join();
}

bool CallProcessor::start() {
    if (!comm_.start()) {
        comm_.reportStatus("ERROR: Cannot start comm manager");
        comm_.logError("ERROR: Cannot start comm manager");
        return false;
    }
    serialTimer_.setLimit(profile_.serialTimeout * kMsPerSecond);
    networkTimer_.setLimit(profile_.networkTimeout * kMsPerSecond);
    thread_ = std::thread([this] { run(); });
    return true;
}

bool CallProcessor::startSession() {
    bool hostAiding = false;
    {
        Lock lock(lock_);
        hostAiding = profile_.hostAiding != 0;
    }
    // Connecting may take a while; the receiver's traffic goes on meanwhile.
    const bool networkUp = !hostAiding && comm_.startNetwork() && comm_.networkUp();
    {
        Lock lock(lock_);
        networkSession_ = networkUp;
        aidedRequestSent_ = false;
        testState_ = kIdle;
        receiverSessionOpen_ = false;
        sessionKind_ = SessionKind::None;
        if (networkSession_) {
            comm_.reportStatus(status::kStartNetwork);
            serialTimer_.reset();
            serialTimer_.start();
            sessionKind_ = SessionKind::Network;
            networkTimer_.reset();
            networkTimer_.start();
            send(std::make_unique<MessageMAS_MSInfo>(profile_.msName), "DEBUG:CP->MAS:MS Info");
        } else {
            comm_.reportStatus(status::kStartAutonomous);
            sessionKind_ = SessionKind::Autonomous;
            serialTimer_.reset();
            serialTimer_.start();
        }
        send(std::make_unique<MessageF_GPSReset>(profile_.resetKind), "DEBUG:CP->RVX:GPS Reset");
    }
    sendQueued();
    return true;
}

bool CallProcessor::stopSession() {
    {
        Lock lock(lock_);
        stopSessionLocked();
    }
    sendQueued();
    return true;
}

bool CallProcessor::stopSessionLocked() {
    send(std::make_unique<MessageF_SessionCloseRequest>(), "DEBUG:CP->RVX:AI3 Close Sess Req");
    if (comm_.networkUp()) endTest();
    if (comm_.networkUp() && networkSession_) endTest();
    return true;
}

bool CallProcessor::aidingReceived(const std::uint8_t* frame, std::size_t length) {
    bool usable = false;
    {
        Lock lock(lock_);
        usable = aidingReceivedLocked(frame, length);
    }
    sendQueued();
    return usable;
}

bool CallProcessor::aidingReceivedLocked(const std::uint8_t* frame, std::size_t length) {
    comm_.reportStatus(status::kAidingReceived);
    // A frame too short to hold an aiding block decodes as nothing usable.
    std::span<const std::uint8_t> block;
    if (frame != nullptr) {
        if (const auto found = aidingBlockOfFrame({frame, length})) block = *found;
    }
    trace("DEBUG:Decoding Air Message");
    if (!decodedAiding_) decodedAiding_ = std::make_unique<OrbitSlots>();
    AidingTime time = aidingTime_;
    const unsigned flags = decodeAirMessage(block, *decodedAiding_, time);
    if (flags != 0) {
        aidingTime_ = time;
        testState_ = (flags & kOrbitRecordsDecoded) != 0 ? kOrbitOnly : kTimeOnly;
        if ((flags & kValidTimeDecoded) != 0) {
            sessionKind_ = SessionKind::Aided;
            if (testState_ == kOrbitOnly) testState_ = kOrbitAndTime;
        } else {
            testState_ = kAidingUnusable;
        }
        comm_.logTrace(printfText("Air Msg Rx: Eph[%c], Time[%c].", (flags & kOrbitRecordsDecoded) != 0 ? 'Y' : 'N',
                                  (flags & kValidTimeDecoded) != 0 ? 'Y' : 'N'));
    } else {
        testState_ = kAidingUnusable;
        decodedAiding_.reset();
    }
    if (networkSession_) endTest();
    if (flags == 0) comm_.logError("ERROR:CallProcessor-Bad air message");
    return flags != 0;
}

void CallProcessor::setNmea(bool on) {
    {
        Lock lock(lock_);
        if (on) {
            comm_.reportStatus(status::kNmeaEnabled);
            send(std::make_unique<MessageF_ChannelOpen>(kNmeaChannel), "DEBUG:CP->RVX:NMEA Channel ON");
        } else {
            comm_.reportStatus(status::kNmeaDisabled);
            send(std::make_unique<MessageF_ChannelClose>(kNmeaChannel), "DEBUG:CP->RVX:NMEA Channel OFF");
        }
    }
    sendQueued();
}

void CallProcessor::setBinary(bool on) {
    {
        Lock lock(lock_);
        if (on) {
            comm_.reportStatus("DEBUG: Enabling Vexa Binary");
            send(std::make_unique<MessageF_ChannelOpen>(kBinaryChannel), "DEBUG:CP->RVX:XTN Channel ON");
        } else {
            comm_.reportStatus("DEBUG: Disabling Vexa Binary");
            send(std::make_unique<MessageF_ChannelClose>(kBinaryChannel), "DEBUG:CP->RVX:XTN Channel OFF");
        }
    }
    sendQueued();
}

bool CallProcessor::shutdown() {
    {
        Lock lock(lock_);
        keepSession_ = true;
    }
    run_ = false;
    comm_.interruptGetMessage();
    // The thread's last lines reach the logs before they close.
    join();
    return comm_.shutdown();
}

void CallProcessor::join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
}

void CallProcessor::setKeepSession(bool keep) {
    Lock lock(lock_);
    keepSession_ = keep;
}

void CallProcessor::setProfile(const ClientProfile& profile) {
    Lock lock(lock_);
    profile_ = profile;
}

bool CallProcessor::postExternalSerial(const std::uint8_t* bytes, std::size_t length) {
    Lock lock(lock_);
    if (!comm_.deliverFromHost(bytes, length)) comm_.logError("Error: cannot post external serial message");
    return true;
}

std::string CallProcessor::receiverVersion1() const {
    Lock lock(lock_);
    return version1_;
}

std::string CallProcessor::receiverVersion2() const {
    Lock lock(lock_);
    return version2_;
}

void CallProcessor::requestAutonomousPosition() {
    trace("DEBUG:CP->RVX:AI3:Autonomous Position Request");
    comm_.reportStatus(status::kWaitingAutonomous);
    sendPositionRequest(std::make_unique<MessageAI3_PositionRequest>());
}

void CallProcessor::requestAidedPosition() {
    trace("DEBUG:CP->RVX:AI3:Aided AI3 Pos Request");
    comm_.reportStatus(status::kWaitingAided);
    auto request = std::make_unique<MessageAI3_PositionRequest>();
    if (decodedAiding_) request->orbitSlots() = *decodedAiding_;
    decodedAiding_.reset();
    sendPositionRequest(std::move(request));
}

void CallProcessor::sendPositionRequest(std::unique_ptr<MessageAI3_PositionRequest> request) {
    request->setHeader(profile_.numFixes, profile_.requestParam);
    fixCount_ = 0;
    send(std::move(request), {});
}

void CallProcessor::endTest() {
    if (testState_ == kIdle || testState_ == kClosedAfterAiding || testState_ == kClosedOtherwise) return;
    send(std::make_unique<MessageMAS_EndTest>(), "DEBUG:CP->MAS:MessageMAS_EndTest");
}

void CallProcessor::send(std::unique_ptr<Message> message, std::string_view traceText) {
    Lock lock(lock_);
    outbox_.push_back({std::move(message), std::string(traceText)});
}

bool CallProcessor::takeQueued(Outgoing& next) {
    Lock lock(lock_);
    if (outbox_.empty()) return false;
    next = std::move(outbox_.front());
    outbox_.pop_front();
    return true;
}

void CallProcessor::sendQueued() {
    while (true) {
        {
            // Never waits: a thread that holds the call processor lock (a host callback) may call in here.
            std::unique_lock writing(sending_, std::try_to_lock);
            if (!writing.owns_lock()) return;
            Outgoing next;
            while (takeQueued(next)) {
                if (!next.message) {
                    comm_.stopNetwork();
                    continue;
                }
                if (!comm_.sendMessage(*next.message)) {
                    comm_.logError(printfText("Failed to send msg ch[%d], id[%d]", next.message->channel(),
                                              next.message->id()));
                }
                if (!next.trace.empty()) trace(next.trace);
            }
        }
        // What another thread queued after the last look, while this one still held the writing.
        Lock lock(lock_);
        if (outbox_.empty()) return;
    }
}

void CallProcessor::trace(std::string_view text) const {
    if (trace_) trace_(text);
}

}  // namespace vexa
