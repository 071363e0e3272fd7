#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "evaluation/error_figures.h"
#include "evaluation/fix_sample.h"
#include "evaluation/local_frame.h"
#include "evaluation/reference_point.h"

namespace vexa {

// The receiver's own error estimates over the fixes that carried one: the root mean square of each
// 1-sigma value, in metres, to set beside the measured sd.
struct ReceiverEstimateFigures {
    std::size_t fixes = 0;
    std::optional<double> sigmaEast;
    std::optional<double> sigmaNorth;
    std::optional<double> sigmaUp;
};

struct AccuracyFigures {
    FixCounts counts;
    std::optional<ErrorFigures> accuracy;   // about the reference; none without a reference or fixes
    std::optional<ErrorFigures> precision;  // about the fixes' own mean; none without fixes
    std::optional<ReceiverEstimateFigures> receiverEstimate;  // none when no fix carried an estimate
};

// Keeps every fix of a test and gives its accuracy and precision figures. Each fix's offset is
// taken once, in the local frame at the reference (at the first fix while there is none); the
// figures are worked out from the kept offsets when asked for, with percentiles by selection, and
// kept until the next fix or reference. Precision is taken in the same frame: near the frame's
// origin the frame at the mean differs from it by a turn of (their distance / the Earth's radius),
// which moves a deviation of a metre by 0.02 mm per 100 m between them.
// Used from one thread.
class AccuracyTracker {
public:
    // A new reference (or none): every kept fix is measured again. A reference whose position
    // fails IsUsablePosition is refused (false) and changes nothing.
    bool SetReference(std::optional<ReferencePoint> reference);
    const std::optional<ReferencePoint>& Reference() const { return reference_; }

    // A fix that fails IsUsableSample is refused (false) and changes nothing.
    bool Add(const FixSample& fix);
    void Clear();

    std::span<const FixSample> Fixes() const { return fixes_; }
    // The error of the fix at `index` (in Fixes()) about the reference; none without a reference.
    std::optional<EnuOffset> ErrorAt(std::size_t index) const;
    // Its deviation from the fixes' own mean (the mean height of the fixes with a measured height).
    EnuOffset DeviationAt(std::size_t index) const;

    const AccuracyFigures& Figures() const;

    // The fixes' own mean position; none without fixes. Its height is the mean of the measured
    // heights; without any, the height of the frame's origin (the reference's, else the first fix's
    // or 0).
    std::optional<GeodeticPoint> MeanPosition() const;
    // That mean as a reference point, for a capture evaluated against itself.
    std::optional<ReferencePoint> MeanReference() const;

private:
    EnuOffset OffsetOf(const FixSample& fix) const;
    void Measure();
    const EnuOffset& MeanOffset() const;

    std::optional<ReferencePoint> reference_;
    std::optional<LocalFrame> frame_;
    std::vector<FixSample> fixes_;
    std::vector<EnuOffset> offsets_;  // in frame_, one per fix
    FixCounts counts_;

    mutable std::optional<AccuracyFigures> figures_;
    mutable std::optional<EnuOffset> meanOffset_;
    mutable std::vector<double> scratch_;
};

}  // namespace vexa
