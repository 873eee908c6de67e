// One complete calculation run.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "DesignConditions.h"
#include "KeisanRecord.h"

namespace sekora {

// How a run uses the machine, and how another thread watches and stops it.
struct RunOptions {
  unsigned threads = 1;                         // calculation threads; 0 counts as 1
  std::atomic<int>* candidatesDone = nullptr;   // counts the candidates designed
  std::atomic<int>* candidatesTotal = nullptr;  // the run's candidates, once read
  const std::atomic<bool>* cancel = nullptr;    // once true, the run stops
};

// Gives every candidate its roughness, critical depth, inlet depth by the
// energy balance and freeboard check, and its status; each candidate alone,
// so the results are the same on any number of threads. A candidate whose
// arithmetic breaks down ends as NG. Throws RunCancelledError when
// `options.cancel` is set, within a few candidates per thread.
void DesignCandidates(Candidates& candidates, const DesignConditions& conditions,
                      const RunOptions& options = {});

// One completed run: the conditions it ran with and its results exactly as
// Keisan.txt holds them.
struct DesignRun {
  // CandidateCount is the number of lines of the results.
  DesignConditions conditions;
  // The content of Keisan.txt.
  std::string resultsText;
  // The lines of resultsText read back, as the list and the sheet read them.
  Candidates records;
  // The candidates designed: more than the lines when the NG ones were
  // left out of the results (ExcludeNg).
  std::size_t designedCount = 0;
};

// Loads the catalogues of `folder` and designs every candidate; writes
// nothing. Throws DesignError; `conditions` is never changed.
DesignRun CalculateRun(const std::string& folder, const DesignConditions& conditions,
                       const RunOptions& options = {});

// Calculates as CalculateRun does and, once the whole run has succeeded,
// replaces `folder`/Keisan.txt with its results. Throws DesignError (the
// previous Keisan.txt is kept); `conditions` is never changed.
DesignRun RunDesign(const std::string& folder, const DesignConditions& conditions,
                    const RunOptions& options = {});

}  // namespace sekora
