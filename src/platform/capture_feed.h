#pragma once

#include <fstream>
#include <string>

#include "platform/line_pacer.h"

namespace vexa {

// A raw capture file put on a line in pieces, as a receiver's UART would send it: the line is
// kept about a second ahead, so that it never runs dry between two of its advances and the
// file is never read whole into memory. Shared by every player of captures, so that they all
// play one at the same pace.
class CaptureFeed {
public:
    // Opens the file; when it cannot be, IsOpen() is false and OpenError() holds errno.
    explicit CaptureFeed(const std::string& path);

    bool IsOpen() const { return file_.is_open(); }
    int OpenError() const { return openError_; }

    // Queues capture bytes on `line` until about a second of its time is waiting. When looping,
    // the file's first byte follows its last on the line.
    void Refill(LinePacer& line, bool loop = false);
    // Every byte of the file has been queued (a looping refill starts it again).
    bool Finished() const;
    // The next refill goes on from `byte` of the file (from its end when it is beyond).
    void MoveTo(std::uint64_t byte);
    // The file as opened, to look ahead in before a MoveTo: it stays readable when its path is
    // removed or replaced on disk while it plays.
    std::istream& File() { return file_; }

private:
    void Rewind();

    std::ifstream file_;
    int openError_ = 0;
};

}  // namespace vexa
