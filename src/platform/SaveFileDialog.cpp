#include "SaveFileDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <deque>

namespace sekora {

namespace {

std::deque<std::optional<QString>>& QueuedAnswers() {
  static std::deque<std::optional<QString>> answers;
  return answers;
}

QString& LastSuggested() {
  static QString suggested;
  return suggested;
}

// The folder of the file chosen last; empty until a file has been chosen.
// Kept for the run of the program only: the program keeps no settings.
QString& LastFolder() {
  static QString folder;
  return folder;
}

QString OfferedFolder() {
  if (!LastFolder().isEmpty()) return LastFolder();
  return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString WithPdfExtension(const QString& path) {
  return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".pdf") : path;
}

std::optional<QString> Answer(QWidget* parent, const QString& suggested) {
  if (!QueuedAnswers().empty()) {
    std::optional<QString> answer = QueuedAnswers().front();
    QueuedAnswers().pop_front();
    return answer;
  }
  const QString chosen = QFileDialog::getSaveFileName(parent, QString::fromUtf8("PDFに保存"),
                                                      suggested, QStringLiteral("PDF (*.pdf)"));
  if (chosen.isEmpty()) return std::nullopt;
  return WithPdfExtension(chosen);
}

}  // namespace

std::optional<QString> SaveFileDialog::AskPdf(QWidget* parent, const QString& fileName) {
  const QString suggested = QDir(OfferedFolder()).filePath(fileName);
  LastSuggested() = suggested;
  std::optional<QString> answer = Answer(parent, suggested);
  if (answer) LastFolder() = QFileInfo(*answer).absolutePath();
  return answer;
}

void SaveFileDialog::setNextAnswer(std::optional<QString> answer) {
  QueuedAnswers().push_back(std::move(answer));
}

std::size_t SaveFileDialog::pendingAnswers() {
  return QueuedAnswers().size();
}

void SaveFileDialog::clearAnswers() {
  QueuedAnswers().clear();
}

QString SaveFileDialog::lastSuggested() {
  return LastSuggested();
}

void SaveFileDialog::forgetFolder() {
  LastFolder().clear();
}

}  // namespace sekora
