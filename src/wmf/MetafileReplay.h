// Drawing a metafile picture at its natural size.
#pragma once

#include "Metafile.h"
#include "MetafileCanvas.h"

namespace sekora {

// Draws `picture` onto `canvas` at its natural size (Metafile::WidthTwips,
// HeightTwips) with its top-left corner at (xTwips, yTwips). The window
// origin and extent of the picture span that area; until the picture sets
// them, its bounding box does. The canvas first receives GDI's initial
// state: black thinnest pen, white brush, black text, left-top alignment,
// opaque background, and the canvas's own font.
void ReplayMetafile(const Metafile& picture, MetafileCanvas& canvas, double xTwips, double yTwips);

}  // namespace sekora
