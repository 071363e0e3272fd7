#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "receiver/fix/gnss_fix.h"
#include "receiver/fix/gnss_listener.h"
#include "receiver/nmea/nmea_sentence.h"

namespace vexa {

// Gathers the sentences of one epoch into a fix and a sky.
//
// Sentences that carry the same UTC time belong to one epoch. An epoch ends when a sentence brings
// another time, when a sentence that opens a cycle (GGA, RMC, GLL, GNS, ZDA, or the first part of
// a GSV cycle already completed) comes a second time, or, once a cycle has been seen whole, right
// after the sentence that ended the previous one, so that the fix is reported without waiting for
// the next second. The sky of an epoch is the satellites of its complete GSV cycles; a cycle with
// missing or out-of-order parts is left out. Where the sentences of one epoch disagree on the
// position (a multiplexer that delays one of them, a receiver that writes GLL from another filter),
// the position is the one of the sentences that carry altitude and fix quality (GGA, GNS), else
// RMC's, else GLL's. The first epoch after a connection that opened with a sentence without time
// and then met one with time began mid-cycle: it may lack what came before the connection (some
// GSA of a set, the skies of some systems, some fix sentences). Its fix is reported from the
// sentences it holds, without the used satellites; its sky is left out. A GST of the epoch's time
// gives the fix the receiver's own error estimate. After the first epochs the builder allocates
// nothing.
class NmeaEpochBuilder {
public:
    static constexpr std::size_t kMaxSatellites = 255;

    explicit NmeaEpochBuilder(GnssListener& listener);

    void add(const NmeaSentence& sentence);
    // The input ended: reports the epoch in progress.
    void finish();
    // A new connection: forgets the epoch in progress, the date and the learnt cycle.
    void reset();

private:
    struct CycleMark {
        std::uint32_t key = 0;
        int ordinal = 0;
        friend bool operator==(const CycleMark&, const CycleMark&) = default;
    };
    // Which sentence gave the epoch's position, in rising order of trust.
    enum class PositionSource { None, Gll, Rmc, GgaOrGns };
    struct KeyCount {
        std::uint32_t key = 0;
        int count = 0;
    };
    // Receivers send each cycle's parts one after another; a part of another cycle or out of
    // turn ends the cycle in progress unfinished.
    struct GsvCycle {
        std::uint32_t key = 0;
        int total = 0;
        int next = 0;  // the part expected next; 0 when no cycle is in progress
    };

    bool startsNewEpoch(const NmeaSentence& sentence, std::optional<NmeaTimeOfDay> time) const;
    int count(std::uint32_t key);
    int seen(std::uint32_t key) const;
    void complete();
    void clearEpoch();

    void takeTime(std::optional<NmeaTimeOfDay> time);
    void takeDate(std::optional<NmeaDate> date);
    // Keeps the first position of the most trusted source.
    void takePosition(const std::optional<NmeaPosition>& position, PositionSource source);
    void takeMode(std::optional<char> mode);
    void takeUsed(NmeaSystem system, const GsaSentence& gsa);
    // True when the part completes its cycle.
    bool takeGsv(std::uint32_t key, NmeaSystem system, const GsvSentence& gsv);
    void dropCycle();
    void buildFix();
    void buildSky();

    GnssListener& listener_;

    // The epoch in progress.
    bool open_ = false;
    std::optional<NmeaTimeOfDay> time_;
    std::optional<NmeaDate> date_;
    std::array<KeyCount, 32> counts_{};
    std::size_t countsUsed_ = 0;
    CycleMark last_;
    bool hasFixSentence_ = false;
    bool noFix_ = false;
    int gsaFixType_ = 0;
    std::optional<int> ggaQuality_;
    std::optional<char> modeLetter_;
    std::optional<NmeaPosition> position_;
    PositionSource positionSource_ = PositionSource::None;
    std::optional<double> altitudeMsl_;
    std::optional<double> geoidSeparation_;
    std::optional<double> speed_;
    std::optional<double> track_;
    std::optional<double> hdop_;
    std::optional<double> vdop_;
    std::optional<double> pdop_;
    std::optional<int> satellitesUsed_;
    std::optional<GstSentence> errorEstimate_;
    bool hasGsa_ = false;
    std::vector<SatelliteId> used_;
    std::vector<SkySatellite> satellites_;  // of complete cycles, then of the one in progress
    std::size_t completeSatellites_ = 0;
    GsvCycle cycle_;
    bool skyComplete_ = false;

    // Across epochs.
    bool clean_ = false;  // the epoch in progress began where the one before ended
    bool firstEpoch_ = true;          // the epoch in progress is the first since the connection
    bool openedWithoutTime_ = false;  // ... and opened with a sentence that carries no time
    bool begunMidCycle_ = false;      // ... and a sentence with time came after that one
    std::optional<CycleMark> ender_;
    std::optional<NmeaDate> lastDate_;
    std::optional<NmeaTimeOfDay> lastTime_;

    GnssFix fix_;
    GnssSky sky_;
};

}  // namespace vexa
