// The calculation sheet of one candidate section: title, design conditions,
// outlet critical depth, inlet depth and the decision, drawn in one pass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "DesignConditions.h"
#include "DrawingSurface.h"
#include "KeisanRecord.h"

namespace sekora {

// The pen of `mode`: three units on the printer (mode 1), whose pen unit is
// much finer than the screen's, else one.
int SheetPenWidth(std::int16_t mode);

// Draws the whole sheet of `rec` on `target`, top left at the surface's
// origin. `mode` 1 is the printer, which gets a pen three units wide; any
// other mode draws with a one-unit pen. The figures are read from
// `figureFolder`. Neither clears the surface nor starts or ends a page.
// Throws FigureError when a figure cannot be loaded; what was drawn before
// stays on the surface.
void DrawSheet(DrawingSurface& target, std::int16_t mode, const KeisanRecord& rec,
               const DesignConditions& conditions, const std::string& figureFolder);

// The paths of the figures the sheet of `rec` draws, in drawing order, so a
// caller can check that they load before it draws anything.
std::vector<std::string> SheetFigurePaths(const KeisanRecord& rec, const std::string& figureFolder);

}  // namespace sekora
