#pragma once

#include <string_view>

#include "platform/result_codes.h"
#include "receiver/binary/records.h"

// The line of each message that has its own (message_table.h names each row's). Each writes one
// zero-terminated line into `line` (kRenderBufferSize bytes) and gives kResultOk, or gives
// kResultBadLength and leaves `line` untouched.

namespace vexa {

// navigation_lines.cpp
LinkResult RenderNavData(const NavData& nav, char* line);
LinkResult RenderTrackData(const TrackData& track, char* line);
LinkResult RenderRawTrackData(const RawTrackData& raw, char* line);
LinkResult RenderNavLibSatelliteState(const NavLibSatelliteState& state, char* line);
LinkResult RenderTtffReport(const TtffReport& report, char* line);

// status_lines.cpp
LinkResult RenderSwVersion(std::string_view text, char* line);
LinkResult RenderClockStatus(const ClockStatus& clock, char* line);
LinkResult RenderThroughput(const Throughput& throughput, char* line);
LinkResult RenderVisibleList(const VisibleList& list, char* line);
LinkResult RenderOkToSend(const OkToSendRecord& permission, char* line);
// Receiver text (NMEA sentences and development text).
LinkResult RenderReceiverText(std::string_view text, char* line);

// reply_text.cpp: the receiver's diagnostic messages.
LinkResult RenderSubframe(const SubframeData& subframe, char* line);
LinkResult RenderErrorReport(const ErrorReport& report, char* line);
LinkResult RenderCommandAck(const CommandReply& reply, char* line);
LinkResult RenderCommandNak(const CommandReply& reply, char* line);

}  // namespace vexa
