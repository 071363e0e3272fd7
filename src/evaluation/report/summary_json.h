#pragma once

#include <string>

#include "evaluation/report/report_contents.h"

namespace vexa {

// summary.json: the figures in metres and seconds, every key always present (null where there is
// nothing to give):
//   fixes {total, 2d, 3d, dgps, rtk_float, rtk_fixed}: how many fixes of each kind;
//   reference {lat, lon, height, source, survey}: source entered, survey, mean or none; survey is
//     the survey-in's {fixes, seconds} and its spread (the keys of accuracy), else null;
//   accuracy {cep50, cep95, cep99, vertical95, drms, twodrms, mean_east, mean_north, mean_up,
//     sd_east, sd_north, sd_up}: about the reference; precision: the same about the fixes' mean;
//   receiver_estimate {fixes, sigma_east, sigma_north, sigma_up}: the receiver's own 1-sigma
//     estimates (root mean square), or null when it gave none;
//   ttff {hot, warm, cold, factory}: each {runs, failures, min, median, mean, p90, p95, max, sd}.
std::string SummaryJson(const ReportContents& contents);

}  // namespace vexa
