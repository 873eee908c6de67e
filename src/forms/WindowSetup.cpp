#include "WindowSetup.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include "FontSubstitution.h"
#include "Twips.h"

namespace sekora {

namespace {

// Presses its button on Enter or Return. A held key presses it once.
class EnterPresser : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return false;
    if (!key.isAutoRepeat()) static_cast<QPushButton*>(watched)->click();
    return true;
  }
};

}  // namespace

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

void PressOnEnter(QPushButton& button) {
  button.installEventFilter(new EnterPresser(&button));
}

void BringToFront(QWidget& window) {
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace sekora
