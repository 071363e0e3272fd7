#include "evaluation/error_figures.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "evaluation/nearest_rank.h"

namespace vexa {

EnuOffset MeanOffsetOf(std::span<const EnuOffset> offsets) {
    double east = 0.0;
    double north = 0.0;
    double up = 0.0;
    std::size_t vertical = 0;
    for (const EnuOffset& offset : offsets) {
        east += offset.east;
        north += offset.north;
        if (offset.up) {
            up += *offset.up;
            ++vertical;
        }
    }
    const double count = static_cast<double>(std::max<std::size_t>(offsets.size(), 1));
    EnuOffset mean{east / count, north / count, std::nullopt};
    if (vertical > 0) mean.up = up / static_cast<double>(vertical);
    return mean;
}

// Two plain passes (the means, then the spreads about them) rather than an update per value: the
// offsets are metres from a nearby origin, so the sums stay exact, and the loops stay quick enough
// to run again on every fix of a long test.
std::optional<ErrorFigures> ErrorFiguresAbout(std::span<const EnuOffset> offsets, const EnuOffset& centre,
                                              std::vector<double>& scratch) {
    if (offsets.empty()) return std::nullopt;
    const double centreUp = centre.up.value_or(0.0);
    const EnuOffset mean = MeanOffsetOf(offsets);
    const double meanEast = mean.east - centre.east;
    const double meanNorth = mean.north - centre.north;
    const double meanUp = mean.up.value_or(centreUp) - centreUp;
    const double count = static_cast<double>(offsets.size());
    std::size_t vertical = 0;

    double squaresEast = 0.0;
    double squaresNorth = 0.0;
    double squaresUp = 0.0;
    double squaresHorizontal = 0.0;
    scratch.resize(offsets.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        const EnuOffset& offset = offsets[i];
        const double east = offset.east - centre.east;
        const double north = offset.north - centre.north;
        const double squared = east * east + north * north;
        squaresHorizontal += squared;
        scratch[i] = std::sqrt(squared);
        squaresEast += (east - meanEast) * (east - meanEast);
        squaresNorth += (north - meanNorth) * (north - meanNorth);
        if (offset.up) {
            const double fromMean = *offset.up - centreUp - meanUp;
            squaresUp += fromMean * fromMean;
            ++vertical;
        }
    }

    ErrorFigures figures;
    figures.fixes = offsets.size();
    static constexpr std::array kCepPercents = {50, 95, 99};
    const std::vector<double> ceps = NearestRankPercentiles(scratch, kCepPercents);
    figures.cep50 = ceps[0];
    figures.cep95 = ceps[1];
    figures.cep99 = ceps[2];
    figures.drms = std::sqrt(squaresHorizontal / count);
    figures.twoDrms = 2.0 * figures.drms;
    figures.meanEast = meanEast;
    figures.meanNorth = meanNorth;
    figures.sdEast = std::sqrt(squaresEast / count);
    figures.sdNorth = std::sqrt(squaresNorth / count);

    figures.verticalFixes = vertical;
    if (vertical > 0) {
        scratch.clear();
        for (const EnuOffset& offset : offsets) {
            if (offset.up) scratch.push_back(std::abs(*offset.up - centreUp));
        }
        static constexpr std::array kVerticalPercent = {95};
        figures.vertical95 = NearestRankPercentiles(scratch, kVerticalPercent)[0];
        figures.meanUp = meanUp;
        figures.sdUp = std::sqrt(squaresUp / static_cast<double>(vertical));
    }
    return figures;
}

}  // namespace vexa
