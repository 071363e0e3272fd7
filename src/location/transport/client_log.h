#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

namespace vexa {

// Local date "MM/dd/yyyy" and time "HH:mm:ss" that lead every log line.
struct LogStamp {
    std::string date;
    std::string time;
};
using StampSource = std::function<LogStamp()>;
LogStamp localStamp();

// "date:time:text\r\n"
std::string formatLogLine(const LogStamp& stamp, std::string_view text);
// lead, then " %02X" per byte; a line break after the bytes at index 12, 24, 36, ... and at the end.
std::string formatHexDump(std::string_view lead, const std::uint8_t* bytes, std::size_t length);

// One log file of the location client. Writes while it is closed are dropped.
class LogFile {
public:
    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens for writing from the start (binary, truncating).
    bool open(const std::filesystem::path& path);
    void close();
    void write(std::string_view text);

private:
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
};

}  // namespace vexa
