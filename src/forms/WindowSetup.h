// What the three windows have in common: a fixed single border without
// minimize and maximize buttons, a client area given in twips, the dialog
// font, and opening centred on the screen.
#pragma once

#include <QString>
#include <QWidget>

class QPushButton;

namespace sekora {

// Makes `window` a top-level window with `caption`, the dialog font and the
// window frame described above. The caller fixes the size.
void SetUpFixedWindow(QWidget& window, const QString& caption);

// The dialog font of the windows: "ＭＳ Ｐゴシック" 9 pt, or its stand-in.
QFont DialogFont();

// Places `child` at a rectangle given in twips of its parent's client area.
void PlaceInTwips(QWidget& child, int left, int top, int width, int height);

// Moves `window` so that it stands in the middle of its screen. The window's
// size must be final.
void CentreOnScreen(QWidget& window);

// Makes Enter press `button` when it has the focus, as Space does.
void PressOnEnter(QPushButton& button);

// Shows `window` if needed, raises it and gives it the keyboard.
void BringToFront(QWidget& window);

}  // namespace sekora
