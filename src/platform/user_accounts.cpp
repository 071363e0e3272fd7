#include "platform/user_accounts.h"

#include <cstdlib>
#include <vector>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vexa {

namespace {

long LookupBufferSize(int name) {
    const long size = ::sysconf(name);
    return size > 0 ? size : 16384;
}

}  // namespace

std::optional<std::string> GroupOwningFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    std::vector<char> buffer(static_cast<std::size_t>(LookupBufferSize(_SC_GETGR_R_SIZE_MAX)));
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    return std::string(found->gr_name);
}

std::string CurrentUserName() {
    std::vector<char> buffer(static_cast<std::size_t>(LookupBufferSize(_SC_GETPW_R_SIZE_MAX)));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->pw_name;
    }
    const char* fromEnvironment = std::getenv("USER");
    return fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : "$USER";
}

}  // namespace vexa
