// Drawing a metafile picture with Qt.
#pragma once

#include <QPainter>
#include <QPen>

#include "Metafile.h"

namespace sekora {

// Draws `picture` at its natural size with its top-left corner at (xTwips,
// yTwips) on `painter`, whose logical unit must be one twip. The picture's
// thinnest pens (GDI's width 0, the thinnest line a device draws) are drawn
// as wide as `sheetPen`, the pen of the sheet around the picture, so that a
// dashed line is as heavy as the sheet's own lines in every format. Dashes
// and gaps have the lengths on paper that the screen gives them. The
// painter's state is left as it was. Faces the picture names that are not
// installed are replaced by their IPA counterparts ("ＭＳ 明朝" by
// "IPAMincho", "ＭＳ ゴシック" by "IPAGothic").
void PaintMetafile(QPainter& painter, const Metafile& picture, double xTwips, double yTwips,
                   const QPen& sheetPen);

}  // namespace sekora
