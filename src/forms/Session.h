// The state the three windows share: the last completed run, the row last
// chosen in the results list, which windows are open, and the save of a
// report under way.
#pragma once

#include <QPointer>
#include <cstdint>
#include <functional>
#include <string_view>

#include "DesignConditions.h"
#include "RunProgress.h"
#include "WrittenResults.h"

namespace sekora {

class KeisanListForm;
class FormPrv;

struct Session {
  // The conditions of the last run that completed and wrote Keisan.txt, and
  // what it wrote; CandidateCount is the number of lines. The list, the
  // preview and printing use nothing else: a Calculate that is refused or
  // fails leaves both as they were.
  DesignConditions conditions;
  WrittenResults written;
  // The row last double-clicked in the results list, which is also its line
  // number in Keisan.txt.
  std::int16_t SelectedNo = 0;

  // The open results list and preview; null while closed.
  QPointer<KeisanListForm> resultsList;
  QPointer<FormPrv> preview;

  // The save of a report to PDF, one at a time, whichever window began it:
  // it outlives the window, and End stops it.
  RunProgress saving;

  // Takes the run that has just written `resultsText` to Keisan.txt, with
  // the conditions it ran with, as the one every window shows.
  void AdoptRun(const DesignConditions& ranWith, std::string_view resultsText) {
    conditions = ranWith;
    written.Remember(resultsText);
  }

  // Ends the program once End has closed every window.
  std::function<void()> quitApplication;
};

}  // namespace sekora
