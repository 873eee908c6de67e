// One complete calculation run.
#pragma once

#include <atomic>
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

// Loads the catalogues of `folder`, designs every candidate and writes
// `folder`/Keisan.txt. Throws DesignError (the previous Keisan.txt is kept).
void RunDesign(const std::string& folder, DesignConditions& conditions,
               const RunOptions& options = {});

}  // namespace sekora
