#include "cli/run_sources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexa {
namespace {

TEST(RunSources, EachReceiverHasAShortNameOfItsOwn) {
    const std::vector<std::string> ports{"/dev/ttyUSB0", "tcp://rover:4001", "gpsd://base/dev/ttyS1",
                                         "/other/ttyUSB0", "replay,speed=5:/data/day-1.bin", "/dev/ttyUSB0-2"};
    std::vector<std::string> names;
    for (const RunSource& source : NameSources(ports)) names.push_back(source.name);
    EXPECT_EQ(names, (std::vector<std::string>{"ttyUSB0", "rover:4001", "base:2947/ttyS1", "ttyUSB0-2", "day-1.bin",
                                               "ttyUSB0-2-2"}));
}

TEST(RunSources, FilesOfSeveralReceiversCarryTheirNamesAndOneKeepsItsOwn) {
    struct Case {
        std::string path;
        std::string name;
        std::string expected;
    };
    const Case cases[] = {
        {"out/track.gpx", "ttyUSB0", "out/track-ttyUSB0.gpx"},
        {"capture", "rover:4001", "capture-rover_4001"},
        {"run.d/.hidden", "base:2947/ttyS1", "run.d/.hidden-base_2947_ttyS1"},
    };
    for (const Case& c : cases) EXPECT_EQ(SourceFilePath(c.path, c.name, true), c.expected) << c.path;
    EXPECT_EQ(SourceFilePath("out/track.gpx", "ttyUSB0", false), "out/track.gpx");
    EXPECT_EQ(SourceFilePrefix("day1", "rover:4001", true), "day1-rover_4001");
}

TEST(RunSources, APortGivenTwiceIsFoundBySameNameOrSameDevice) {
    EXPECT_EQ(RepeatedPort({"/dev/null", "tcp://a:1", "/dev/zero"}), "");
    EXPECT_EQ(RepeatedPort({"tcp://a:1", "/dev/null", "tcp://a:1"}), "tcp://a:1");
    EXPECT_EQ(RepeatedPort({"/dev/null", "/dev/../dev/null"}), "/dev/../dev/null");
}

}  // namespace
}  // namespace vexa
