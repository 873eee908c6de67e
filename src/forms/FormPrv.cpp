#include "FormPrv.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <string>

#include "AppFolder.h"
#include "DesignError.h"
#include "DrawSheet.h"
#include "FigureError.h"
#include "MessageBoxes.h"
#include "Metafile.h"
#include "PrinterDialog.h"
#include "QtSurface.h"
#include "ReportSaving.h"
#include "Twips.h"
#include "WindowSetup.h"

namespace sekora {

namespace {

constexpr int kClientWidth = 12315;
constexpr int kClientHeight = 8340;
constexpr std::int16_t kScreenMode = 0;
constexpr std::int16_t kPrinterMode = 1;

// Loads every figure the sheet of `rec` draws, so that a missing or broken
// figure is reported before anything is drawn. Throws FigureError.
void CheckSheetFigures(const KeisanRecord& rec, const std::string& folder) {
  for (const std::string& path : SheetFigurePaths(rec, folder)) LoadMetafile(path);
}

// The record of row `row` of the session's run, ready to draw: the file is
// still the one the run wrote and the figures are known to load.
KeisanRecord ReadDrawableRecord(const Session& session, std::int16_t row) {
  const KeisanRecord rec =
      SelectedRecord(session.written.Read(AppFolder()), session.conditions, row);
  CheckSheetFigures(rec, FigureFolder());
  return rec;
}

void ShowError(QWidget* parent, const QString& text) {
  MessageBoxes::ShowMessage(parent, text, MessageBoxes::Buttons::Ok);
}

// What went wrong printing on `printer`, always naming the printer.
QString PrintFailedMessage(const std::string& printer, const std::exception& error) {
  return QString::fromUtf8("プリンタ「%1」に印刷できませんでした\n%2")
      .arg(QString::fromStdString(printer), QString::fromUtf8(error.what()));
}

// The name of the print job of row `row`'s sheet, by which a print queue
// lists it and a printer to PDF names its file.
std::string PrintJobName(std::int16_t row) {
  return "Sekora 計算書 No." + std::to_string(row);
}

}  // namespace

FormPrv::FormPrv(Session& session) : session_(session) {
  setObjectName(QStringLiteral("FormPrv"));
  setAttribute(Qt::WA_DeleteOnClose);
  SetUpFixedWindow(*this, QString::fromUtf8("計算結果出力"));
  CreateControls();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  // Fixes the size (client area and menu bar) now, so that the window is
  // centred with the size it opens with.
  layout()->activate();
  CentreOnScreen(*this);
}

void FormPrv::CreateControls() {
  const double dpi = ScreenDpi();
  auto* client = new QWidget(this);
  client->setFixedSize(TwipsSize(kClientWidth, kClientHeight, dpi));
  setCentralWidget(client);

  pic_ = new QLabel(client);
  pic_->setObjectName(QStringLiteral("Pic"));
  pic_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PlaceInTwips(*pic_, 0, 0, kPageWidth, kPageHeight);
  pic_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(pic_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(pic_->mapToGlobal(at));
  });

  vscroll1_ = new QScrollBar(Qt::Vertical, client);
  vscroll1_->setObjectName(QStringLiteral("VScroll1"));
  vscroll1_->setRange(0, kScrollMaximum);
  vscroll1_->setSingleStep(kScrollStep);
  vscroll1_->setPageStep(kScrollStep);
  // The page moves when the thumb is released, not while it is dragged.
  vscroll1_->setTracking(false);
  // Tab and a click give it the keyboard: arrows, PageUp, PageDown, Home
  // and End move the page.
  vscroll1_->setFocusPolicy(Qt::StrongFocus);
  PlaceInTwips(*vscroll1_, 12000, 0, 255, 8295);
  connect(vscroll1_, &QScrollBar::valueChanged, this, &FormPrv::ScrollTo);
  // The wheel turned anywhere over the page scrolls it as over the bar.
  client->installEventFilter(this);
  pic_->installEventFilter(this);

