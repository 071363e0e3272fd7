#include "cli/output_buffer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vexa {
namespace {

// Text written through a small buffer, in pieces shorter and longer than it, reaches the stream
// whole and in order.
TEST(OutputBuffer, EveryPieceArrivesInOrder) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&text, &size);
    std::string expected;
    {
        OutputBuffer output(stream, 16);
        for (int i = 0; i < 50; ++i) {
            const std::string piece = "line " + std::to_string(i) + "\n";
            char* room = output.reserve(piece.size());
            std::memcpy(room, piece.data(), piece.size());
            output.commit(piece.size());
            expected += piece;
            if (i % 7 == 0) {
                const std::string longer(40 + i, static_cast<char>('a' + i % 26));
                output.append(longer);
                expected += longer;
            }
        }
        EXPECT_TRUE(output.flush());
        EXPECT_EQ(output.writeError(), 0);
    }
    std::fclose(stream);
    EXPECT_EQ(std::string(text, size), expected);
    std::free(text);
}

TEST(OutputBuffer, FailedWriteIsKept) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    OutputBuffer output(full, 64);
    output.append(std::string(200, 'x'));
    output.append("more");
    EXPECT_FALSE(output.flush());
    EXPECT_EQ(output.writeError(), ENOSPC);
    std::fclose(full);
}

}  // namespace
}  // namespace vexa
