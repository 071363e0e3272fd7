#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

namespace vexa {

// Collects output lines in one large block and hands it to the stream in few writes, so a decode of
// millions of lines makes no stdio call per line.
class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE* output, std::size_t capacity = 1 << 20);

    // Room for `size` more characters at the end (size at most the capacity); commit() what was used.
    char* reserve(std::size_t size);
    void commit(std::size_t size) { used_ += size; }
    void append(std::string_view text);
    // Writes what is collected and flushes the stream. False once any write has failed.
    bool flush();
    // The errno of the first failed write, 0 while none failed.
    int writeError() const { return writeError_; }

private:
    void write();
    void fail();

    std::FILE* output_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    int writeError_ = 0;
};

}  // namespace vexa
