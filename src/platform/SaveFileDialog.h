// The file dialog that asks where a report is saved. Tests queue the answers
// in advance, so no dialog ever waits for the user.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

namespace sekora {

class SaveFileDialog {
 public:
  // Asks for the name of a PDF file, offering `suggested`; nothing when the
  // user cancels. A name given without an extension gets ".pdf".
  static std::optional<QString> AskPdf(QWidget* parent, const QString& suggested);

  // Test hooks: the next AskPdf returns this answer (nothing: cancelled)
  // without showing a dialog, and what was offered is kept.
  static void setNextAnswer(std::optional<QString> answer);
  static std::size_t pendingAnswers();
  static void clearAnswers();
  static QString lastSuggested();
};

// Where a report is offered to be saved: "計算書.pdf" in the user's
// documents folder.
QString DefaultReportPath();

}  // namespace sekora
