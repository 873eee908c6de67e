// The condition boxes of the main window: which typed characters pass, how
// pasted text is taken, and how the box selects and shows its text.
#pragma once

#include <QChar>
#include <QClipboard>
#include <QLineEdit>
#include <QString>
#include <QValidator>
#include <optional>

class QKeyEvent;
class QMenu;

namespace sekora {

// The longest text that can be typed into a condition box. A formatted
// value may be longer and is shown whole.
inline constexpr int kConditionMaxLength = 10;

// True when `key` types a character; false for editing commands such as
// the arrows, Delete and shortcuts such as Ctrl+V.
bool IsTypedCharacter(const QKeyEvent& key);

// True for the characters a condition box accepts: the digits 0 to 9, the
// point and backspace. There is no minus sign and no check for a second
// point, so 1.2.3 can be typed.
bool PassesKeyFilter(QChar character);

// `text` with only its digits and points kept.
QString FilterConditionText(const QString& text);

// The text a paste of `text` inserts into a condition box: the text without
// its blanks when that is a plain decimal number, else nothing (the paste
// is refused).
std::optional<QString> PastableConditionText(const QString& text);

// Applies the key filter to text that arrives from an input method: the
// characters that would not pass are dropped and the rest is kept.
class ConditionValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

// A condition box. Every way into it (Tab, Shift+Tab, Enter from the box
// before, a click, the window coming back) selects its whole text so that
// typing replaces it: the first click after the focus came places no caret. Typing stops at
// kConditionMaxLength characters. A paste is taken only when its text is a plain decimal number and
// fits; otherwise the box stays as it was and the program beeps. Nothing can be dropped on it.
class ConditionBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit ConditionBox(QWidget* parent);

  // Replaces the text with `text`, whole, and shows it from its start.
  void ShowText(const QString& text);

  // Pastes the text of the clipboard `mode`, or refuses it as above.
  void PasteChecked(QClipboard::Mode mode = QClipboard::Clipboard);

  // The box's context menu, whose Paste is the checked paste.
  QMenu* CreateContextMenu();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // Selects the whole text with the caret at its start, so that the start
  // stays in view.
  void SelectWholeText();
  bool WouldExceedLimit(qsizetype inserted) const;

  // No click and no key since the focus came.
  bool firstClickPending_ = false;
  // The left button of that first click is held down.
  bool holdingFirstClick_ = false;
};

}  // namespace sekora
