// What the last completed run of this window wrote to Keisan.txt, so that a
// file another run has rewritten since is never shown as this run's.
#pragma once

#include <QByteArray>
#include <string>
#include <string_view>

#include "DesignConditions.h"
#include "KeisanRecord.h"

namespace sekora {

class WrittenResults {
 public:
  // Remembers `content` as what Keisan.txt now holds.
  void Remember(std::string_view content);

  // The records of `folder`/Keisan.txt, read back. Throws ResultsFileError
  // when the file cannot be read, and when it is not what the last run wrote
  // (or no run has written it yet).
  Candidates Read(const std::string& folder) const;

 private:
  bool remembered_ = false;
  qsizetype size_ = 0;
  QByteArray digest_;
};

// The record of row `selectedNo` of `records`, rows counted from 1 up to
// conditions.CandidateCount: a number outside that range gives the last row,
// a count of 0 gives an all-zero record. Throws ResultsFileError when the row
// is missing.
KeisanRecord SelectedRecord(const Candidates& records, const DesignConditions& conditions,
                            std::int16_t selectedNo);

}  // namespace sekora
