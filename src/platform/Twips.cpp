#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace sekora {

double ScreenDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

int TwipsToPixels(double twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

QRect TwipsRect(int left, int top, int width, int height, double dpi) {
  return QRect(TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(width, dpi),
               TwipsToPixels(height, dpi));
}

QSize TwipsSize(int width, int height, double dpi) {
  return QSize(TwipsToPixels(width, dpi), TwipsToPixels(height, dpi));
}

}  // namespace sekora
