// Outlet critical depth h2 of a box (closed form) or a pipe (trial search).
#pragma once

#include "DesignConditions.h"
#include "KeisanRecord.h"

namespace sekora {

// Sets rec.h2 (m) from Q (m3/s) and g (m/s2); sets rec.Status to
// StatusOutletOver when the critical depth does not fit in the section.
void CalcCriticalDepth(KeisanRecord& rec, const DesignConditions& conditions);

}  // namespace sekora
