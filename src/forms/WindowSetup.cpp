#include "WindowSetup.h"

#include <QGuiApplication>
#include <QScreen>

#include "FontSubstitution.h"
#include "Twips.h"

namespace sekora {

void SetUpFixedWindow(QWidget& window, const QString& caption) {
  window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                        Qt::MSWindowsFixedSizeDialogHint);
  window.setWindowTitle(caption);
  window.setFont(DialogFont());
}

QFont DialogFont() {
  return SubstitutedFont(QString::fromUtf8("ＭＳ Ｐゴシック"), 9.0);
}

void PlaceInTwips(QWidget& child, int left, int top, int width, int height) {
  child.setGeometry(TwipsRect(left, top, width, height, ScreenDpi()));
}

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect available = screen->availableGeometry();
  window.move(available.center() - window.rect().center());
}

void BringToFront(QWidget& window) {
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace sekora
