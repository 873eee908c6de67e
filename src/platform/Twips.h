// Window layouts are given in twips (1/1440 inch); widgets are placed in
// pixels at the screen's logical resolution.
#pragma once

#include <QRect>
#include <QSize>

namespace sekora {

inline constexpr double kTwipsPerInch = 1440.0;

// Logical dots per inch of the primary screen (96 when there is none).
double ScreenDpi();

int TwipsToPixels(double twips, double dpi);
QRect TwipsRect(int left, int top, int width, int height, double dpi);
QSize TwipsSize(int width, int height, double dpi);

}  // namespace sekora
