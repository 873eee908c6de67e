// The preview: the calculation sheet of the chosen row on an A4 page that
// scrolls in the window, and its printing.
#pragma once

#include <QMainWindow>
#include <QPixmap>
#include <cstdint>

#include "Session.h"

class QLabel;
class QMenu;
class QScrollBar;

namespace sekora {

class PrintTarget;

// Control names (objectName): "Pic" (the page), "VScroll1", and the menu
// bar actions "mnuPrint" and "mnuEnd".
class FormPrv : public QMainWindow {
  Q_OBJECT

 public:
  // The A4 page and the scroll range, in twips.
  static constexpr int kPageWidth = 11907;
  static constexpr int kPageHeight = 16840;
  static constexpr int kScrollMaximum = 8600;
  static constexpr int kScrollStep = 200;

  // Shows the sheet of row session.SelectedNo: an open preview redraws it
  // and comes to the front, else a new preview opens. When the record or a
  // figure cannot be read a message says so, the preview stays (or
  // becomes) closed and the result is null.
  static FormPrv* ShowSelected(Session& session);

  // The row of Keisan.txt whose sheet is shown.
  std::int16_t ShownRow() const { return shownRow_; }
  const QPixmap& Sheet() const { return sheet_; }

  // Asks for a printer and prints the shown row's sheet, read afresh from
  // Keisan.txt for every copy the printer does not make itself.
  void Print();

  // The right-click menu of the page: the shown row's sheet as a PDF. The
  // caller owns the menu.
  QMenu* CreateContextMenu();
  void SaveSheetAsPdf();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit FormPrv(Session& session);

  void CreateControls();
  // Reads row session.SelectedNo and draws its sheet on the page. Throws
  // DesignError or FigureError before anything is drawn.
  void DrawSelectedRow();
  void ScrollTo(int twips);
  void PrintCopies(PrintTarget& target, std::int16_t copies);

  Session& session_;
  std::int16_t shownRow_ = 0;
  QPixmap sheet_;
  QLabel* pic_ = nullptr;
  QScrollBar* vscroll1_ = nullptr;
  bool forwardingWheel_ = false;
};

}  // namespace sekora
