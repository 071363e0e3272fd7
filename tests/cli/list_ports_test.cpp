#include <gtest/gtest.h>

#include <string>

#include "cli/live_command.h"
#include "support/captured_stream.h"

namespace vexa {
namespace {

std::string ListPorts(const std::vector<std::string>& paths) {
    test::CapturedStream output;
    CliOptions options;
    options.mode = CliOptions::Mode::ListPorts;
    options.portPaths = paths;
    EXPECT_EQ(RunListPorts(options, output.file()), 0);
    return output.text();
}

// The user's paths come first, one port a line, and no byte of a name can break the line.
TEST(ListPorts, OneLinePerPortWithTheUsersPathsFirst) {
    const std::string listed = ListPorts({"/tmp/gps-a", "/tmp/gps\tb\nc"});
    EXPECT_TRUE(listed.starts_with("/tmp/gps-a\t/tmp/gps-a\n/tmp/gps b c\t")) << listed;
    EXPECT_EQ(listed.back(), '\n');
}

}  // namespace
}  // namespace vexa
