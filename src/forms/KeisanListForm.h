// The results list: one row per line of Keisan.txt with its number, size and
// status; a double-click opens the calculation sheet of the row.
#pragma once

#include <QWidget>

#include "Session.h"

class QListWidget;

namespace sekora {

// Control names (objectName): "List1", "Label1" .. "Label4", "Button0".
class KeisanListForm : public QWidget {
  Q_OBJECT

 public:
  // Shows the results of the last run: an open list rebuilds its rows and
  // comes to the front, else a new list opens. When Keisan.txt cannot be
  // read a message says so, the list stays (or becomes) closed and the
  // result is null.
  static KeisanListForm* ShowResults(Session& session);

  QListWidget* List1() const { return list1_; }

  // The double-click on the selected row: opens the preview of a passing
  // row, asks first for a row that failed only the freeboard check, and
  // refuses the others. Does nothing when no row is selected.
  void DoubleClickSelectedRow();

 private:
  explicit KeisanListForm(Session& session);

  void CreateControls();
  // Fills the rows from Keisan.txt; throws ResultsFileError.
  void LoadRows();

  Session& session_;
  QListWidget* list1_ = nullptr;
};

}  // namespace sekora
