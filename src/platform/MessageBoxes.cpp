#include "MessageBoxes.h"

#include <QMessageBox>
#include <deque>

namespace sekora {

namespace {

std::deque<MessageBoxes::Answer>& QueuedAnswers() {
  static std::deque<MessageBoxes::Answer> answers;
  return answers;
}

std::vector<MessageBoxes::Shown>& ShownMessages() {
  static std::vector<MessageBoxes::Shown> shown;
  return shown;
}

MessageBoxes::Answer AskUser(QWidget* parent, const QString& title, const QString& text,
                             MessageBoxes::Buttons buttons) {
  if (buttons == MessageBoxes::Buttons::Ok) {
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
    return MessageBoxes::Answer::Ok;
  }
  const QMessageBox::StandardButton chosen = QMessageBox::question(
      parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
  return chosen == QMessageBox::Yes ? MessageBoxes::Answer::Yes : MessageBoxes::Answer::No;
}

}  // namespace

MessageBoxes::Answer MessageBoxes::ShowMessage(QWidget* parent, const QString& text,
                                               Buttons buttons) {
  const QString title = QString::fromUtf8(kApplicationTitle);
  ShownMessages().push_back({title, text, buttons});
  if (QueuedAnswers().empty()) return AskUser(parent, title, text, buttons);
  const Answer answer = QueuedAnswers().front();
  QueuedAnswers().pop_front();
  return answer;
}

void MessageBoxes::setNextAnswer(Answer answer) {
  QueuedAnswers().push_back(answer);
}

std::size_t MessageBoxes::pendingAnswers() {
  return QueuedAnswers().size();
}

void MessageBoxes::clearAnswers() {
  QueuedAnswers().clear();
}

const std::vector<MessageBoxes::Shown>& MessageBoxes::shown() {
  return ShownMessages();
}

void MessageBoxes::clearShown() {
  ShownMessages().clear();
}

}  // namespace sekora
