#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "link/gps_comm.h"
#include "link/link_listeners.h"
#include "link/recording/raw_recording.h"

namespace vexa {

// The raw recording its owner keeps for one link, beside the data log and independent of it:
// listening to the link from construction to destruction, it puts every byte the comm reader reads
// in the file unchanged while it is active. A write error ends the recording and its text is shown
// through the link (MessageToShow), as is one met by Stop.
class LinkRecording final : private ReadBytesListener {
public:
    explicit LinkRecording(GpsComm& comm);
    ~LinkRecording() override;
    LinkRecording(const LinkRecording&) = delete;
    LinkRecording& operator=(const LinkRecording&) = delete;

    // 0, or the system's error number.
    int Start(const std::string& path) { return recording_.Start(path); }
    void Stop();
    bool Active() const { return recording_.Active(); }

private:
    std::string onBytesRead(std::span<const std::uint8_t> bytes) override { return recording_.Append(bytes); }
    std::string onReaderIdle() override { return recording_.Flush(); }

    GpsComm& comm_;
    RawRecording recording_;
};

}  // namespace vexa
