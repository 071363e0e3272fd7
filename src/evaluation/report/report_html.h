#pragma once

#include <string>

#include "evaluation/report/report_contents.h"

namespace vexa {

// report.html: one page that needs nothing else (styles inline, charts as inline SVG, no script,
// nothing fetched), well-formed XML as well as HTML. It shows the fix counts, the reference, the
// accuracy and precision figures side by side, the receiver's own estimate where it gave one, the
// time-to-first-fix figures per reset kind and the charts of evaluation_charts.h; an empty part
// says "No fixes." or "No runs.".
std::string ReportHtml(const ReportContents& contents);

}  // namespace vexa
