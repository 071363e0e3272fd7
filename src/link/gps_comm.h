#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/sources/byte_source.h"
#include "link/comm_reader.h"
#include "link/connection/link_connection.h"
#include "link/link_listeners.h"
#include "link/model/link_update.h"
#include "link/model/receiver_model.h"
#include "receiver/frames/dropped_frames.h"
#include "receiver/binary/frame_dispatch.h"
#include "receiver/frames/frame_receiver.h"
#include "receiver/fix/gnss_listener.h"
#include "receiver/binary/location_client_link.h"
#include "receiver/binary/message_sink.h"
#include "receiver/nmea/nmea_epoch_builder.h"
#include "receiver/product/receiver_context.h"
#include "receiver/binary/records.h"
#include "receiver/binary/renderer.h"

namespace vexa {

// The receiver link: the comm reader with the byte source it reads (a serial port, a network
// stream, ...), the commands on the wire and the frames held while the receiver has withdrawn
// OkToSend. What the receiver delivers goes to its model (Model()), which the comm reader thread
// writes under the model lock and every other thread reads by copies. The bytes read, the lines
// logged and the location client's frames go to the listeners their owners register (a recording,
// a data log, a location client host).
class GpsComm : public LinkConnection,
                private MessageSink,
                private FrameListener,
                private DropListener,
                private ReceivedBytes,
                private GnssListener {
public:
    static constexpr std::size_t kPendingOutputSize = 1024;

    // Nothing when no model lock can be had. The comm reader is started; if it could not be,
    // the link exists but every command fails with kResultCommFailure. No source is open yet. The
    // model reads the time on `clock`.
    static std::unique_ptr<GpsComm> Create(ReceiverContext& context, const Clock& clock = SystemClock());
    ~GpsComm() override;
    GpsComm(const GpsComm&) = delete;
    GpsComm& operator=(const GpsComm&) = delete;

    // Where updates go (nullptr: nowhere). Set before a source is connected.
    void SetUpdateSink(UpdateSink* sink) { updates_ = sink; }

    // Under the lock: logs, stores and announces one decoded message (comm reader thread).
    void DeliverMessage(int id, const std::uint8_t* record, std::size_t length);

    // The receiver's model this link writes.
    ReceiverModel& Model() { return model_; }
    const ReceiverModel& Model() const { return model_; }
    // The frames held while the receiver withdraws OkToSend, in bytes; copied under the lock.
    std::size_t PendingOutputCount() const;

    // Between two chunks of the reader: opens the source the name stands for (MakeByteSource), at
    // `baud` where a rate applies. The source of another name is closed and replaced first.
    LinkResult Connect(const std::string& portName, int baud) override;
    // The same with a source made by the caller (never nullptr), which the link then owns.
    LinkResult ConnectSource(std::unique_ptr<ByteSource> source, int baud);
    int ConnectError() const override;
    std::string ConnectProblem() const override;
    bool BaudChangeable() const override;
    std::string EndReason() const override;
    // Between two chunks of the reader and under the lock: closes the source, forgets a frame in
    // progress, clears the position records and announces them (NavData, TrackData delivered). What the last receiver
    // said about sending (OkToSend) and the frames held for it are forgotten too: they are not
    // meant for the next receiver.
    LinkResult Disconnect() override;
    // False also after the comm reader closed a source that ended (LinkLost).
    bool PortOpen() const;
    std::optional<std::uint64_t> BytesReceived() const override { return bytesReceived_.load(); }
    bool Paused() const override;
    // Why commands cannot be sent to the receiver through the source connected (a receiver shared
    // through gpsd); nothing while they can, or while no source is connected.
    std::optional<std::string> CommandsRefused() const;
    // The source's new speed after a protocol switch; the source stays open.
    LinkResult ChangeBaud(int baud);
    // The protocol switch's change of speed: between two chunks of the reader, changes the speed,
    // forgets a frame in progress and sets LinkProtocol to kNotConnected, so that bytes read at the
    // old speed cannot set the protocol again afterwards. The fix and sky of the old protocol are dropped.
    LinkResult RestartLine(int baud);

    // Where the replayed capture connected stands and how it plays; nothing for a receiver's own line.
    std::optional<PlaybackState> Playback() const;
    // Between two chunks of the reader: pauses or resumes the capture, or changes its speed.
    // kResultCommFailure unless a capture is connected.
    LinkResult PausePlayback(bool paused);
    LinkResult SetPlaybackSpeed(double speed);
    // Between two chunks of the reader: plays the capture on from the first frame or sentence at
    // or after `byte`, and the receive path starts afresh there as after a reconnection: no frame
    // or NMEA epoch in progress, no fix or sky (NavData, TrackData delivered), a new track segment,
    // and every GNSS listener told (onRestart). kResultCommFailure unless a capture is open.
    LinkResult SeekPlayback(std::uint64_t byte);

    // Builds one command frame and writes it, or holds it while sending is not allowed (kResultOk).
    // kResultUnknownId or kResultBadLength when the command cannot be encoded, kResultCommandsRefused
    // when the source takes no commands, kResultCommFailure when the comm reader is not running or
    // the write fails.
    LinkResult Send(int id, const void* block, std::size_t length);
    // The location client's frames, written unchanged while sending is allowed, else dropped
    // (kResultOk). kResultCommandsRefused or kResultCommFailure as for Send.
    LinkResult WriteRaw(const std::uint8_t* bytes, std::size_t length);
    // Bytes written as they are, whatever OkToSend says (the protocol switch).
    LinkResult WriteDirect(const std::uint8_t* bytes, std::size_t length);

    // Between two chunks of the reader: each listener is told of every chunk read, in the order
    // they were added, before the chunk is decoded. A listener is removed before it goes away.
    void AddReadBytesListener(ReadBytesListener& listener);
    void RemoveReadBytesListener(const ReadBytesListener& listener);
    // Under the lock: each listener is told of every line logged, in the order they were added: a
    // delivered message's line before the message is stored. Removed before it goes away.
    void AddLogLineListener(LogLineListener& listener);
    void RemoveLogLineListener(const LogLineListener& listener);
    // A text for the user (MessageToShow), such as a listener's write error.
    void ShowMessage(std::string text) { Post(MessageToShow{std::move(text)}); }

    // Feeds bytes from a source other than the comm reader's (a capture file) through the comm reader's
    // receive path. Not to be used while a source is open.
    void Receive(std::span<const std::uint8_t> bytes) { frameReceiver_.feed(bytes); }
    // The input has ended: the NMEA epoch in progress is complete (the comm reader's source
    // ending does the same).
    void EndOfInput() { epochs_.finish(); }

    // Told of every delivered message, under the lock, after it is stored (nullptr: nobody).
    void SetDeliveryListener(MessageSink* listener) { deliveryListener_ = listener; }
    // Told of every dropped frame and why, under the lock (nullptr: nobody). A frame of an unknown
    // id also becomes a text line ("Unknown MID ..."), announced by TextLinesWaiting: for the Osprey
    // always, for the other products while the receiver's debug output is on (DebugToggleCount
    // above its threshold).
    void SetDropListener(DropListener* listener) { dropListener_ = listener; }

    // What the receive path has seen: bytes, frames, sentences and frames refused by their checks,
    // and checked frames that could not be delivered. Reader thread (or Receive caller) only.
    const ReceiveStatistics& ReceiveCounts() const { return frameReceiver_.statistics(); }
    std::uint64_t UndeliveredFrames() const { return dispatch_.droppedFrames(); }
    // Every frame dropped by the checks or undelivered, by reason.
    const DropTally& Drops() const { return drops_; }
    // All three, as of the comm reader's last pause (or Disconnect), copied under the lock for other threads.
    struct PausedCounts {
        ReceiveStatistics received;
        std::uint64_t undelivered = 0;
        DropTally drops;
    };
    PausedCounts CountsAtLastPause() const;

    // Between two chunks of the reader: where the frames for the location client go (nullptr:
    // nowhere). The client's owner attaches it, and detaches it before it goes away.
    void SetLocationClient(LocationClientLink* client);
    // Under the lock: a line for the Text page (such as the location client's status), announced
    // as TextLinesWaiting.
    void ShowTextLine(std::string_view text);

    ReceiverContext& Context() { return context_; }
    bool ReaderRunning() const { return reader_.Running(); }

private:
    GpsComm(ReceiverContext& context, std::mutex* modelLock, const Clock& clock);

    void deliver(int id, const std::uint8_t* record, std::size_t length) override { DeliverMessage(id, record, length); }
    void onFrame(std::span<std::uint8_t> payload) override;
    void onSentence(std::span<const std::uint8_t> text) override;
    void onRefused(FrameFault fault) override;
    void onBadSentence(SentenceFault fault) override;
    void onDropped(DropReason reason, std::span<const std::uint8_t> payload) override;
    void onBytes(std::span<const std::uint8_t> bytes) override;
    void onIdle() override;
    void onEnded() override;
    void onFix(const GnssFix& fix) override;
    void onSky(const GnssSky& sky) override;

    // Whether a delivered message is rendered for the log listeners; the caller holds the lock.
    bool LogLinesWanted() const;
    // To every log listener that wants lines; the caller holds the lock.
    void WriteLogLine(std::string_view text);

    void ReleasePendingOutput();
    // Writes through the source connected; the checks of Send and WriteRaw come first.
    LinkResult WriteToSource(const std::uint8_t* bytes, std::size_t length);
    // Between two chunks: opens the source held, or `replacement` (when given) in its place.
    LinkResult OpenSource(std::unique_ptr<ByteSource> replacement, int baud);
    // Between two chunks: closes the source held and reads from `source` from now on.
    void ReplaceSource(std::unique_ptr<ByteSource> source);
    // Between two chunks: runs `control` on the capture the source plays; false when it plays none.
    bool ControlPlayback(const std::function<void(CapturePlayback&)>& control);
    void Post(LinkUpdate update);

    ReceiverContext& context_;
    std::atomic<UpdateSink*> updates_{nullptr};
    std::atomic<std::uint64_t> bytesReceived_{0};
    std::vector<ReadBytesListener*> readBytesListeners_;
    std::vector<LogLineListener*> logLineListeners_;
    MessageSink* deliveryListener_ = nullptr;
    DropListener* dropListener_ = nullptr;
    DropTally drops_;
    ReceiverModel model_;
    std::atomic<bool> sendAllowed_{true};
    std::array<std::uint8_t, kPendingOutputSize> pendingOutput_{};
    std::size_t pendingCount_ = 0;
    PausedCounts pausedCounts_;
    char logLine_[kRenderBufferSize] = {};

    // Where the dispatch sends the location client's frames while no client is attached.
    LocationClientLink noLocationClient_;
    FrameDispatch dispatch_;
    NmeaEpochBuilder epochs_{static_cast<GnssListener&>(*this)};
    FrameReceiver frameReceiver_;
    // Replaced only between two chunks of the reader and with sourceSwap_ held exclusively; writers
    // from other threads hold it shared.
    std::unique_ptr<ByteSource> source_;
    mutable std::shared_mutex sourceSwap_;
    CommReader reader_;
    std::mutex* modelLock_;
};

}  // namespace vexa
