#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "evaluation/error_figures.h"
#include "evaluation/local_frame.h"

namespace vexa {

// Where a reference point came from: typed in (a surveyed mark), averaged from the receiver's own
// fixes over a chosen time (survey-in), or the mean of every fix of a capture.
enum class ReferenceSource : std::uint8_t { Entered, SurveyIn, Mean };

// "entered", "survey", "mean": the names the report files use ("none" is the report's word for no reference).
std::string_view ReferenceSourceName(ReferenceSource source);

// What a survey-in averaged: its fixes, the time they spanned and their spread about their mean.
struct SurveySummary {
    std::size_t fixes = 0;
    double seconds = 0.0;
    ErrorFigures spread;
};

struct ReferencePoint {
    GeodeticPoint position;
    ReferenceSource source = ReferenceSource::Entered;
    std::optional<SurveySummary> survey;  // for a survey-in only
};

// The heights a reference may have, in metres above the ellipsoid: from below the lowest land to
// above any aircraft, so that a point outside is a typing error.
inline constexpr double kLowestReferenceHeight = -1000.0;
inline constexpr double kHighestReferenceHeight = 100000.0;

// Why a point cannot be a reference ("the latitude 91 is outside -90 to 90 degrees"); empty when it can.
std::string WhyNotAReference(const GeodeticPoint& point);

// A reference point typed as "LAT,LON,H": decimal degrees and metres above the WGS-84 ellipsoid,
// with a point as decimal mark whatever the locale, blanks allowed around each number. Gives the
// point, or (point empty) the message that says what is wrong with the text.
struct ParsedReference {
    std::optional<GeodeticPoint> point;
    std::string message;
};
ParsedReference ParseReferencePoint(std::string_view text);

}  // namespace vexa
