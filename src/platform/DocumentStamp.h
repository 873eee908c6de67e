// When and with what a document is made, as its headers and its metadata
// say.
#pragma once

#include <QDateTime>
#include <string>

#include "PdfAssembly.h"
#include "ReportDocument.h"

namespace sekora {

// The time a document is made: the clock, or SOURCE_DATE_EPOCH (seconds
// since 1970, UTC) when it is set, so that a report can be made again to
// the same bytes.
QDateTime DocumentTime();

// "Sekora <version>" of the running program.
std::string ProgramName();

// What the headers of a report made at `time` say.
ReportStamp HeaderStamp(const QDateTime& time);

// The metadata of a document titled `title` made at `time`, in Japanese.
PdfDocumentInfo DocumentInfo(const std::string& title, const QDateTime& time);

}  // namespace sekora
