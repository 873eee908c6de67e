#include "PrintTarget.h"

#include <QPrinter>

#include "Twips.h"

namespace sekora {

PrinterTarget::PrinterTarget(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {}

PrinterTarget::~PrinterTarget() {
  if (painter_.isActive()) AbortDocument();
}

std::string PrinterTarget::PrinterName() const {
  return printer_->printerName().toStdString();
}

DrawingSurface& PrinterTarget::BeginDocument(const std::string& name) {
  printer_->setDocName(QString::fromStdString(name));
  if (!painter_.begin(printer_.get())) {
    throw PrintError("印刷を開始できません");
  }
  surface_.emplace(painter_, printer_->resolution());
  // The same pen on paper at any resolution, as a PDF of the sheet has it.
  surface_->UsePaperPenUnit(kPaperPenUnitTwips, kTwipsPerInch / printer_->resolution());
  return *surface_;
}

void PrinterTarget::EndDocument() {
  surface_.reset();
  if (!painter_.end()) {
    throw PrintError("印刷を完了できません");
  }
}

void PrinterTarget::AbortDocument() {
  surface_.reset();
  printer_->abort();
  painter_.end();
}

}  // namespace sekora
