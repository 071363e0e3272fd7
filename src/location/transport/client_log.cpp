#include "location/transport/client_log.h"

#include <ctime>

namespace vexa {

LogStamp localStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[16] = {};
    char time[16] = {};
    std::strftime(date, sizeof date, "%m/%d/%Y", &local);
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
    return {date, time};
}

std::string formatLogLine(const LogStamp& stamp, std::string_view text) {
    std::string line;
    line.reserve(stamp.date.size() + stamp.time.size() + text.size() + 4);
    line.append(stamp.date).append(":").append(stamp.time).append(":").append(text).append("\r\n");
    return line;
}

std::string formatHexDump(std::string_view lead, const std::uint8_t* bytes, std::size_t length) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string dump(lead);
    dump.reserve(lead.size() + length * 3 + (length / 12 + 1) * 2);
    for (std::size_t i = 0; i < length; ++i) {
        dump.push_back(' ');
        dump.push_back(kDigits[bytes[i] >> 4]);
        dump.push_back(kDigits[bytes[i] & 0x0F]);
        if (i > 0 && i % 12 == 0) dump.append("\r\n");
    }
    dump.append("\r\n");
    return dump;
}

LogFile::~LogFile() { close(); }

bool LogFile::open(const std::filesystem::path& path) {
    std::lock_guard lock(mutex_);
    if (file_ != nullptr) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "wb");
    return file_ != nullptr;
}

void LogFile::close() {
    std::lock_guard lock(mutex_);
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

void LogFile::write(std::string_view text) {
    std::lock_guard lock(mutex_);
    if (file_ == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fflush(file_);
}

}  // namespace vexa
