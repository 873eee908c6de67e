// The file dialog that asks where a report is saved. Tests queue the answers
// in advance, so no dialog ever waits for the user.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

namespace sekora {

class SaveFileDialog {
 public:
  // Asks for the name of a PDF file, offering `fileName` in the folder of
  // the file chosen last while the program runs, at first in the user's
  // documents folder; nothing when the user cancels. A name given without
  // an extension gets ".pdf". The folder of the name chosen is offered next.
  static std::optional<QString> AskPdf(QWidget* parent, const QString& fileName);

  // Test hooks: the next AskPdf returns this answer (nothing: cancelled)
  // without showing a dialog, and what was offered is kept.
  static void setNextAnswer(std::optional<QString> answer);
  static std::size_t pendingAnswers();
  static void clearAnswers();
  static QString lastSuggested();
  // The next AskPdf offers the documents folder again.
  static void forgetFolder();
};

}  // namespace sekora
