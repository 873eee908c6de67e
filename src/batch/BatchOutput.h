// The outputs of a batch design that need no drawing: the summary table and
// the results file of every culvert.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "BatchRun.h"
#include "BatchTable.h"

namespace sekora {

// "both", "box" or "pipe": the shape option as the table spells it.
std::string ShapeName(std::int16_t shapeOption);

// A condition as the table would hold it: the shortest decimal text that
// reads back as the same value ("1.5", "20", "-0.25").
std::string ConditionText(double value);

// The summary of the batch as a CSV text for spreadsheet programs: UTF-8
// with a byte-order mark, CR LF line ends, a header row, then one row per
// culvert with its conditions, its candidate and ＯＫ counts and, for the
// recommended box and pipe, size, line in its results file, h2, h1, hReq and
// margin to the section height in m and %; "なし" where none passes. Last
// come the depth each recommended hReq stands on ("h1", or "h2" for an inlet
// checked on the critical depth; empty where none passes) and "1" where the
// five-decimal friction factors can move some hf by half a centimetre or
// more, else "0".
std::string SummaryCsv(const std::vector<Culvert>& culverts,
                       const std::vector<CulvertResult>& results);

// The name of the culvert's results file: "<number>_<name>.txt", with every
// character a file system may refuse in the name replaced by "_", blanks and
// dots at its ends removed, and the name cut to at most 100 bytes.
std::string ResultsFileNameOf(const Culvert& culvert);

// Writes each culvert's results file (CulvertResult::resultsText) into
// `folder`, creating the folder if needed; each file is replaced whole or
// not at all. Throws ResultsFileError naming the first file that could not
// be written.
void WriteResultsFiles(const std::string& folder, const std::vector<Culvert>& culverts,
                       const std::vector<CulvertResult>& results);

}  // namespace sekora
