#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vexa::test {

// A stream the code under test writes to and the test reads back.
class CapturedStream {
public:
    CapturedStream() : file_(open_memstream(&data_, &size_)) {}
    ~CapturedStream() {
        std::fclose(file_);
        std::free(data_);
    }
    CapturedStream(const CapturedStream&) = delete;
    CapturedStream& operator=(const CapturedStream&) = delete;

    std::FILE* file() { return file_; }
    std::string text() {
        std::fflush(file_);
        return std::string(data_, size_);
    }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

}  // namespace vexa::test