  QAction* print = menuBar()->addAction(QString::fromUtf8("印刷(&O)"));
  print->setObjectName(QStringLiteral("mnuPrint"));
  connect(print, &QAction::triggered, this, &FormPrv::Print);
  QAction* back = menuBar()->addAction(QString::fromUtf8("戻る(&R)"));
  back->setObjectName(QStringLiteral("mnuEnd"));
  connect(back, &QAction::triggered, this, &QWidget::close);
}

void FormPrv::DrawSelectedRow() {
  const KeisanRecord rec = ReadDrawableRecord(session_, session_.SelectedNo);
  const double dpi = ScreenDpi();
  const qreal ratio = devicePixelRatio();
  QPixmap sheet(TwipsSize(kPageWidth, kPageHeight, dpi) * ratio);
  sheet.setDevicePixelRatio(ratio);
  sheet.fill(Qt::white);
  {
    QPainter painter(&sheet);
    QtSurface surface(painter, dpi);
    DrawSheet(surface, kScreenMode, rec, session_.conditions, FigureFolder());
  }
  sheet_ = sheet;
  shownRow_ = session_.SelectedNo;
  pic_->setPixmap(sheet_);
  vscroll1_->setValue(0);
  ScrollTo(0);
}

FormPrv* FormPrv::ShowSelected(Session& session) {
  FormPrv* form = session.preview;
  const bool opened = form == nullptr;
  if (opened) form = new FormPrv(session);
  try {
    form->DrawSelectedRow();
  } catch (const std::exception& error) {
    ShowError(opened ? nullptr : form, QString::fromUtf8(error.what()));
    if (opened) {
      delete form;
    } else {
      session.preview = nullptr;
      form->close();
    }
    return nullptr;
  }
  session.preview = form;
  BringToFront(*form);
  return form;
}

void FormPrv::ScrollTo(int twips) {
  pic_->move(0, -TwipsToPixels(twips, ScreenDpi()));
}

bool FormPrv::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel || forwardingWheel_) {
    return QMainWindow::eventFilter(watched, event);
  }
  // A turn the bar ignores (at either end) comes back up through the page.
  forwardingWheel_ = true;
  QCoreApplication::sendEvent(vscroll1_, event);
  forwardingWheel_ = false;
  return true;
}

void FormPrv::Print() {
  std::optional<PrinterChoice> choice;
  try {
    choice = PrinterDialog::Ask(this);
  } catch (const NoPrinterError& error) {
    ShowError(this, QString::fromUtf8(error.what()));
    return;
  }
  if (!choice) return;  // cancelled: nothing to print, nothing to say
  try {
    PrintCopies(*choice->target, choice->copies);
  } catch (const std::exception& error) {
    ShowError(this, PrintFailedMessage(choice->target->PrinterName(), error));
  }
}

QMenu* FormPrv::CreateContextMenu() {
  auto* menu = new QMenu(this);
  QAction* save = menu->addAction(QString::fromUtf8("PDFに保存…"));
  save->setObjectName(QStringLiteral("mnuSavePdf"));
  connect(save, &QAction::triggered, this, &FormPrv::SaveSheetAsPdf);
  return menu;
}

void FormPrv::SaveSheetAsPdf() {
  SaveReportAs(this, session_, {shownRow_}, false);
}

void FormPrv::PrintCopies(PrintTarget& target, std::int16_t copies) {
  for (std::int16_t copy = 1; copy <= copies; ++copy) {
    // Each copy is drawn from the file as it is now.
    const KeisanRecord rec = ReadDrawableRecord(session_, shownRow_);
    DrawingSurface& surface = target.BeginDocument(PrintJobName(shownRow_));
    try {
      DrawSheet(surface, kPrinterMode, rec, session_.conditions, FigureFolder());
    } catch (...) {
      target.AbortDocument();
      throw;
    }
    target.EndDocument();
  }
}

}  // namespace sekora
