// Where printed sheets go: one document per call of BeginDocument, ended and
// sent by EndDocument.
#pragma once

#include <QPainter>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "DrawingSurface.h"
#include "QtSurface.h"

class QPrinter;

namespace sekora {

// The printer refused to start or to finish a document. The message says
// which; the caller names the printer.
class PrintError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class PrintTarget {
 public:
  virtual ~PrintTarget() = default;

  // The name the user knows the printer by, for messages.
  virtual std::string PrinterName() const = 0;

  // Starts a new document of one page and returns its surface, in twips with
  // the origin at the top-left corner of the printable area. `name` is the
  // job's name in the print queue, which a printer to PDF makes the file's
  // name. Throws PrintError.
  virtual DrawingSurface& BeginDocument(const std::string& name) = 0;
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

  std::string PrinterName() const override;
  DrawingSurface& BeginDocument(const std::string& name) override;
  void EndDocument() override;
  void AbortDocument() override;

 private:
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  std::optional<QtSurface> surface_;
};

}  // namespace sekora
