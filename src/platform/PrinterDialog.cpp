#include "PrinterDialog.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <deque>

namespace sekora {

namespace {

// The printer dialog of a one-page sheet. Qt's dialog on CUPS brings back
// its page range (pages from/to, odd or even pages) each time it is shown,
// even with the range option off; this one hides that group again.
class OnePagePrintDialog : public QPrintDialog {
 public:
  using QPrintDialog::QPrintDialog;

  void setVisible(bool visible) override {
    QPrintDialog::setVisible(visible);
    if (!visible) return;
    auto* range = findChild<QWidget*>(QStringLiteral("gbPrintRange"));
    if (range != nullptr) range->hide();
  }
};

std::deque<PrinterDialogAnswer>& QueuedAnswers() {
  static std::deque<PrinterDialogAnswer> answers;
  return answers;
}

std::optional<PrinterChoice> TakeQueuedAnswer() {
  PrinterDialogAnswer answer = QueuedAnswers().front();
  QueuedAnswers().pop_front();
  if (answer.noPrinter) throw NoPrinterError();
  if (!answer.accepted) return std::nullopt;
  return PrinterChoice{answer.target,
                       DocumentsToPrint(answer.copiesAsked, answer.driverMakesCopies)};
}

std::optional<PrinterChoice> AskUser(QWidget* parent) {
  // An empty dialog would only lead to a failure naming no printer.
  if (QPrinterInfo::availablePrinterNames().isEmpty()) throw NoPrinterError();
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  const std::unique_ptr<QPrintDialog> dialog = CreatePrintDialog(*printer, parent);
  if (dialog->exec() != QDialog::Accepted) return std::nullopt;
  if (printer->printerName().isEmpty()) throw NoPrinterError();
  const bool driverMakesCopies = printer->supportsMultipleCopies();
  const int copiesAsked = printer->copyCount();
  // Where the driver cannot make the copies, each copy is a document of its
  // own, printed once.
  if (!driverMakesCopies) printer->setCopyCount(1);
  return PrinterChoice{std::make_shared<PrinterTarget>(std::move(printer)),
                       DocumentsToPrint(copiesAsked, driverMakesCopies)};
}

}  // namespace

NoPrinterError::NoPrinterError()
    : std::runtime_error("プリンタがインストールされていないため、印刷できません") {}

std::unique_ptr<QPrintDialog> CreatePrintDialog(QPrinter& printer, QWidget* parent) {
  auto dialog = std::make_unique<OnePagePrintDialog>(&printer, parent);
  dialog->setOptions(QAbstractPrintDialog::PrintShowPageSize);
  dialog->setMinMax(1, 1);
  return dialog;
}

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
