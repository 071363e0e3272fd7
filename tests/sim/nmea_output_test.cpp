#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "receiver/nmea/nmea_checksum.h"
#include "sim/fix_acquisition.h"
#include "sim/nmea_output.h"
#include "sim/world_model.h"

namespace vexa::sim {
namespace {

const Geodetic kOrigin{-33.8688, 151.2093, 40.0};  // south and east, to check the hemispheres

std::vector<std::string> Fields(const std::string& sentence) {
    std::vector<std::string> fields;
    const std::string body = sentence.substr(0, sentence.find('*'));
    std::size_t start = 0;
    for (std::size_t comma; (comma = body.find(',', start)) != std::string::npos; start = comma + 1) {
        fields.push_back(body.substr(start, comma - start));
    }
    fields.push_back(body.substr(start));
    return fields;
}

bool ChecksumHolds(const std::string& sentence) {
    const std::size_t star = sentence.find('*');
    if (sentence.front() != '$' || star == std::string::npos || !sentence.ends_with("\r\n")) return false;
    return std::strtoul(sentence.substr(star + 1, 2).c_str(), nullptr, 16) == NmeaChecksum(sentence.substr(0, star));
}

double Angle(const std::string& field, const std::string& hemisphere, int degreeDigits) {
    const double value = std::stoi(field.substr(0, degreeDigits)) + std::stod(field.substr(degreeDigits)) / 60.0;
    return hemisphere == "S" || hemisphere == "W" ? -value : value;
}

ReceiverSnapshot Snapshot(double seconds, const ElevationMasks& masks = {}) {
    WorldModel world(kOrigin, 5);
    FixAcquisition acquisition({0, 0, 0, 0});
    acquisition.reset(ResetKind::Hot, 0);
    return world.snapshot(seconds, 1.7e9 + seconds, acquisition, masks);
}

TEST(NmeaOutput, ChecksumOfAKnownSentence) {
    EXPECT_EQ(NmeaChecksum("$PVXA100,0,57600,8,1,0"), 0x3F);
}

TEST(NmeaOutput, SentencesWithAFixCarryThePositionAndEverySatellite) {
    const ReceiverSnapshot snapshot = Snapshot(42);
    ASSERT_TRUE(snapshot.hasFix());
    const auto sentences = NmeaSentences(snapshot, {}, 42);
    std::vector<std::string> kinds;
    std::set<int> satellitesInGsv;
    for (const std::string& sentence : sentences) {
        EXPECT_TRUE(ChecksumHolds(sentence)) << sentence;
        const auto fields = Fields(sentence);
        kinds.push_back(fields[0]);
        if (fields[0] == "$GPGGA") {
            EXPECT_NEAR(Angle(fields[2], fields[3], 2), snapshot.position.latitudeDeg, 1e-6);
            EXPECT_NEAR(Angle(fields[4], fields[5], 3), snapshot.position.longitudeDeg, 1e-6);
            EXPECT_EQ(fields[6], "1");
            EXPECT_EQ(std::stoi(fields[7]), snapshot.satellitesUsed);
            EXPECT_NEAR(std::stod(fields[9]), snapshot.position.altitudeM, 0.05);
        } else if (fields[0] == "$GPGSV") {
            EXPECT_EQ(fields[1], "3");
            EXPECT_EQ(fields[3], "12");
            for (std::size_t i = 4; i + 3 < fields.size() + 1; i += 4) {
                satellitesInGsv.insert(std::stoi(fields[i]));
                EXPECT_GE(std::stoi(fields[i + 3]), 30);
            }
        } else if (fields[0] == "$GPRMC") {
            EXPECT_EQ(fields[2], "A");
            EXPECT_NEAR(std::stod(fields[7]), snapshot.speed() * 1.9438, 0.06);
            EXPECT_EQ(fields[9].size(), 6u);
        } else if (fields[0] == "$GPGSA") {
            EXPECT_EQ(fields[2], "3");
        }
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"$GPGGA", "$GPGSA", "$GPGSV", "$GPGSV", "$GPGSV", "$GPRMC"}));
    EXPECT_EQ(satellitesInGsv.size(), 12u);
}

TEST(NmeaOutput, WithoutAFixPositionFieldsAreEmptyAndStatusInvalid) {
    const ReceiverSnapshot snapshot = Snapshot(3, {0, 900});
    ASSERT_FALSE(snapshot.hasFix());
    for (const std::string& sentence : NmeaSentences(snapshot, {}, 3)) {
        EXPECT_TRUE(ChecksumHolds(sentence)) << sentence;
        const auto fields = Fields(sentence);
        if (fields[0] == "$GPGGA") {
            EXPECT_EQ(fields[2], "");
            EXPECT_EQ(fields[6], "0");
        }
        if (fields[0] == "$GPRMC") {
            EXPECT_EQ(fields[2], "V");
        }
        if (fields[0] == "$GPGSA") {
            EXPECT_EQ(fields[2], "1");
        }
    }
}

TEST(NmeaOutput, RatesChooseTheSecondsOfEachSentence) {
    const ReceiverSnapshot snapshot = Snapshot(10);
    const NmeaRates rates{1, 0, 5, 2};
    struct Case {
        std::int64_t second;
        std::size_t count;  // GGA, plus three GSV every 5 s, plus RMC every 2 s
    };
    for (const Case test : {Case{10, 5}, Case{11, 1}, Case{12, 2}, Case{15, 4}}) {
        EXPECT_EQ(NmeaSentences(snapshot, rates, test.second).size(), test.count) << "second " << test.second;
    }
}

}  // namespace
}  // namespace vexa::sim
