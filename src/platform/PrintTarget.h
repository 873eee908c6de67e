// Where printed sheets go: one document per call of BeginDocument, ended and
// sent by EndDocument.
#pragma once

#include <QPainter>
#include <memory>
#include <optional>
#include <stdexcept>

#include "DrawingSurface.h"
#include "QtSurface.h"

class QPrinter;

namespace sekora {

// The printer refused to start or to finish a document.
class PrintError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PrintTarget {
 public:
  virtual ~PrintTarget() = default;

  // Starts a new document of one page and returns its surface, in twips with
  // the origin at the top-left corner of the printable area. Throws PrintError.
  virtual DrawingSurface& BeginDocument() = 0;
  // Ends the document and sends it to the printer. Throws PrintError.
  virtual void EndDocument() = 0;
  // Drops the document begun last without printing it.
  virtual void AbortDocument() = 0;
};

// A printer chosen in the printer dialog.
class PrinterTarget : public PrintTarget {
 public:
  explicit PrinterTarget(std::unique_ptr<QPrinter> printer);
  ~PrinterTarget() override;

  DrawingSurface& BeginDocument() override;
  void EndDocument() override;
  void AbortDocument() override;

 private:
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  std::optional<QtSurface> surface_;
};

}  // namespace sekora
