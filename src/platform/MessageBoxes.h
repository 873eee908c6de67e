// Every message the program gives the user goes through here: a message box
// titled "Sekora" with either an OK button or Yes and No buttons. Tests queue
// the answers in advance, so no box ever waits for a click.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace sekora {

class MessageBoxes {
 public:
  enum class Answer { Ok, Yes, No };
  enum class Buttons { Ok, YesNo };

  struct Shown {
    QString title;
    QString text;
    Buttons buttons;
  };

  // Shows `text` and returns the button the user chose; with a queued answer
  // the box is not shown and the answer is returned at once.
  static Answer ShowMessage(QWidget* parent, const QString& text, Buttons buttons);

  // Test hooks: the next message takes this answer instead of showing a box.
  static void setNextAnswer(Answer answer);
  static std::size_t pendingAnswers();
  static void clearAnswers();
  // The messages given since the last clearShown, oldest first.
  static const std::vector<Shown>& shown();
  static void clearShown();
};

inline constexpr const char* kApplicationTitle = "Sekora";

}  // namespace sekora
