#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/live_command.h"

namespace vexa {
namespace {

std::string ListPorts(const std::vector<std::string>& paths) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* output = open_memstream(&text, &size);
    CliOptions options;
    options.mode = CliOptions::Mode::ListPorts;
    options.portPaths = paths;
    EXPECT_EQ(RunListPorts(options, output), 0);
    std::fclose(output);
    std::string listed(text, size);
    std::free(text);
    return listed;
}

// The user's paths come first, one port a line, and no byte of a name can break the line.
TEST(ListPorts, OneLinePerPortWithTheUsersPathsFirst) {
    const std::string listed = ListPorts({"/tmp/gps-a", "/tmp/gps\tb\nc"});
    EXPECT_TRUE(listed.starts_with("/tmp/gps-a\t/tmp/gps-a\n/tmp/gps b c\t")) << listed;
    EXPECT_EQ(listed.back(), '\n');
}

}  // namespace
}  // namespace vexa
