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

// Loads the catalogues of `folder`, designs every candidate and writes
// `folder`/Keisan.txt. Throws DesignError (the previous Keisan.txt is kept).
void RunDesign(const std::string& folder, DesignConditions& conditions);

}  // namespace sekora
