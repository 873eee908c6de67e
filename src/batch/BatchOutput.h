// The outputs of a batch design that need no drawing: the summary table and
// the results file of every culvert.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "BatchRun.h"
#include "BatchTable.h"

namespace sekora {

// "both", "box" or "pipe": the shape option as the table spells it.
std::string ShapeName(std::int16_t shapeOption);

// A condition as the table would hold it: the shortest decimal text that
// reads back as the same value ("1.5", "20", "-0.25").
std::string ConditionText(double value);

// The summary of the batch as a CSV text for spreadsheet programs: UTF-8
// with a byte-order mark, CR LF line ends, a row of Japanese headings, then
// one row per culvert with its conditions, its candidate and ＯＫ counts
// and, for the recommended box and pipe, size, line in its results file,
// h2, h1, hReq (必要高) and margin to the section height in m and %; "なし"
// where none passes, "対象外" where the culvert's run left the shape out.
// Then come the depth each recommended hReq stands on ("h1", or "h2" for an
// inlet checked on the critical depth; empty where none passes) and "1"
// where the five-decimal friction factors can move some hf by half a
// centimetre or more, else "0"; last the name of its results file when
// `withResultsFiles`. A name that a spreadsheet would take for a formula is
// written as text (SpreadsheetText).
std::string SummaryCsv(const std::vector<Culvert>& culverts,
                       const std::vector<CulvertResult>& results, bool withResultsFiles);

// `text` as a spreadsheet cell that shows it and never runs it: a text
// beginning with "=", "+", "-", "@", a tab or a carriage return gets a
// leading apostrophe, which spreadsheet programs take as "this is text".
std::string SpreadsheetText(const std::string& text);

// The name of the culvert's results file: "<number>_<name>.txt", with every
// character a file system may refuse in the name replaced by "_", blanks and
// dots at its ends removed, and the name cut to at most 100 bytes.
std::string ResultsFileNameOf(const Culvert& culvert);

// Refuses, before a batch replaces the folder `folder` with its results
// files, a folder that holds anything else than results files of an earlier
// batch (ResultsFileNameOf): replacing it would delete them. A missing
// folder, or a link at `folder` (replaced itself), passes. Throws
// ResultsFileError naming the first such entry.
void CheckResultsFolder(const std::string& folder);

// Writes the results file of `culvert`, `resultsText`, into the staged
// folder `staged`, which `folder` names in messages. May be called from
// several threads at once. Throws ResultsFileError naming the file.
void WriteResultsFile(const StagedFolder& staged, const std::string& folder, const Culvert& culvert,
                      const std::string& resultsText);

}  // namespace sekora
