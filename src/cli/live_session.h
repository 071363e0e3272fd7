#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "cli/decode_command.h"
#include "cli/line_output.h"
#include "cli/source_lines.h"
#include "cli/receiver_request.h"
#include "link/connection/connection_controller.h"
#include "link/gps_comm.h"
#include "link/link_log.h"
#include "link/link_recording.h"
#include "link/location_client_host.h"
#include "link/recording/fix_track.h"
#include "link/connection/link_recovery.h"
#include "link/model/update_queue.h"
#include "platform/clock.h"
#include "receiver/fix/gnss_listener.h"
#include "receiver/binary/message_sink.h"
#include "receiver/product/receiver_context.h"

namespace vexa {

// The headless front end's link: GpsComm with the connection controller, driven by the caller's
// one-second ticks. A receiver that goes away is reported as "Not connected" and looked for again
// every tick with the settings that found it; one that was never found is looked for in the same way
// once the first attempt has ended, until the run ends. It writes each new connection status and every message box text to `errors`,
// every delivered message's line and the answers to polls to `output`, and sends the queued
// receiver commands in order while the link is up. Everything but the comm reader runs on the
// caller's thread.
//
// Whatever the receiver sends, the session stays within a fixed memory and never waits on its
// streams: lines go out through LineOutput (dropped and counted when a stream does not take them),
// and of the link's updates only one of each kind waits at a time (UpdateQueue).
class LiveSession {
public:
    // The protocol switch waits for the receiver to change over; it sleeps when this is empty.
    using Wait = std::function<void(std::chrono::milliseconds)>;

    // The line queues of standard output and error that the sessions of a run share (their owner
    // pumps them too), the source's name that starts each of the session's lines, and the device
    // named in its JSON reports.
    struct SharedStreams {
        LineOutput& output;
        LineOutput& errors;
        std::string name;
        std::string device;
    };

    // Nothing when the link cannot be had.
    // With json, `output` gets gpsd's JSON reports instead of the message lines. With unknown, each
    // frame of an unknown id is printed as a line too (to `errors` with json). The link, the model
    // and the output deadlines read the time on `clock`.
    static std::unique_ptr<LiveSession> Create(int product, std::FILE* output, std::FILE* errors, Wait wait = {},
                                               bool json = false, bool unknown = false,
                                               const Clock& clock = SystemClock());
    static std::unique_ptr<LiveSession> Create(int product, const SharedStreams& streams, Wait wait, bool json,
                                               bool unknown, const Clock& clock = SystemClock());
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
    // Handles what the link reported: waits up to `timeout` for the first update (or lines to
    // print, or a stop), then takes every one that is waiting.
    void HandleNotifications(std::chrono::milliseconds timeout);
    // From any thread (a signal): the session is to end; a HandleNotifications waiting returns.
    void RequestStop();

    bool StopRequested() const { return stopRequested_; }
    // A receiver answered at some time since the start.
    bool ReceiverFound() const { return receiverFound_; }
    // No receiver is connected and none is being tried: the next tick looks for one again.
    bool BetweenAttempts() const;
    // The data log or the recording met a write error (and was closed, with the reason shown).
    bool FileWriteFailed() const { return fileWriteFailed_; }
    // Why standard output failed (EPIPE: nobody reads it any more), 0 while it has not.
    int OutputError() const { return output_.WriteError(); }

    // What the receive path has counted, as of the comm reader's last pause.
    DecodeCounts Counts();

    // Closes the link, closes the data log with its closing line and writes the counts of what was received.
    void Finish();
    // A line for the user on the error stream.
    void Report(std::string_view text);
    // From now on the messages print nothing, and the caller prints its own lines (Print); call it
    // before Connect.
    void QuietMessages();
    // A line on the output stream.
    void Print(std::string_view text);
    // Lets the streams take what is left until `deadline`; a stream that does not read loses the
    // rest. The lines lost on standard output are reported on the error stream first.
    void DrainOutput(SteadyTime deadline);
    // Whether fixes are kept for ExportTrack (they are unless told otherwise): a run that exports no
    // track saves the memory a long run or a flood of fixes would take. Set before connecting.
    void KeepTrack(bool keep);
    // Writes the fixes since the connection as a GPX track; gives why it failed, empty on success.
    std::string ExportTrack(const std::string& path) const;

    // The clock the session was created with, for the caller's loop.
    const Clock& Time() const { return clock_; }
    ReceiverContext& Context() { return *context_; }
    GpsComm& Comm() { return *comm_; }
    const ConnectionController& Controller() const { return controller_; }
    const LinkRecovery& Recovery() const { return recovery_; }

private:
    // Renders each delivered message on the comm reader thread and writes its line.
    class LinePoster : public MessageSink {
    public:
        explicit LinePoster(SourceLines& lines) : lines_(lines) {}
        void deliver(int id, const std::uint8_t* record, std::size_t length) override;

    private:
        SourceLines& lines_;
        char line_[kRenderBufferSize];
    };

    // Writes the line of each frame of an unknown id, on the comm reader thread.
    class UnknownFramePoster : public DropListener {
    public:
        explicit UnknownFramePoster(SourceLines& lines) : lines_(lines) {}
        void onDropped(DropReason reason, std::span<const std::uint8_t> payload) override;

    private:
        SourceLines& lines_;
    };

    // Writes each fix and sky as a JSON report on the comm reader thread.
    class ReportPoster : public GnssListener {
    public:
        ReportPoster(SourceLines& lines, std::string device) : lines_(lines), device_(std::move(device)) {}
        void onFix(const GnssFix& fix) override;
        void onSky(const GnssSky& sky) override;

    private:
        SourceLines& lines_;
        const std::string device_;
    };

    // Own line queues on `output` and `errors` unless `shared` is given.
    LiveSession(std::unique_ptr<ReceiverContext> context, std::unique_ptr<GpsComm> comm, std::FILE* output,
                std::FILE* errors, const SharedStreams* shared, Wait wait, bool json, bool unknown, const Clock& clock);

    void Handle(const LinkUpdate& update);
    void ShowPollAnswer(int id);
    void SendWhileConnected();
    void Send(const ReceiverRequest& request);
    void UpdateStatus();
    void ShowMessage(std::string_view text);
    void PumpOutput();

    bool json_;
    Wait wait_;
    const Clock& clock_;
    std::unique_ptr<ReceiverContext> context_;
    UpdateQueue updates_;
    std::unique_ptr<LineOutput> ownOutput_;
    std::unique_ptr<LineOutput> ownErrors_;
    SourceLines output_;
    SourceLines errors_;
    LinePoster linePoster_;
    ReportPoster reportPoster_;
    UnknownFramePoster unknownFramePoster_;
    std::unique_ptr<GpsComm> comm_;
    // Answers the receiver's location frames as the program always has.
    std::unique_ptr<LocationClientHost> location_;
    // Told by the link while kept; the destructor ends the link first.
    FixTrack track_;
    bool trackKept_ = true;
    // Made by the first OpenLog and StartRecording.
    std::unique_ptr<LinkLog> log_;
    std::unique_ptr<LinkRecording> recording_;
    ConnectionController controller_;
    LinkRecovery recovery_;
    std::deque<ReceiverRequest> requests_;
    std::string shownStatus_;
    bool attempted_ = false;
    bool receiverFound_ = false;
    bool versionPending_ = false;
    bool clockPending_ = false;
    std::atomic<bool> stopRequested_{false};
    bool fileWriteFailed_ = false;
};

}  // namespace vexa
