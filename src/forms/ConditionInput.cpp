#include "ConditionInput.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <utility>

#include "NumberText.h"

namespace sekora {

namespace {

// The characters a condition text is made of.
bool IsConditionCharacter(QChar character) {
  const char16_t code = character.unicode();
  return code == u'.' || (code >= u'0' && code <= u'9');
}

QString WithoutBlanks(const QString& text) {
  QString kept;
  kept.reserve(text.size());
  for (const QChar character : text) {
    if (!character.isSpace()) kept.append(character);
  }
  return kept;
}

}  // namespace

bool IsTypedCharacter(const QKeyEvent& key) {
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  return !key.text().isEmpty() && key.text().at(0).isPrint();
}

bool PassesKeyFilter(QChar character) {
  return character.unicode() == u'\b' || IsConditionCharacter(character);
}

QString FilterConditionText(const QString& text) {
  QString kept;
  kept.reserve(text.size());
  for (const QChar character : text) {
    if (IsConditionCharacter(character)) kept.append(character);
  }
  return kept;
}

std::optional<QString> PastableConditionText(const QString& text) {
  const QString pasted = WithoutBlanks(text);
  if (!IsPlainDecimal(pasted.toStdString())) return std::nullopt;
  return pasted;
}

QValidator::State ConditionValidator::validate(QString& input, int& pos) const {
  int removedBeforeCursor = 0;
  for (int i = 0; i < pos && i < input.size(); ++i) {
    if (!IsConditionCharacter(input.at(i))) ++removedBeforeCursor;
  }
  input = FilterConditionText(input);
  pos -= removedBeforeCursor;
  return Acceptable;
}

ConditionBox::ConditionBox(QWidget* parent) : QLineEdit(parent) {
  setValidator(new ConditionValidator(this));
  setAcceptDrops(false);
}

void ConditionBox::ShowText(const QString& text) {
  setText(text);
  setCursorPosition(0);
}

void ConditionBox::SelectWholeText() {
  const int length = static_cast<int>(text().size());
  setSelection(length, -length);
}

bool ConditionBox::WouldExceedLimit(qsizetype inserted) const {
  return text().size() - selectedText().size() + inserted > kConditionMaxLength;
}

void ConditionBox::PasteChecked(QClipboard::Mode mode) {
  const std::optional<QString> pasted =
      PastableConditionText(QGuiApplication::clipboard()->text(mode));
  if (!pasted || WouldExceedLimit(pasted->size())) {
    QApplication::beep();
    return;
  }
  insert(*pasted);
}

QMenu* ConditionBox::CreateContextMenu() {
  QMenu* menu = createStandardContextMenu();
  // Qt's menu connects its Paste to paste() by the slot's name.
  for (QAction* action : menu->actions()) {
    if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste()))) {
      connect(action, &QAction::triggered, this, [this] { PasteChecked(); });
    }
  }
  return menu;
}

void ConditionBox::focusInEvent(QFocusEvent* event) {
  SelectWholeText();
  firstClickPending_ = true;
  QLineEdit::focusInEvent(event);
}

void ConditionBox::focusOutEvent(QFocusEvent* event) {
  firstClickPending_ = false;
  holdingFirstClick_ = false;
  QLineEdit::focusOutEvent(event);
}

// The first click after the focus came (with the click itself, by Tab, by
// Enter, or with the window, as when the program starts) leaves the whole
// text selected, with its press, drag and release; later clicks place the
// caret as usual.
void ConditionBox::mousePressEvent(QMouseEvent* event) {
  holdingFirstClick_ =
      std::exchange(firstClickPending_, false) && event->button() == Qt::LeftButton;
  if (holdingFirstClick_) {
    event->accept();
    return;
  }
  QLineEdit::mousePressEvent(event);
}

void ConditionBox::mouseMoveEvent(QMouseEvent* event) {
  if (holdingFirstClick_) {
    event->accept();
    return;
  }
  QLineEdit::mouseMoveEvent(event);
}

void ConditionBox::mouseReleaseEvent(QMouseEvent* event) {
  if (holdingFirstClick_ && event->button() == Qt::LeftButton) {
    holdingFirstClick_ = false;
    event->accept();
    return;
  }
  // The middle button pastes the selection on X11: a paste like any other.
  if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
    PasteChecked(QClipboard::Selection);
    event->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void ConditionBox::keyPressEvent(QKeyEvent* event) {
  // Once the user edits, a click places the caret.
  firstClickPending_ = false;
  if (event->matches(QKeySequence::Paste)) {
    PasteChecked();
    event->accept();
    return;
  }
  if (IsTypedCharacter(*event) && WouldExceedLimit(event->text().size())) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void ConditionBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = CreateContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

}  // namespace sekora
