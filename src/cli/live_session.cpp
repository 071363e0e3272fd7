#include "cli/live_session.h"

#include <optional>
#include <string>
#include <utility>

#include "cli/gpsd_json.h"
#include "link/poll_answer_text.h"
#include "link/receiver_commands.h"
#include "link/track_export.h"
#include "platform/result_codes.h"
#include "receiver/message_ids.h"
#include "receiver/renderer.h"

namespace vexa {
namespace {

// The headless front end's own notifications, beside those of the link.
constexpr int kNotifyMessageLine = 0x400 + 100;  // wParam: message id, text: its rendered line
constexpr int kNotifyStop = 0x400 + 101;
constexpr int kNotifyUnknownFrame = 0x400 + 102;  // text: the frame's line

std::string_view WithoutLeadingBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

void WriteLine(std::FILE* file, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fputc('\n', file);
}

}  // namespace

void LiveSession::LinePoster::deliver(int id, const std::uint8_t* record, std::size_t length) {
    if (RenderMessage(id, record, length, line_) == kResultOk) sink_.post(Notification{kNotifyMessageLine, id, 0, line_});
}

void LiveSession::UnknownFramePoster::onDropped(DropReason reason, std::span<const std::uint8_t> payload) {
    if (reason == DropReason::UnknownId && !payload.empty()) {
        sink_.post(Notification{kNotifyUnknownFrame, 0, 0, UnknownFrameLine(payload)});
    }
}

void LiveSession::ReportPoster::onFix(const GnssFix& fix) {
    if (!fix.hasPosition()) return;
    std::string line;
    AppendTpvReport(line, fix);
    sink_.post(Notification{kNotifyMessageLine, 0, 0, std::move(line)});
}

void LiveSession::ReportPoster::onSky(const GnssSky& sky) {
    std::string line;
    AppendSkyReport(line, sky);
    sink_.post(Notification{kNotifyMessageLine, 0, 0, std::move(line)});
}

std::unique_ptr<LiveSession> LiveSession::Create(int product, std::FILE* output, std::FILE* errors, Wait wait,
                                                 bool json, bool unknown) {
    auto context = std::make_unique<ReceiverContext>();
    context->ProductSelection = product;
    std::unique_ptr<GpsComm> comm = GpsComm::Create(*context);
    if (comm == nullptr || !comm->ReaderRunning()) return nullptr;
    return std::unique_ptr<LiveSession>(
        new LiveSession(std::move(context), std::move(comm), output, errors, std::move(wait), json, unknown));
}

LiveSession::LiveSession(std::unique_ptr<ReceiverContext> context, std::unique_ptr<GpsComm> comm, std::FILE* output,
                         std::FILE* errors, Wait wait, bool json, bool unknown)
    : output_(output),
      errors_(errors),
      json_(json),
      wait_(std::move(wait)),
      context_(std::move(context)),
      linePoster_(notifications_),
      reportPoster_(notifications_),
      unknownFramePoster_(notifications_),
      comm_(std::move(comm)),
      controller_(*comm_, *context_,
                  ConnectionCallbacks{.showMessage = [this](std::string_view text) { ShowMessage(text); },
                                      .saveSettings = {},
                                      .showSettings = {},
                                      .repaint = [this] { UpdateStatus(); },
                                      .connected = [this](const std::string& portPath, int chosenBaudSetting) {
                                          recovery_.Remember(portPath, chosenBaudSetting);
                                      }}),
      recovery_(*comm_, *context_, [this] { UpdateStatus(); }) {
    comm_->SetNotifyWindow(&notifications_);
    if (json) {
        comm_->SetGnssListener(&reportPoster_);
    } else {
        comm_->SetDeliveryListener(&linePoster_);
    }
    if (unknown) comm_->SetDropListener(&unknownFramePoster_);
}

LiveSession::~LiveSession() {
    // The comm reader posts into this session's queue until it has stopped.
    comm_.reset();
}

bool LiveSession::OpenLog(const std::string& path) { return comm_->OpenLog(path) == kResultOk; }

int LiveSession::StartRecording(const std::string& path) { return comm_->StartRecording(path); }

void LiveSession::Connect(const std::string& portPath, const std::string& baudSelection) {
    attempted_ = true;
    recovery_.Stop();
    controller_.Connect(portPath, baudSelection);
    UpdateStatus();
    std::fflush(errors_);
}

void LiveSession::Queue(ReceiverRequest request) {
    requests_.push_back(std::move(request));
    SendWhileConnected();
}

void LiveSession::Tick() {
    controller_.Tick();
    recovery_.Tick();
    UpdateStatus();
    SendWhileConnected();
    std::fflush(output_);
    std::fflush(errors_);
}

void LiveSession::HandleNotifications(std::chrono::milliseconds timeout) {
    std::optional<Notification> notification = notifications_.take(timeout);
    if (!notification) return;
    do {
        Handle(*notification);
    } while ((notification = notifications_.take()));
    UpdateStatus();
    SendWhileConnected();
    std::fflush(output_);
    std::fflush(errors_);
}

void LiveSession::RequestStop() { notifications_.post(Notification{kNotifyStop, 0, 0, {}}); }

bool LiveSession::GaveUp() const { return attempted_ && !controller_.Testing() && !receiverFound_; }

DecodeCounts LiveSession::Counts() {
    const GpsComm::PausedCounts counts = comm_->CountsAtLastPause();
    return DecodeCounts{counts.received.bytes, counts.received.frames, counts.received.sentences,
                        counts.received.dropped() + counts.undelivered, counts.drops};
}

void LiveSession::Finish() {
    comm_->CloseLog();
    comm_->StopRecording();
    HandleNotifications(std::chrono::milliseconds(0));
    WriteCounts(errors_, Counts());
    std::fflush(errors_);
}

std::string LiveSession::ExportTrack(const std::string& path) const { return ExportGpxTrack(path, comm_->Track()); }

void LiveSession::Handle(const Notification& notification) {
    switch (notification.message) {
    case kNotifyMessageLine: WriteLine(output_, notification.text); break;
    case kNotifyMessageDelivered: ShowPollAnswer(static_cast<int>(notification.wParam)); break;
    case kNotifyShowMessage: ShowMessage(notification.text); break;
    case kNotifyLinkLost:
        // An open port is a newer connection than the one that was lost.
        if (!comm_->PortOpen()) recovery_.LinkLost();
        break;
    case kNotifyStop: stopRequested_ = true; break;
    // The output of --json holds nothing but JSON lines.
    case kNotifyUnknownFrame: WriteLine(json_ ? errors_ : output_, notification.text); break;
    default: break;
    }
}

// Only an answer that was asked for is shown; the line of every answer is printed anyway.
void LiveSession::ShowPollAnswer(int id) {
    std::string text;
    if (id == ToWire(MessageId::SwVersion) && versionPending_) {
        versionPending_ = false;
        text = SwVersionText(comm_->SoftwareVersion());
    } else if (id == ToWire(MessageId::ClockStatus) && clockPending_) {
        clockPending_ = false;
        text = ClockStatusText(comm_->ClockStatusReport());
    } else {
        return;
    }
    // The output of --json holds nothing but JSON lines.
    WriteLine(json_ ? errors_ : output_, text);
}

// The menus offer the receiver commands only while the link is up, and all but the protocol
// switch only in the binary protocol; a protocol switch holds back the rest until the
// receiver has been found again at its new rate.
void LiveSession::SendWhileConnected() {
    while (!requests_.empty() && !controller_.Testing() && context_->LinkProtocol != kNotConnected) {
        const ReceiverRequest request = std::move(requests_.front());
        requests_.pop_front();
        if (const std::optional<std::string> reason = comm_->CommandsRefused()) {
            std::fprintf(errors_, "vexademo-cli: %s not sent: %s\n", request.text.c_str(), reason->c_str());
            continue;
        }
        if (NeedsBinaryProtocol(request.kind) && context_->LinkProtocol != kBinaryProtocol) {
            std::fprintf(errors_, "vexademo-cli: %s not sent: the receiver talks NMEA\n", request.text.c_str());
            continue;
        }
        Send(request);
        UpdateStatus();
    }
}

void LiveSession::Send(const ReceiverRequest& request) {
    GpsComm& comm = *comm_;
    switch (request.kind) {
    case RequestKind::HotStart: SendReset(comm, ResetKind::Hot); break;
    case RequestKind::WarmStart: SendReset(comm, ResetKind::Warm); break;
    case RequestKind::ColdStart: SendReset(comm, ResetKind::Cold); break;
    case RequestKind::FactoryReset: SendReset(comm, ResetKind::Factory); break;
    case RequestKind::DebugOutput: ToggleDebugOutput(comm); break;
    case RequestKind::NavLibOutput: ToggleNavLibOutput(comm); break;
    case RequestKind::PollVersion:
        PollSoftwareVersion(comm);
        versionPending_ = true;
        break;
    case RequestKind::PollClock:
        PollClockStatus(comm);
        clockPending_ = true;
        break;
    case RequestKind::SwitchProtocol:
        SwitchProtocol(comm, ProtocolSwitchHooks{
                                 .saveBaud =
                                     [this](int baud) {
                                         controller_.LoadSettings(controller_.PortPath(), baud);
                                         recovery_.BaudChanged(baud);
                                     },
                                 .wait = wait_});
        break;
    case RequestKind::ElevationMask:
        SetElevationMask(comm, kTrackingMaskDegrees, request.navigationMaskDegrees);
        break;
    case RequestKind::Power: SetPowerManagement(comm, request.power); break;
    }
}

void LiveSession::UpdateStatus() {
    if (!controller_.Testing() && context_->LinkProtocol != kNotConnected) receiverFound_ = true;
    const StatusLine status = controller_.Status();
    const std::string_view text = WithoutLeadingBlanks(status.text);
    if (text.empty() || text == shownStatus_) return;
    shownStatus_ = text;
    WriteLine(errors_, text);
}

void LiveSession::ShowMessage(std::string_view text) {
    WriteLine(errors_, text);
    std::fflush(errors_);
}

}  // namespace vexa
