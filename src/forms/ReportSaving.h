// Saving calculation sheets of the last run as one PDF from the windows: a
// file dialog asks for the name, and what goes wrong is told in a message box.
#pragma once

#include <QWidget>
#include <vector>

#include "Session.h"

namespace sekora {

// Asks for a file and writes to it the sheets of `rows` of Keisan.txt, after
// the run's summary when `summary`. Returns true when the file was written;
// false when the user cancelled or an error was shown.
bool SaveReportAs(QWidget* parent, const Session& session, const std::vector<int>& rows,
                  bool summary);

// The report of the run: the summary and the sheet of every ＯＫ row.
bool SaveOkReportAs(QWidget* parent, const Session& session);

}  // namespace sekora
