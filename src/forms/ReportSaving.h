// Saving calculation sheets of the last run as one PDF from the windows: a
// file dialog asks for the name, the pages are drawn off the window's thread
// with a progress dialog that can cancel, and a message tells what was saved
// or what went wrong.
#pragma once

#include <QWidget>
#include <vector>

#include "Session.h"

namespace sekora {

// Asks for a file and writes to it the sheets of `rows` of Keisan.txt, after
// the run's summary when `summary`. Returns true when the file was written;
// false when the user cancelled, an error was shown, or another save was
// still under way. A cancelled save leaves the previous file as it was.
bool SaveReportAs(QWidget* parent, Session& session, const std::vector<int>& rows, bool summary);

// The report of the run: the summary and the sheet of every ＯＫ row.
bool SaveOkReportAs(QWidget* parent, Session& session);

}  // namespace sekora
