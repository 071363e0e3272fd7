#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result_codes.h"

namespace vexa {

// The data log file: dated banner, the text written between, dated closing line. Writes are
// buffered; a write error is reported, by its file error cause, no later than the flush or
// close that meets it, and the file is then closed at once without its closing line.
class DataLog {
public:
    DataLog();
    ~DataLog();
    DataLog(const DataLog&) = delete;
    DataLog& operator=(const DataLog&) = delete;

    // Creates (or replaces) the file and writes the banner; kResultOk or kResultNoResource.
    LinkResult Open(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }

    // Each gives 0, or the file error cause of a failed write (the log is then closed).
    int Write(std::string_view text);
    int Flush();
    // Writes the closing line and closes; 0 also when no log is open.
    int Close();

private:
    int WriteOut(const char* bytes, std::size_t length);
    int Fail(int errnoValue);

    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t filled_ = 0;
};

// File error causes reported for a failed log write, numbered as the log's error text shows
// them: 1 generic, 2 file not found, 3 bad path, 4 too many open files, 5 access denied,
// 6 invalid file, 9 bad seek, 10 hardware I/O error, 11 sharing violation, 12 lock violation,
// 13 disk full. ENOSPC, EDQUOT and EFBIG count as a full disk.
inline constexpr int kDiskFullCause = 13;
int FileErrorCause(int errnoValue);

// The text shown to the user when a write error closes the log.
std::string LogErrorText(int cause);

}  // namespace vexa
