// The parts of the calculation sheet, drawn by DrawSheet in this order.
#pragma once

#include <string>

#include "DesignConditions.h"
#include "KeisanRecord.h"
#include "SheetLayout.h"

namespace sekora {

// File names of the figures, looked for in the figure folder.
inline constexpr char kBoxFigure[] = "矩寸法.wmf";
inline constexpr char kPipeFigure[] = "円寸法.wmf";
inline constexpr char kInletFigure[] = "寸法.wmf";

// The title and section 1, the design conditions.
void DrawTitleAndConditions(SheetLayout& sheet, const KeisanRecord& rec,
                            const DesignConditions& conditions);

// The cells of section 1 that belong to the run rather than to one
// candidate, each at its place on the sheet: Q and L on the first row, Z1, Z2
// and g on the second, α on the third. The summary of a run shows its
// conditions with these same cells.
void DrawDischargeCell(SheetLayout& sheet, const DesignConditions& conditions);
void DrawLengthCell(SheetLayout& sheet, const DesignConditions& conditions);
void DrawLevelsAndGravityRow(SheetLayout& sheet, const DesignConditions& conditions);
void DrawAlphaCell(SheetLayout& sheet, const DesignConditions& conditions);

// Section 2, the outlet critical depth, as box or pipe; sets sheet.RowBase.
void DrawCriticalDepthSection(SheetLayout& sheet, const KeisanRecord& rec,
                              const DesignConditions& conditions, const std::string& figureFolder);

// Section 3, the inlet depth by the energy balance, from sheet.RowBase.
void DrawInletDepthSection(SheetLayout& sheet, const KeisanRecord& rec,
                           const DesignConditions& conditions, const std::string& figureFolder);

// Section 4, the freeboard check ending in ＯＫ or ＮＧ, from sheet.RowBase.
void DrawDecisionSection(SheetLayout& sheet, const KeisanRecord& rec,
                         const DesignConditions& conditions);

}  // namespace sekora
