// What the usable-height check of a balanced candidate stands on, and what
// its outputs must say about the figures behind it. The results file keeps
// its 25 fields, so everything here is decided from a record alone and gives
// the same answer on the record the calculation made and on the record read
// back from Keisan.txt.
#pragma once

#include "DesignConditions.h"
#include "KeisanRecord.h"

namespace sekora {

// True for a candidate that balanced (Status ＯＫ or 4) with h1 below its own
// critical depth h2, as the results file writes them. Such an inlet depth is
// supercritical: in reality the inlet controls and the water enters at the
// critical depth, so the usable-height check stands on h2.
bool ChecksOnCriticalDepth(const KeisanRecord& rec);

// The depth the usable-height check adds the freeboard to: h2 when
// ChecksOnCriticalDepth, else h1.
double CheckedInletDepth(const KeisanRecord& rec);

// (1 − ratio) × H for a box, (1 − ratio) × D for a pipe, m.
double Freeboard(const KeisanRecord& rec, const DesignConditions& conditions);

// The usable-height verdict: `required` fits only when, written with three
// decimals as the results file writes it, it lies below the section height
// written the same way. So the list, the file and the sheet never disagree.
bool FitsUsableHeight(double required, double sectionHeight);

// Fric1 and Fric2 keep five decimals, so their sum can be off by 0.00001 and
// hf by FricQL × 0.00001 m. True where that reaches half a centimetre.
bool HasFrictionRoundingNote(const KeisanRecord& rec);

// FricQL × 0.00001: how far the five-decimal friction factors can move hf, m.
double FrictionRoundingBound(const KeisanRecord& rec);

}  // namespace sekora
