#include "PrintTarget.h"

#include <QPrinter>

namespace sekora {

PrinterTarget::PrinterTarget(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

PrinterTarget::~PrinterTarget() {
  if (painter_.isActive()) AbortDocument();
}

DrawingSurface& PrinterTarget::BeginDocument() {
  if (!painter_.begin(printer_.get())) {
    throw PrintError("プリンタ " + printer_->printerName().toStdString() + " に印刷できません");
  }
  surface_.emplace(painter_, printer_->resolution());
  return *surface_;
}

void PrinterTarget::EndDocument() {
  surface_.reset();
  if (!painter_.end()) {
    throw PrintError("プリンタ " + printer_->printerName().toStdString() + " に印刷できません");
  }
}

void PrinterTarget::AbortDocument() {
  surface_.reset();
  printer_->abort();
  painter_.end();
}

}  // namespace sekora
