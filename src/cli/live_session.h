#pragma once

#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "cli/decode_command.h"
#include "cli/receiver_request.h"
#include "link/connection_controller.h"
#include "link/gps_comm.h"
#include "link/link_recovery.h"
#include "platform/notify_queue.h"
#include "receiver/gnss_listener.h"
#include "receiver/message_sink.h"
#include "receiver/receiver_context.h"

namespace vexa {

// The headless front end's link: GpsComm with the connection controller, driven by the caller's
// one-second ticks. A receiver that goes away is reported as "Not connected" and looked for again
// every tick with the settings that found it. It writes each new connection status and every message box text to `errors`,
// every delivered message's line and the answers to polls to `output`, and sends the queued
// receiver commands in order while the link is up. Everything but the comm reader runs on the
// caller's thread.
class LiveSession {
public:
    // The protocol switch waits for the receiver to change over; it sleeps when this is empty.
    using Wait = std::function<void(std::chrono::milliseconds)>;

    // Nothing when the link cannot be had.
    // With json, `output` gets gpsd's JSON reports instead of the message lines.
    static std::unique_ptr<LiveSession> Create(int product, std::FILE* output, std::FILE* errors, Wait wait = {},
                                               bool json = false);
    ~LiveSession();
    LiveSession(const LiveSession&) = delete;
    LiveSession& operator=(const LiveSession&) = delete;

    // False when the data log cannot be opened; errno then says why.
    bool OpenLog(const std::string& path);
    // Raw recording of every byte received; 0, or the system's error number. Finish ends it.
    int StartRecording(const std::string& path);

    // Starts a connection attempt; "Auto" or a rate.
    void Connect(const std::string& portPath, const std::string& baudSelection);
    // Sent in the order queued, each once the link is up (at once when it is).
    void Queue(ReceiverRequest request);

    // One second has passed.
    void Tick();
    // Handles what the link reported: waits up to `timeout` for the first notification, then
    // takes every one that is waiting.
    void HandleNotifications(std::chrono::milliseconds timeout);
    // From any thread (a signal): the session is to end once the notification is handled.
    void RequestStop();

    bool StopRequested() const { return stopRequested_; }
    // A receiver answered at some time since the start.
    bool ReceiverFound() const { return receiverFound_; }
    // The last attempt ended without a receiver, so nothing more will arrive.
    bool GaveUp() const;

    // What the receive path has counted, as of the comm reader's last pause.
    DecodeCounts Counts();

    // Closes the data log with its closing line and writes the counts of what was received.
    void Finish();

    ReceiverContext& Context() { return *context_; }
    GpsComm& Comm() { return *comm_; }
    const ConnectionController& Controller() const { return controller_; }
    const LinkRecovery& Recovery() const { return recovery_; }

private:
    // Renders each delivered message on the comm reader thread and queues its line.
    class LinePoster : public MessageSink {
    public:
        explicit LinePoster(NotifySink& sink) : sink_(sink) {}
        void deliver(int id, const std::uint8_t* record, std::size_t length) override;

    private:
        NotifySink& sink_;
        char line_[kRenderBufferSize];
    };

    // Writes each fix and sky as a JSON report on the comm reader thread and queues its line.
    class ReportPoster : public GnssListener {
    public:
        explicit ReportPoster(NotifySink& sink) : sink_(sink) {}
        void onFix(const GnssFix& fix) override;
        void onSky(const GnssSky& sky) override;

    private:
        NotifySink& sink_;
    };

    LiveSession(std::unique_ptr<ReceiverContext> context, std::unique_ptr<GpsComm> comm, std::FILE* output,
                std::FILE* errors, Wait wait, bool json);

    void Handle(const Notification& notification);
    void ShowPollAnswer(int id);
    void SendWhileConnected();
    void Send(const ReceiverRequest& request);
    void UpdateStatus();
    void ShowMessage(std::string_view text);

    std::FILE* output_;
    std::FILE* errors_;
    bool json_;
    Wait wait_;
    std::unique_ptr<ReceiverContext> context_;
    NotifyQueue notifications_;
    LinePoster linePoster_;
    ReportPoster reportPoster_;
    std::unique_ptr<GpsComm> comm_;
    ConnectionController controller_;
    LinkRecovery recovery_;
    std::deque<ReceiverRequest> requests_;
    std::string shownStatus_;
    bool attempted_ = false;
    bool receiverFound_ = false;
    bool versionPending_ = false;
    bool clockPending_ = false;
    bool stopRequested_ = false;
};

}  // namespace vexa
