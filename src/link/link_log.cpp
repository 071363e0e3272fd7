#include "link/link_log.h"

#include <cerrno>

namespace vexa {

LinkLog::LinkLog(GpsComm& comm) : comm_(comm) { comm_.AddLogLineListener(*this); }

LinkLog::~LinkLog() {
    comm_.RemoveLogLineListener(*this);
    std::lock_guard guard(mutex_);
    (void)log_.Close();
}

LinkResult LinkLog::Open(const std::string& path) {
    int closeCause = 0;
    LinkResult result = kResultOk;
    {
        std::lock_guard guard(mutex_);
        closeCause = log_.Close();
        result = log_.Open(path);
        open_ = log_.IsOpen();
    }
    // errno tells why the open failed: the text of an earlier close error is shown first.
    const int openErrno = errno;
    Show(closeCause);
    errno = openErrno;
    return result;
}

void LinkLog::Close() {
    int cause = 0;
    {
        std::lock_guard guard(mutex_);
        cause = log_.Close();
        open_ = false;
    }
    Show(cause);
}

void LinkLog::Flush() {
    int cause = 0;
    {
        std::lock_guard guard(mutex_);
        cause = log_.Flush();
        open_ = log_.IsOpen();
    }
    Show(cause);
}

std::string LinkLog::onLogLine(std::string_view line) {
    std::lock_guard guard(mutex_);
    int cause = log_.Write(line);
    if (cause == 0) cause = log_.Write("\r\n");
    return Problem(cause);
}

std::string LinkLog::onReaderIdle() {
    std::lock_guard guard(mutex_);
    return Problem(log_.Flush());
}

std::string LinkLog::Problem(int cause) {
    open_ = log_.IsOpen();
    return cause == 0 ? std::string() : LogErrorText(cause);
}

void LinkLog::Show(int cause) {
    if (cause != 0) comm_.ShowMessage(LogErrorText(cause));
}

}  // namespace vexa
