// The sign-off block of a report's first page: 承認, 照査 and 作成, each
// with a box for a stamp or a signature and a line for the date.
#pragma once

#include "SheetLayout.h"

namespace sekora {

// The block's size in the sheet's grid.
inline constexpr double kSignOffWidth = 15.0;  // CharW
inline constexpr double kSignOffHeight = 5.5;  // LineH

// Draws the block with its top-right corner at grid point (right, top).
void DrawSignOffBlock(SheetLayout& sheet, double right, double top);

}  // namespace sekora
