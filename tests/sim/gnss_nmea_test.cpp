#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/constellation.h"
#include "sim/fix_acquisition.h"
#include "sim/receiver_simulator.h"
#include "sim/world_model.h"
#include "sim_test_support.h"

namespace vexa::sim {
namespace {

using namespace std::chrono_literals;

const Constellations kFourSystems{Constellation::Gps, Constellation::Glonass, Constellation::Galileo,
                                  Constellation::BeiDou};

// One sentence taken apart by hand: the address (talker and type), the fields after it, and whether the
// two hex digits after "*" are the exclusive-or of everything between "$" and "*".
struct Sentence {
    std::string talker;
    std::string type;
    std::vector<std::string> fields;
    bool checksumHolds = false;
    std::size_t length = 0;
};

Sentence Split(const std::string& text) {
    Sentence sentence;
    sentence.length = text.size();
    const std::size_t star = text.find('*');
    if (text.size() < 7 || text[0] != '$' || star == std::string::npos || star + 5 != text.size()) return sentence;
    unsigned sum = 0;
    for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(text[i]);
    sentence.checksumHolds = std::stoul(text.substr(star + 1, 2), nullptr, 16) == sum && text.ends_with("\r\n");
    const std::string body = text.substr(1, star - 1);
    std::size_t start = 0;
    std::vector<std::string> parts;
    for (std::size_t comma; (comma = body.find(',', start)) != std::string::npos; start = comma + 1) {
        parts.push_back(body.substr(start, comma - start));
    }
    parts.push_back(body.substr(start));
    sentence.talker = parts[0].substr(0, 2);
    sentence.type = parts[0].substr(2);
    sentence.fields.assign(parts.begin() + 1, parts.end());
    return sentence;
}

// Whole output seconds, each starting at its GGA.
std::vector<std::vector<Sentence>> Epochs(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::vector<Sentence>> epochs;
    for (const std::string& text : simtest::Parse(bytes).sentences) {
        Sentence sentence = Split(text);
        if (sentence.type == "GGA") epochs.emplace_back();
        if (!epochs.empty()) epochs.back().push_back(std::move(sentence));
    }
    return epochs;
}

std::vector<std::vector<Sentence>> RunOnPty(const Constellations& constellations, double hotStartSeconds = 0) {
    SimulatorOptions options;
    options.receiver.protocol = Protocol::Nmea;
    options.receiver.baud = 115200;
    options.receiver.startUnixSeconds = 1.7e9;
    options.receiver.timesToFirstFix = {hotStartSeconds, 2, 3, 4};
    options.receiver.constellations = constellations;
    ReceiverSimulator simulator(options);
    simtest::PtyPeer peer(simulator.slavePath(), 115200);
    return Epochs(simtest::RunFor(simulator, peer, 3000ms));
}

int Number(const std::string& field) {
    return std::stoi(field);
}

// Field counts after the address, from the NMEA 0183 4.11 sentence layouts.
const std::map<std::string, std::size_t> kFieldCounts{
    {"GGA", 14}, {"GNS", 13}, {"RMC", 13}, {"VTG", 9}, {"ZDA", 6}, {"GSA", 18},
};

TEST(MultiConstellationNmea, EverySentenceHasItsStandardLayoutTalkerAndChecksum) {
    const auto epochs = RunOnPty(kFourSystems);
    ASSERT_GE(epochs.size(), 2u);
    for (const auto& epoch : epochs) {
        std::vector<std::string> fixTypes;
        for (const Sentence& sentence : epoch) {
            const std::string address = sentence.talker + sentence.type;
            EXPECT_TRUE(sentence.checksumHolds) << address;
            EXPECT_LE(sentence.length, 82u) << address;
            if (sentence.type == "GSV") {
                EXPECT_TRUE(sentence.talker == "GP" || sentence.talker == "GL" || sentence.talker == "GA" ||
                            sentence.talker == "GB")
                    << address;
                // Three counting fields, one to four satellites of four fields, the signal id.
                const std::size_t satellites = (sentence.fields.size() - 4) / 4;
                EXPECT_EQ(sentence.fields.size(), 3 + 4 * satellites + 1) << address;
                EXPECT_GE(satellites, 1u);
                EXPECT_LE(satellites, 4u);
                continue;
            }
            EXPECT_EQ(sentence.talker, "GN") << address;
            ASSERT_TRUE(kFieldCounts.contains(sentence.type)) << address;
            EXPECT_EQ(sentence.fields.size(), kFieldCounts.at(sentence.type)) << address;
            if (sentence.type != "GSA") fixTypes.push_back(sentence.type);
        }
        EXPECT_EQ(fixTypes, (std::vector<std::string>{"GGA", "GNS", "RMC", "VTG", "ZDA"}));
    }
}

TEST(MultiConstellationNmea, GsvCyclesNumberTheirMessagesAndCountEverySatelliteOfTheirSystem) {
    struct System {
        int signalId;
        int lowest;
        int highest;
    };
    // GPS 1-32, GLONASS 65-96, Galileo 1-36 on E1, BeiDou 1-63.
    const std::map<std::string, System> kSystems{
        {"GP", {1, 1, 32}}, {"GL", {1, 65, 96}}, {"GA", {7, 1, 36}}, {"GB", {1, 1, 63}}};
    const auto epochs = RunOnPty(kFourSystems);
    ASSERT_GE(epochs.size(), 2u);
    for (const auto& epoch : epochs) {
        std::map<std::string, std::vector<const Sentence*>> cycles;
        for (const Sentence& sentence : epoch) {
            if (sentence.type == "GSV") cycles[sentence.talker].push_back(&sentence);
        }
        ASSERT_EQ(cycles.size(), 4u);
        std::size_t inView = 0;
        for (const auto& [talker, messages] : cycles) {
            const System& system = kSystems.at(talker);
            const int total = Number(messages[0]->fields[0]);
            const int count = Number(messages[0]->fields[2]);
            EXPECT_EQ(total, (count + 3) / 4) << talker;
            ASSERT_EQ(messages.size(), static_cast<std::size_t>(total)) << talker;
            std::set<int> numbers;
            for (int index = 0; index < total; ++index) {
                const auto& fields = messages[index]->fields;
                EXPECT_EQ(Number(fields[0]), total) << talker;
                EXPECT_EQ(Number(fields[1]), index + 1) << talker;
                EXPECT_EQ(Number(fields[2]), count) << talker;
                EXPECT_EQ(Number(fields.back()), system.signalId) << talker;
                for (std::size_t i = 3; i + 4 <= fields.size() - 1; i += 4) {
                    const int number = Number(fields[i]);
                    EXPECT_GE(number, system.lowest) << talker;
                    EXPECT_LE(number, system.highest) << talker;
                    numbers.insert(number);
                    EXPECT_GE(Number(fields[i + 1]), 0);
                    EXPECT_LE(Number(fields[i + 1]), 90);
                    EXPECT_GE(Number(fields[i + 2]), 0);
                    EXPECT_LE(Number(fields[i + 2]), 359);
                    EXPECT_GE(Number(fields[i + 3]), 20) << talker << " " << number;
                    EXPECT_LE(Number(fields[i + 3]), 60) << talker << " " << number;
                }
            }
            EXPECT_EQ(numbers.size(), static_cast<std::size_t>(count)) << talker;
            inView += numbers.size();
        }
        EXPECT_GE(inView, 20u);
    }
}

TEST(MultiConstellationNmea, GsaListsEachSystemsUsedSatellitesAndTheFixSentencesAgree) {
    const auto epochs = RunOnPty(kFourSystems);
    ASSERT_GE(epochs.size(), 2u);
    for (const auto& epoch : epochs) {
        std::map<std::string, std::set<int>> inView;
        std::map<int, std::set<int>> usedBySystem;
        std::map<std::string, const Sentence*> fix;
        for (const Sentence& sentence : epoch) {
            if (sentence.type == "GSV") {
                for (std::size_t i = 3; i + 4 <= sentence.fields.size() - 1; i += 4) {
                    inView[sentence.talker].insert(Number(sentence.fields[i]));
                }
            } else if (sentence.type == "GSA") {
                EXPECT_EQ(sentence.fields[0], "A");
                EXPECT_EQ(sentence.fields[1], "3");
                for (std::size_t slot = 2; slot < 14; ++slot) {
                    if (!sentence.fields[slot].empty()) {
                        usedBySystem[Number(sentence.fields[17])].insert(Number(sentence.fields[slot]));
                    }
                }
            } else {
                fix[sentence.type] = &sentence;
            }
        }
        // System ids 1 GPS, 2 GLONASS, 3 Galileo, 4 BeiDou.
        const std::map<int, std::string> kTalkerOfSystem{{1, "GP"}, {2, "GL"}, {3, "GA"}, {4, "GB"}};
        ASSERT_EQ(usedBySystem.size(), 4u);
        std::size_t used = 0;
        for (const auto& [systemId, numbers] : usedBySystem) {
            for (const int number : numbers) EXPECT_TRUE(inView[kTalkerOfSystem.at(systemId)].contains(number));
            used += numbers.size();
        }
        ASSERT_EQ(fix.size(), 5u);
        const auto& gga = fix["GGA"]->fields;
        const auto& gns = fix["GNS"]->fields;
        const auto& rmc = fix["RMC"]->fields;
        EXPECT_EQ(gga[5], "1");
        EXPECT_EQ(static_cast<std::size_t>(Number(gga[6])), used);
        EXPECT_EQ(static_cast<std::size_t>(Number(gns[6])), used);
        EXPECT_EQ(gns[5], "AAAA");
        EXPECT_EQ(rmc[1], "A");
        EXPECT_EQ(rmc[11], "A");
        EXPECT_EQ(fix["VTG"]->fields[8], "A");
        for (const auto* other : {&gns, &rmc, &fix["ZDA"]->fields}) {
            EXPECT_EQ((*other)[0], gga[0]);
        }
        for (int field = 1; field <= 4; ++field) EXPECT_EQ(gns[field], gga[field]);
        for (int field = 1; field <= 4; ++field) EXPECT_EQ(rmc[field + 1], gga[field]);
        const auto& zda = fix["ZDA"]->fields;
        EXPECT_EQ(rmc[8], zda[1] + zda[2] + zda[3].substr(2));
        EXPECT_EQ(fix["VTG"]->fields[0], rmc[7]);
    }
}

TEST(MultiConstellationNmea, BeforeTheFixPositionFieldsAreEmptyAndEveryModeSaysNoFix) {
    const auto epochs = RunOnPty(kFourSystems, 60);
    ASSERT_GE(epochs.size(), 2u);
    for (const auto& epoch : epochs) {
        for (const Sentence& sentence : epoch) {
            const auto& fields = sentence.fields;
            const std::string address = sentence.talker + sentence.type;
            if (sentence.type == "GGA") {
                EXPECT_EQ(fields[1] + fields[2] + fields[3] + fields[4], "") << address;
                EXPECT_EQ(fields[5], "0");
                EXPECT_EQ(fields[7], "");
            } else if (sentence.type == "GNS") {
                EXPECT_EQ(fields[1] + fields[2] + fields[3] + fields[4], "");
                EXPECT_EQ(fields[5], "NNNN");
            } else if (sentence.type == "RMC") {
                EXPECT_EQ(fields[1], "V");
                EXPECT_EQ(fields[2], "");
                EXPECT_EQ(fields[11], "N");
                EXPECT_EQ(fields[8].size(), 6u);  // the date is known without a fix
            } else if (sentence.type == "VTG") {
                EXPECT_EQ(fields[0], "");
                EXPECT_EQ(fields[8], "N");
            } else if (sentence.type == "GSA") {
                EXPECT_EQ(fields[1], "1");
                for (std::size_t slot = 2; slot < 17; ++slot) EXPECT_EQ(fields[slot], "") << address;
            } else if (sentence.type == "GSV") {
                EXPECT_GT(Number(fields[2]), 0) << "satellites are in view before the fix";
            }
        }
    }
}

TEST(MultiConstellationNmea, SbasRidesInGpsSentencesAndQzssAndNavIcHaveTheirOwnTalkers) {
    const auto epochs = RunOnPty({Constellation::Gps, Constellation::Glonass, Constellation::Galileo,
                                  Constellation::BeiDou, Constellation::Qzss, Constellation::NavIC,
                                  Constellation::Sbas});
    ASSERT_GE(epochs.size(), 2u);
    const auto& epoch = epochs.back();
    std::set<std::string> gsvTalkers;
    std::set<int> systemIds;
    bool sbasSeen = false;
    for (const Sentence& sentence : epoch) {
        EXPECT_TRUE(sentence.checksumHolds);
        if (sentence.type == "GSV") {
            gsvTalkers.insert(sentence.talker);
            for (std::size_t i = 3; sentence.talker == "GP" && i + 4 <= sentence.fields.size() - 1; i += 4) {
                const int number = Number(sentence.fields[i]);
                EXPECT_TRUE(number <= 32 || (number >= 33 && number <= 64)) << number;  // SBAS 120-151 as 33-64
                sbasSeen = sbasSeen || number >= 33;
            }
        }
        if (sentence.type == "GSA") systemIds.insert(Number(sentence.fields[17]));
        if (sentence.type == "GNS") EXPECT_EQ(sentence.fields[5], "AAAAAA");
    }
    EXPECT_TRUE(sbasSeen);
    EXPECT_EQ(gsvTalkers, (std::set<std::string>{"GP", "GL", "GA", "GB", "GQ", "GI"}));
    EXPECT_EQ(systemIds, (std::set<int>{1, 2, 3, 4, 5, 6}));
}

TEST(MultiConstellationNmea, GpsAndSbasAloneKeepTheGpsTalker) {
    const auto epochs = RunOnPty({Constellation::Gps, Constellation::Sbas});
    ASSERT_GE(epochs.size(), 2u);
    for (const Sentence& sentence : epochs.back()) EXPECT_EQ(sentence.talker, "GP") << sentence.type;
}

TEST(Constellations, ListsAreReadInAnyOrderAndMustIncludeGps) {
    EXPECT_EQ(ParseConstellations("beidou,gps,glonass,galileo"), kFourSystems);
    EXPECT_EQ(ParseConstellations("gps,gps"), (Constellations{Constellation::Gps}));
    EXPECT_EQ(ParseConstellations("sbas,gps"), (Constellations{Constellation::Gps, Constellation::Sbas}));
    for (const char* bad : {"", "glonass", "gps,", "gps,mars", "GPS", "gps glonass"}) {
        EXPECT_FALSE(ParseConstellations(bad)) << bad;
    }
}

TEST(Constellations, OtherSystemsLeaveTheGpsChannelsAsTheyWere) {
    const Geodetic origin{-33.8688, 151.2093, 40.0};
    WorldModel gpsOnly(origin, 9);
    WorldModel fourSystems(origin, 9, kFourSystems);
    FixAcquisition acquisition({0, 0, 0, 0});
    acquisition.reset(ResetKind::Hot, 0);
    const ReceiverSnapshot before = gpsOnly.snapshot(30, 1.7e9, acquisition, {});
    const ReceiverSnapshot after = fourSystems.snapshot(30, 1.7e9, acquisition, {});
    EXPECT_TRUE(before.otherSatellites.empty());
    EXPECT_GE(after.channels.size() + after.otherSatellites.size(), 20u);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        EXPECT_EQ(after.channels[channel].prn, before.channels[channel].prn);
        EXPECT_EQ(after.channels[channel].azimuthDeg, before.channels[channel].azimuthDeg);
        EXPECT_EQ(after.channels[channel].cn0, before.channels[channel].cn0);
    }
    EXPECT_GT(after.satellitesUsed, before.satellitesUsed);
    EXPECT_LT(after.hdop, before.hdop);
}

}  // namespace
}  // namespace vexa::sim
