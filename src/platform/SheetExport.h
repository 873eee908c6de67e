// Writing a calculation sheet to a file: PDF, PNG or SVG, one A4 page.
#pragma once

#include <functional>
#include <string>

#include "DrawingSurface.h"

namespace sekora {

// The A4 portrait page in twips (210 mm x 297 mm).
inline constexpr int kA4WidthTwips = 11907;
inline constexpr int kA4HeightTwips = 16840;

inline constexpr int kDefaultExportDpi = 150;

// Writes one A4 portrait page to `outPath`, drawn by `draw` on a surface in
// twips whose origin is the top-left corner of the page. The format follows
// the extension (case-insensitive): ".pdf" (vector, selectable text, fonts
// embedded), ".png" (an image at `dpi`, white background) or ".svg" (text as
// glyph outlines, so that it looks the same without the sheet's fonts, with
// the words kept as invisible text). One unit of the pen is 1/600 inch on
// the page, as on a 600-dpi printer, whatever the resolution.
// Throws std::invalid_argument for another extension or a dpi below 1, and
// std::runtime_error when the file cannot be written. When `draw` throws, the
// partly written file is removed and the exception passes on.
// Needs a QGuiApplication (the offscreen platform will do).
void ExportSheet(const std::string& outPath, int dpi,
                 const std::function<void(DrawingSurface&)>& draw);

}  // namespace sekora
