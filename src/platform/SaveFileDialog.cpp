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

QString WithPdfExtension(const QString& path) {
  return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".pdf") : path;
}

}  // namespace

std::optional<QString> SaveFileDialog::AskPdf(QWidget* parent, const QString& suggested) {
  LastSuggested() = suggested;
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

QString DefaultReportPath() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return QDir(documents).filePath(QString::fromUtf8("計算書.pdf"));
}

}  // namespace sekora
