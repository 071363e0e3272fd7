#include "location/messages/printf_text.h"

#include <cstdarg>
#include <cstdio>

namespace vexa {

std::string printfText(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, arguments);
        text.pop_back();
    }
    va_end(arguments);
    return text;
}

}  // namespace vexa
