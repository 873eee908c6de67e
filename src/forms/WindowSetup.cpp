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

// Moves `window` so that it stands, with its frame, in the middle of its
// screen. The frame is the window itself while it is not yet known.
void MoveToCentre(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect outer(QPoint(), window.frameGeometry().size());
  window.move(screen->availableGeometry().center() - outer.center());
}

// Centres its window once more when it is first activated: only then, after
// the window manager has framed it, is the size of the frame known on X11,
// so the first centring could only centre the window without its frame.
class FramedCentring : public QObject {
 public:
  FramedCentring(QWidget& window, QPoint placed) : QObject(&window), placed_(placed) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::WindowActivate) {
      auto& window = static_cast<QWidget&>(*watched);
      // A window the user has already moved stays where it is.
      if (window.pos() == placed_) MoveToCentre(window);
      deleteLater();
      window.removeEventFilter(this);
    }
    return false;
  }

 private:
  QPoint placed_;
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
  MoveToCentre(window);
  if (!window.isVisible()) new FramedCentring(window, window.pos());
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
