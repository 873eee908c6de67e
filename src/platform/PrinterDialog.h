// The printer dialog: the choice of printer and the number of copies, with
// neither printing to a file nor a page range nor a selection to offer.
#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>

#include "PrintTarget.h"

class QPrintDialog;
class QPrinter;

namespace sekora {

// The machine has no printer to choose.
class NoPrinterError : public std::runtime_error {
 public:
  NoPrinterError();
};

struct PrinterChoice {
  std::shared_ptr<PrintTarget> target;
  // The documents to send: 1 when the printer's driver makes the copies the
  // user asked for, else the number of copies asked for.
  std::int16_t copies = 1;
};

// What a test makes the dialog answer instead of showing it.
struct PrinterDialogAnswer {
  bool accepted = false;
  std::shared_ptr<PrintTarget> target;
  int copiesAsked = 1;
  bool driverMakesCopies = false;
  // The machine has no printer: Ask throws NoPrinterError.
  bool noPrinter = false;
};

class PrinterDialog {
 public:
  // Shows the dialog; nothing when the user cancels. Throws NoPrinterError,
  // without showing anything, when no printer is installed.
  static std::optional<PrinterChoice> Ask(QWidget* parent);

  // Test hook: the next Ask returns this answer without showing a dialog.
  static void setNextAnswer(PrinterDialogAnswer answer);
};

// The printer dialog for `printer`, offering the printer, its properties and
// the number of copies only.
std::unique_ptr<QPrintDialog> CreatePrintDialog(QPrinter& printer, QWidget* parent);

// The documents to print for `copiesAsked` copies: the driver's copies come
// within one document.
std::int16_t DocumentsToPrint(int copiesAsked, bool driverMakesCopies);

}  // namespace sekora
