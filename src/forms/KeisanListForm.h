// The results list: one row per line of Keisan.txt with its number, size and
// status; a double-click opens the calculation sheet of the row.
#pragma once

#include <QWidget>

#include "Session.h"

class QListWidget;
class QMenu;

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

  // The right-click menu of the list: the sheets of every ＯＫ row with the
  // summary of the run in one PDF, and the sheet of the selected row, offered
  // only when that row can be shown. The caller owns the menu.
  QMenu* CreateContextMenu();
  void SaveOkSheets();
  void SaveSelectedSheet();

 private:
  explicit KeisanListForm(Session& session);

  void CreateControls();
  // Fills the rows from Keisan.txt; throws ResultsFileError.
  void LoadRows();
  // The number of the selected row; 0 when no row is selected.
  std::int16_t SelectedRowNumber() const;
  bool SelectedRowCanBeShown() const;

  Session& session_;
  QListWidget* list1_ = nullptr;
};

}  // namespace sekora
