#include "cli/line_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include "cli/source_lines.h"
#include "support/program_run.h"

namespace vexa {
namespace {

using namespace std::chrono_literals;

// Two sources share a pipe nobody reads for a while: the one that floods loses its own lines (and
// they are counted to it alone); the other loses none, and once the pipe is read every line arrives
// whole, with its source's name.
TEST(SharedLineOutput, AFloodingSourceLosesOnlyItsOwnLinesAndNoLineIsCut) {
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    std::FILE* stream = ::fdopen(ends[1], "w");
    ASSERT_NE(stream, nullptr);
    std::string text;
    std::thread reader;
    {
        LineOutput lines(stream, {}, 16 << 10);
        SourceLines flood(lines, "flood");
        SourceLines calm(lines, "calm");
        const std::string padding(70, 'x');
        for (int i = 0; i < 5000; ++i) {
            flood.Write(std::to_string(i) + " " + padding);
            if (i % 250 == 0) calm.Write("fix " + std::to_string(i / 250));
            lines.Pump();
        }
        EXPECT_GT(flood.DroppedLines(), 0u);
        EXPECT_EQ(calm.DroppedLines(), 0u);

        // Read to the end, which comes once every writer of the pipe has closed it.
        reader = std::thread([&] { text = test::ProgramRun::ReadAll(ends[0], 20s); });
        EXPECT_TRUE(lines.Drain(std::chrono::steady_clock::now() + 10s));
    }
    std::fclose(stream);
    reader.join();
    ::close(ends[0]);

    std::istringstream read(text);
    int calmFixes = 0;
    for (std::string line; std::getline(read, line);) {
        ASSERT_TRUE(std::regex_match(line, std::regex("flood: [0-9]+ x{70}|calm: fix [0-9]+"))) << line;
        calmFixes += line.starts_with("calm: ") ? 1 : 0;
    }
    EXPECT_EQ(calmFixes, 20);
}

}  // namespace
}  // namespace vexa
