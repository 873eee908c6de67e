#include "PrinterDialog.h"

#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <deque>

namespace sekora {

namespace {

std::deque<PrinterDialogAnswer>& QueuedAnswers() {
  static std::deque<PrinterDialogAnswer> answers;
  return answers;
}

std::optional<PrinterChoice> TakeQueuedAnswer() {
  PrinterDialogAnswer answer = QueuedAnswers().front();
  QueuedAnswers().pop_front();
  if (!answer.accepted) return std::nullopt;
  return PrinterChoice{answer.target,
                       DocumentsToPrint(answer.copiesAsked, answer.driverMakesCopies)};
}

std::optional<PrinterChoice> AskUser(QWidget* parent) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(printer.get(), parent);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const bool driverMakesCopies = printer->supportsMultipleCopies();
  const int copiesAsked = printer->copyCount();
  // Where the driver cannot make the copies, each copy is a document of its
  // own, printed once.
  if (!driverMakesCopies) printer->setCopyCount(1);
  return PrinterChoice{std::make_shared<PrinterTarget>(std::move(printer)),
                       DocumentsToPrint(copiesAsked, driverMakesCopies)};
}

}  // namespace

std::optional<PrinterChoice> PrinterDialog::Ask(QWidget* parent) {
  if (!QueuedAnswers().empty()) return TakeQueuedAnswer();
  return AskUser(parent);
}

void PrinterDialog::setNextAnswer(PrinterDialogAnswer answer) {
  QueuedAnswers().push_back(std::move(answer));
}

std::int16_t DocumentsToPrint(int copiesAsked, bool driverMakesCopies) {
  if (driverMakesCopies) return 1;
  return static_cast<std::int16_t>(std::clamp(copiesAsked, 0, 32767));
}

}  // namespace sekora
