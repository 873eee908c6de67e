// The state the three windows share: the conditions of the last Calculate,
// the row last chosen in the results list, and which windows are open.
#pragma once

#include <QPointer>
#include <cstdint>
#include <functional>

#include "DesignConditions.h"

namespace sekora {

class KeisanListForm;
class FormPrv;

struct Session {
  // Set by Calculate; CandidateCount becomes the line count of Keisan.txt
  // once the results list has loaded.
  DesignConditions conditions;
  // The row last double-clicked in the results list, which is also its line
  // number in Keisan.txt.
  std::int16_t SelectedNo = 0;

  // The open results list and preview; null while closed.
  QPointer<KeisanListForm> resultsList;
  QPointer<FormPrv> preview;

  // Ends the program once End has closed every window.
  std::function<void()> quitApplication;
};

}  // namespace sekora
