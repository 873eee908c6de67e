// One complete calculation run.
#pragma once

#include <string>

#include "DesignConditions.h"
#include "KeisanRecord.h"

namespace sekora {

// Gives every candidate its roughness, critical depth, inlet depth by the
// energy balance and freeboard check, and its status. Never fails: a
// candidate whose arithmetic breaks down ends as NG.
void DesignCandidates(Candidates& candidates, const DesignConditions& conditions);

// One completed run: the conditions it ran with and its results exactly as
// Keisan.txt holds them.
struct DesignRun {
  // CandidateCount is the number of lines of the results.
  DesignConditions conditions;
  // The content of Keisan.txt.
  std::string resultsText;
  // The lines of resultsText read back, as the list and the sheet read them.
  Candidates records;
};

// Loads the catalogues of `folder` and designs every candidate; writes
// nothing. Throws DesignError; `conditions` is never changed.
DesignRun CalculateRun(const std::string& folder, const DesignConditions& conditions);

// Calculates as CalculateRun does and, once the whole run has succeeded,
// replaces `folder`/Keisan.txt with its results. Throws DesignError (the
// previous Keisan.txt is kept); `conditions` is never changed.
DesignRun RunDesign(const std::string& folder, const DesignConditions& conditions);

}  // namespace sekora
