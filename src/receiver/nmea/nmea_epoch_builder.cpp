#include "receiver/nmea/nmea_epoch_builder.h"

#include <algorithm>

#include "receiver/nmea/nmea_satellites.h"

namespace vexa {
namespace {

constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;
constexpr NmeaTimeOfDay kHalfDay = 12 * 3600 * 1000;
constexpr std::size_t kMaxUsed = 128;

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

std::uint32_t KeyOf(const NmeaSentence& sentence) {
    std::uint32_t key = static_cast<std::uint32_t>(sentence.type) | static_cast<std::uint8_t>(sentence.talker[0]) << 8 |
                        static_cast<std::uint32_t>(static_cast<std::uint8_t>(sentence.talker[1])) << 16;
    // Each signal of a constellation has its own GSV cycle.
    if (const auto* gsv = std::get_if<GsvSentence>(&sentence.data)) key |= std::uint32_t{gsv->signal} << 24;
    return key;
}

// The sentences that open a receiver's cycle and carry its time.
bool CarriesTime(NmeaType type) {
    return type == NmeaType::Gga || type == NmeaType::Rmc || type == NmeaType::Gll || type == NmeaType::Gns ||
           type == NmeaType::Zda;
}

std::optional<NmeaTimeOfDay> TimeOf(const NmeaData& data) {
    return std::visit(Overloaded{[](const GgaSentence& s) { return s.time; }, [](const RmcSentence& s) { return s.time; },
                                 [](const GllSentence& s) { return s.time; }, [](const GnsSentence& s) { return s.time; },
                                 [](const ZdaSentence& s) { return s.time; }, [](const GstSentence& s) { return s.time; },
                                 [](const auto&) { return std::optional<NmeaTimeOfDay>{}; }},
                      data);
}

FixQuality QualityOfGga(int quality) {
    switch (quality) {
    case 2: return FixQuality::Differential;
    case 4: return FixQuality::RtkFixed;
    case 5: return FixQuality::RtkFloat;
    case 6: return FixQuality::DeadReckoning;
    case 7: return FixQuality::Surveyed;
    case 8: return FixQuality::Simulated;
    default: return FixQuality::Standard;
    }
}

FixQuality QualityOfMode(char mode) {
    switch (mode) {
    case 'D': return FixQuality::Differential;
    case 'E': return FixQuality::DeadReckoning;
    case 'F': return FixQuality::RtkFloat;
    case 'R': return FixQuality::RtkFixed;
    case 'M': return FixQuality::Surveyed;
    case 'S': return FixQuality::Simulated;
    default: return FixQuality::Standard;
    }
}

UtcTime ToUtc(const NmeaDate& date, NmeaTimeOfDay time) {
    const std::chrono::year_month_day day{std::chrono::year{date.year}, std::chrono::month{static_cast<unsigned>(date.month)},
                                          std::chrono::day{static_cast<unsigned>(date.day)}};
    return std::chrono::sys_days{day} + std::chrono::milliseconds{time};
}

NmeaDate NextDay(const NmeaDate& date) {
    const std::chrono::year_month_day next{
        std::chrono::sys_days{std::chrono::year_month_day{std::chrono::year{date.year},
                                                          std::chrono::month{static_cast<unsigned>(date.month)},
                                                          std::chrono::day{static_cast<unsigned>(date.day)}}} +
        std::chrono::days{1}};
    return NmeaDate{static_cast<int>(next.year()), static_cast<int>(static_cast<unsigned>(next.month())),
                    static_cast<int>(static_cast<unsigned>(next.day()))};
}

}  // namespace

NmeaEpochBuilder::NmeaEpochBuilder(GnssListener& listener) : listener_(listener) {
    used_.reserve(kMaxUsed);
    satellites_.reserve(kMaxSatellites);
    fix_.used.reserve(kMaxUsed);
    sky_.satellites.reserve(kMaxSatellites);
}

void NmeaEpochBuilder::add(const NmeaSentence& sentence) {
    const std::uint32_t key = KeyOf(sentence);
    const std::optional<NmeaTimeOfDay> time = TimeOf(sentence.data);
    if (open_ && startsNewEpoch(sentence, time)) {
        complete();
        clean_ = true;
    }
    if (!open_ && firstEpoch_) openedWithoutTime_ = !CarriesTime(sentence.type);
    if (openedWithoutTime_ && CarriesTime(sentence.type)) begunMidCycle_ = true;
    open_ = true;
    takeTime(time);

    bool counted = true;
    std::visit(Overloaded{[&](const GgaSentence& s) {
                              hasFixSentence_ = true;
                              takePosition(s.position, PositionSource::GgaOrGns);
                              if (!ggaQuality_) ggaQuality_ = s.quality;
                              if (s.quality == 0) noFix_ = true;
                              if (!satellitesUsed_) satellitesUsed_ = s.satellitesUsed;
                              if (!hdop_) hdop_ = s.hdop;
                              if (!altitudeMsl_) altitudeMsl_ = s.altitudeMsl;
                              if (!geoidSeparation_) geoidSeparation_ = s.geoidSeparation;
                          },
                          [&](const RmcSentence& s) {
                              hasFixSentence_ = true;
                              takePosition(s.position, PositionSource::Rmc);
                              if (s.valid == false) noFix_ = true;
                              takeMode(s.mode);
                              if (!speed_ && s.speedKnots) speed_ = *s.speedKnots * kMetresPerSecondPerKnot;
                              if (!track_) track_ = s.course;
                              takeDate(s.date);
                          },
                          [&](const GllSentence& s) {
                              hasFixSentence_ = true;
                              takePosition(s.position, PositionSource::Gll);
                              if (s.valid == false) noFix_ = true;
                              takeMode(s.mode);
                          },
                          [&](const GnsSentence& s) {
                              hasFixSentence_ = true;
                              takePosition(s.position, PositionSource::GgaOrGns);
                              if (const std::string_view modes = s.modeLetters(); !modes.empty()) {
                                  const auto fixing = std::find_if(modes.begin(), modes.end(), [](char m) { return m != 'N'; });
                                  if (fixing == modes.end()) {
                                      noFix_ = true;
                                  } else if (!modeLetter_) {
                                      modeLetter_ = *fixing;
                                  }
                              }
                              if (!satellitesUsed_) satellitesUsed_ = s.satellitesUsed;
                              if (!hdop_) hdop_ = s.hdop;
                              if (!altitudeMsl_) altitudeMsl_ = s.altitudeMsl;
                              if (!geoidSeparation_) geoidSeparation_ = s.geoidSeparation;
                          },
                          [&](const GsaSentence& s) {
                              hasGsa_ = true;
                              gsaFixType_ = std::max(gsaFixType_, s.fixType.value_or(0));
                              pdop_ = s.pdop ? s.pdop : pdop_;
                              hdop_ = s.hdop ? s.hdop : hdop_;
                              vdop_ = s.vdop ? s.vdop : vdop_;
                              takeUsed(s.system.value_or(sentence.system), s);
                          },
                          [&](const GsvSentence& s) {
                              // A cycle counts once, when its last part has come in turn.
                              counted = takeGsv(key, sentence.system, s);
                          },
                          [&](const VtgSentence& s) {
                              if (!speed_ && s.speedKmh) speed_ = *s.speedKmh / 3.6;
                              if (!speed_ && s.speedKnots) speed_ = *s.speedKnots * kMetresPerSecondPerKnot;
                              if (!track_) track_ = s.courseTrue;
                              takeMode(s.mode);
                          },
                          [&](const ZdaSentence& s) { takeDate(s.date); },
                          [&](const GstSentence& s) {
                              // An estimate of another second's fix is not this one's.
                              if (!s.time || !time_ || *s.time == *time_) errorEstimate_ = s;
                          }},
               sentence.data);

    if (!counted) return;
    last_ = CycleMark{key, count(key)};
    if (ender_ && *ender_ == last_) {
        complete();
        clean_ = true;
    }
}

bool NmeaEpochBuilder::startsNewEpoch(const NmeaSentence& sentence, std::optional<NmeaTimeOfDay> time) const {
    const std::uint32_t key = KeyOf(sentence);
    if (CarriesTime(sentence.type)) return (time && time_ && *time != *time_) || seen(key) > 0;
    if (const auto* gsv = std::get_if<GsvSentence>(&sentence.data)) return gsv->index == 1 && seen(key) > 0;
    return false;
}

int NmeaEpochBuilder::count(std::uint32_t key) {
    for (std::size_t i = 0; i < countsUsed_; ++i) {
        if (counts_[i].key == key) return ++counts_[i].count;
    }
    if (countsUsed_ == counts_.size()) return 0;
    counts_[countsUsed_++] = KeyCount{key, 1};
    return 1;
}

int NmeaEpochBuilder::seen(std::uint32_t key) const {
    for (std::size_t i = 0; i < countsUsed_; ++i) {
        if (counts_[i].key == key) return counts_[i].count;
    }
    return 0;
}

void NmeaEpochBuilder::finish() {
    if (open_) complete();
}

void NmeaEpochBuilder::reset() {
    clearEpoch();
    ender_.reset();
    lastDate_.reset();
    lastTime_.reset();
    clean_ = false;
    firstEpoch_ = true;
    openedWithoutTime_ = false;
    begunMidCycle_ = false;
}

void NmeaEpochBuilder::complete() {
    // An epoch that began mid-cycle (the first after a connection) does not teach where cycles end.
    if (clean_ && countsUsed_ > 0) ender_ = last_;
    if (!date_ && lastDate_ && time_ && lastTime_ && *time_ + kHalfDay < *lastTime_) lastDate_ = NextDay(*lastDate_);
    if (date_) lastDate_ = date_;
    if (time_) lastTime_ = time_;
    if (hasFixSentence_) {
        buildFix();
        listener_.onFix(fix_);
    }
    if (skyComplete_ && !begunMidCycle_) {
        buildSky();
        listener_.onSky(sky_);
    }
    firstEpoch_ = false;
    openedWithoutTime_ = false;
    begunMidCycle_ = false;
    clearEpoch();
}

void NmeaEpochBuilder::clearEpoch() {
    open_ = false;
    time_.reset();
    date_.reset();
    countsUsed_ = 0;
    last_ = {};
    hasFixSentence_ = false;
    noFix_ = false;
    gsaFixType_ = 0;
    ggaQuality_.reset();
    modeLetter_.reset();
    position_.reset();
    positionSource_ = PositionSource::None;
    altitudeMsl_.reset();
    geoidSeparation_.reset();
    speed_.reset();
    track_.reset();
    hdop_.reset();
    vdop_.reset();
    pdop_.reset();
    satellitesUsed_.reset();
    errorEstimate_.reset();
    hasGsa_ = false;
    used_.clear();
    satellites_.clear();
    completeSatellites_ = 0;
    cycle_ = {};
    skyComplete_ = false;
}

void NmeaEpochBuilder::takeTime(std::optional<NmeaTimeOfDay> time) {
    if (!time_) time_ = time;
}

void NmeaEpochBuilder::takeDate(std::optional<NmeaDate> date) {
    if (!date_) date_ = date;
}

void NmeaEpochBuilder::takePosition(const std::optional<NmeaPosition>& position, PositionSource source) {
    if (!position || source <= positionSource_) return;
    position_ = position;
    positionSource_ = source;
}

void NmeaEpochBuilder::takeMode(std::optional<char> mode) {
    if (!mode) return;
    if (*mode == 'N') {
        noFix_ = true;
    } else if (!modeLetter_) {
        modeLetter_ = mode;
    }
}

void NmeaEpochBuilder::takeUsed(NmeaSystem system, const GsaSentence& gsa) {
    for (int number : gsa.used) {
        if (number == 0 || used_.size() == kMaxUsed) continue;
        const std::optional<SatelliteId> id = SatelliteFromNmea(system, number);
        if (id && std::find(used_.begin(), used_.end(), *id) == used_.end()) used_.push_back(*id);
    }
}

void NmeaEpochBuilder::dropCycle() {
    satellites_.resize(completeSatellites_);
    cycle_ = {};
}

bool NmeaEpochBuilder::takeGsv(std::uint32_t key, NmeaSystem system, const GsvSentence& gsv) {
    if (gsv.index == 1) {
        dropCycle();
        cycle_ = GsvCycle{key, gsv.total, 1};
    } else if (cycle_.next != gsv.index || cycle_.key != key || cycle_.total != gsv.total) {
        dropCycle();
        return false;
    }
    for (std::size_t i = 0; i < gsv.count && satellites_.size() < kMaxSatellites; ++i) {
        const GsvSatellite& reported = gsv.satellites[i];
        const std::optional<SatelliteId> id = SatelliteFromNmea(system, reported.number);
        if (!id) continue;
        satellites_.push_back(SkySatellite{*id, gsv.signal, reported.azimuth, reported.elevation, reported.cn0, false});
    }
    if (gsv.index != gsv.total) {
        cycle_.next = gsv.index + 1;
        return false;
    }
    completeSatellites_ = satellites_.size();
    cycle_ = {};
    skyComplete_ = true;
    return true;
}

void NmeaEpochBuilder::buildFix() {
    GnssFix& fix = fix_;
    fix.time.reset();
    if (time_ && lastDate_) fix.time = ToUtc(*lastDate_, *time_);

    const bool fixClaimed = gsaFixType_ >= 2 || ggaQuality_.value_or(0) > 0 || modeLetter_.has_value();
    // An epoch begun mid-cycle may hold only the last GSA of a set: its used satellites are part of
    // them, and its "no fix" may speak for one constellation of several.
    const bool wholeGsaSet = !begunMidCycle_;
    // Where several GSA speak for several constellations, one with a fix is enough.
    const bool gsaDenies = gsaFixType_ == 1 && wholeGsaSet;
    const bool hasFix = !noFix_ && !gsaDenies && fixClaimed && position_.has_value();
    fix.mode = FixMode::NoFix;
    fix.quality = FixQuality::Unknown;
    fix.latitude.reset();
    fix.longitude.reset();
    fix.altitudeMsl.reset();
    fix.altitudeHae.reset();
    fix.speed.reset();
    fix.track.reset();
    fix.sigmaEast.reset();
    fix.sigmaNorth.reset();
    fix.sigmaUp.reset();
    if (hasFix) {
        if (gsaFixType_ >= 2) {
            fix.mode = gsaFixType_ == 3 ? FixMode::ThreeD : FixMode::TwoD;
        } else {
            fix.mode = altitudeMsl_ ? FixMode::ThreeD : FixMode::TwoD;
        }
        fix.quality = ggaQuality_.value_or(0) > 0 ? QualityOfGga(*ggaQuality_) : QualityOfMode(modeLetter_.value_or('A'));
        fix.latitude = position_->latitude;
        fix.longitude = position_->longitude;
        if (fix.mode == FixMode::ThreeD) {
            fix.altitudeMsl = altitudeMsl_;
            if (altitudeMsl_ && geoidSeparation_) fix.altitudeHae = *altitudeMsl_ + *geoidSeparation_;
        }
        fix.speed = speed_;
        fix.track = track_;
        if (errorEstimate_) {
            fix.sigmaEast = errorEstimate_->sigmaLongitude;
            fix.sigmaNorth = errorEstimate_->sigmaLatitude;
            if (fix.mode == FixMode::ThreeD) fix.sigmaUp = errorEstimate_->sigmaAltitude;
        }
    }
    fix.hdop = hdop_;
    fix.vdop = vdop_;
    fix.pdop = pdop_;
    fix.satellitesUsed = satellitesUsed_;
    if (!fix.satellitesUsed && hasGsa_ && wholeGsaSet) fix.satellitesUsed = static_cast<int>(used_.size());
    if (wholeGsaSet) {
        fix.used.assign(used_.begin(), used_.end());
    } else {
        fix.used.clear();
    }
}

void NmeaEpochBuilder::buildSky() {
    GnssSky& sky = sky_;
    sky.time.reset();
    if (time_ && lastDate_) sky.time = ToUtc(*lastDate_, *time_);
    sky.hdop = hdop_;
    sky.vdop = vdop_;
    sky.pdop = pdop_;
    sky.satellites.assign(satellites_.begin(), satellites_.begin() + static_cast<std::ptrdiff_t>(completeSatellites_));
    for (SkySatellite& satellite : sky.satellites) {
        satellite.used = std::find(used_.begin(), used_.end(), satellite.id) != used_.end();
    }
}

}  // namespace vexa
