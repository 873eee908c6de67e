// Keisan.txt: the results of the last run, one line of 25 fields per candidate.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "AtomicFile.h"
#include "DesignConditions.h"
#include "KeisanRecord.h"

namespace sekora {

inline constexpr const char* kResultsFileName = "Keisan.txt";
inline constexpr std::int16_t kFileModeWrite = 0;
inline constexpr std::int16_t kFileModeRead = 1;

// The 25 fields of `rec` as one line of Keisan.txt, without the line end.
std::string ResultsLine(const KeisanRecord& rec);

// The content of Keisan.txt for candidates 1 .. conditions.CandidateCount of
// `records`: one line each, ended by CR LF (only Status 0 when ExcludeNg is
// 1). The lines are made on up to `threads` threads.
std::string ResultsText(const Candidates& records, const DesignConditions& conditions,
                        unsigned threads = 1);

// `rec` as a reader of the results file gets it back: every quantity rounded
// to the decimals of its field.
KeisanRecord RecordAsWritten(const KeisanRecord& rec);

// The records of results text as the file readers see them; `path` names the
// file in error messages. Throws ResultsFileError for a malformed line or
// more lines than a 16-bit count (the first such line, whatever `threads`,
// the threads the lines are read on).
Candidates ParseResultsText(std::string_view content, const std::string& path,
                            unsigned threads = 1);

// Writes `content` beside `folder`/Keisan.txt, to be put in place by
// CommitResultsFile. Both throw ResultsFileError; the previous file stays
// until the commit succeeds.
void StageResultsFile(StagedFile& staged, const std::string& folder, std::string_view content);
void CommitResultsFile(StagedFile& staged, const std::string& folder);

// FileMode 0 writes candidates 1 .. conditions.CandidateCount of `records`
// (only Status 0 when ExcludeNg is 1) to `folder`/Keisan.txt, replacing the
// old file only once the new one is complete. FileMode 1 reads the file back:
// CandidateCount becomes the number of lines and `records` holds them. Any
// other mode does nothing. Throws ResultsFileError.
void KeisanFile(std::int16_t fileMode, Candidates& records, DesignConditions& conditions,
                const std::string& folder);

// The line ReadSelectedRecord reads for `selectedNo`: itself when it lies in
// 1 .. candidateCount, else the last line, candidateCount (0 for none).
std::size_t SelectedLineNo(std::int16_t candidateCount, std::int16_t selectedNo);

// The record of line `selectedNo` of `folder`/Keisan.txt, reading at most
// conditions.CandidateCount lines; a number outside 1 .. CandidateCount gives
// the last line read, and CandidateCount 0 leaves `rec` as it is.
void ReadSelectedRecord(const std::string& folder, const DesignConditions& conditions,
                        std::int16_t selectedNo, KeisanRecord& rec);

// The Status digit of line `lineNo` of `folder`/Keisan.txt: 0 when there is
// no such line. Throws ResultsFileError when the file cannot be read.
std::int16_t LookupStatus(const std::string& folder, std::int16_t lineNo);

}  // namespace sekora
