#include "location/messages/client_profile.h"

#include <cstdlib>
#include <system_error>

namespace vexa {

std::filesystem::path defaultLogDirectory() {
    if (const char* documents = std::getenv("XDG_DOCUMENTS_DIR"); documents != nullptr && *documents != '\0') {
        return documents;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return {};
    const std::filesystem::path documents = std::filesystem::path(home) / "Documents";
    std::error_code error;
    return std::filesystem::is_directory(documents, error) ? documents : std::filesystem::path(home);
}

}  // namespace vexa
