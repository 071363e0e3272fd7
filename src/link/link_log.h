#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>

#include "link/gps_comm.h"
#include "link/link_listeners.h"
#include "link/recording/data_log.h"
#include "platform/result_codes.h"

namespace vexa {

// The data log its owner keeps for one link: listening to the link from construction to
// destruction, it holds each delivered message's line and the link's remarks while it is open. A
// write error closes it and its text is shown through the link (MessageToShow), as is one met by
// Close. Open, Close and Flush come from the owner's thread, the lines from the comm reader's.
class LinkLog final : private LogLineListener {
public:
    explicit LinkLog(GpsComm& comm);
    // Closes the log with its closing line; an error then has nobody left to be shown to.
    ~LinkLog() override;
    LinkLog(const LinkLog&) = delete;
    LinkLog& operator=(const LinkLog&) = delete;

    // Closes the log open (with its closing line) and opens the file afresh. When it fails, errno says why.
    LinkResult Open(const std::string& path);
    void Close();
    bool IsOpen() const { return open_.load(); }
    // Writes the buffered lines out. The link does so whenever the receiver pauses; one that never
    // pauses needs the owner's timer, lest a killed program lose them.
    void Flush();

private:
    bool wantsLines() const override { return IsOpen(); }
    std::string onLogLine(std::string_view line) override;
    std::string onReaderIdle() override;

    // Keeps open_ true to the file; gives the text shown for the file error cause (empty for none).
    // The caller holds mutex_.
    std::string Problem(int cause);
    void Show(int cause);

    GpsComm& comm_;
    std::mutex mutex_;
    DataLog log_;
    std::atomic<bool> open_{false};
};

}  // namespace vexa
