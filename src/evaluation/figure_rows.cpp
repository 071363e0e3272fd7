#include "evaluation/figure_rows.h"

namespace vexa {

const std::array<ErrorFigureRow, 12> kErrorFigureRows = {{
    {"CEP50 (m)", [](const ErrorFigures& f) { return std::optional(f.cep50); }},
    {"CEP95 (m)", [](const ErrorFigures& f) { return std::optional(f.cep95); }},
    {"CEP99 (m)", [](const ErrorFigures& f) { return std::optional(f.cep99); }},
    {"vertical 95 % (m)", [](const ErrorFigures& f) { return f.vertical95; }},
    {"DRMS (m)", [](const ErrorFigures& f) { return std::optional(f.drms); }},
    {"2DRMS (m)", [](const ErrorFigures& f) { return std::optional(f.twoDrms); }},
    {"mean east (m)", [](const ErrorFigures& f) { return std::optional(f.meanEast); }},
    {"mean north (m)", [](const ErrorFigures& f) { return std::optional(f.meanNorth); }},
    {"mean up (m)", [](const ErrorFigures& f) { return f.meanUp; }},
    {"sd east (m)", [](const ErrorFigures& f) { return std::optional(f.sdEast); }},
    {"sd north (m)", [](const ErrorFigures& f) { return std::optional(f.sdNorth); }},
    {"sd up (m)", [](const ErrorFigures& f) { return f.sdUp; }},
}};

const std::array<TtffFigureColumn, 8> kTtffTimeColumns = {{
    {"min (s)", [](const TtffFigures& f) { return f.min; }, "min_s"},
    {"median (s)", [](const TtffFigures& f) { return f.median; }, "median_s"},
    {"mean (s)", [](const TtffFigures& f) { return f.mean; }, "mean_s"},
    {"p90 (s)", [](const TtffFigures& f) { return f.p90; }, "p90_s"},
    {"p95 (s)", [](const TtffFigures& f) { return f.p95; }, "p95_s"},
    {"max (s)", [](const TtffFigures& f) { return f.max; }, "max_s"},
    {"sd (s)", [](const TtffFigures& f) { return f.sd; }, "sd_s"},
    {"receiver's mean (s)", [](const TtffFigures& f) { return f.receiverMean; }, "receiver_mean_s"},
}};

}  // namespace vexa
