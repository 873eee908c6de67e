// Drawing a metafile picture with Qt.
#pragma once

#include <QPainter>

#include "Metafile.h"

namespace sekora {

// Draws `picture` at its natural size with its top-left corner at (xTwips,
// yTwips) on `painter`, whose logical unit must be one twip. The painter's
// state is left as it was. Faces the picture names that are not installed
// are replaced by their IPA counterparts ("ＭＳ 明朝" by "IPAMincho",
// "ＭＳ ゴシック" by "IPAGothic").
void PaintMetafile(QPainter& painter, const Metafile& picture, double xTwips, double yTwips);

}  // namespace sekora
