#include "KeisanListForm.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <string>

#include "AppFolder.h"
#include "DesignError.h"
#include "FontSubstitution.h"
#include "FormPrv.h"
#include "MessageBoxes.h"
#include "NumberText.h"
#include "ReportSaving.h"
#include "ResultRow.h"
#include "Twips.h"
#include "WindowSetup.h"

namespace sekora {

namespace {

constexpr int kClientWidth = 6510;
constexpr int kClientHeight = 5670;
// The row number stands right-aligned in the first five characters.
constexpr int kRowNumberWidth = 5;

const char* const kHint = "詳細はリスト内をダブルクリックしてください";
const char* const kAskFreeboard = "余裕高にてエラーですが、表示しますか？";
const char* const kRefuseFailed = "計算結果がエラーの為表示できません";

void ShowError(QWidget* parent, const std::exception& error) {
  MessageBoxes::ShowMessage(parent, QString::fromUtf8(error.what()), MessageBoxes::Buttons::Ok);
}

}  // namespace

KeisanListForm::KeisanListForm(Session& session) : session_(session) {
  setObjectName(QStringLiteral("KeisanListForm"));
  setAttribute(Qt::WA_DeleteOnClose);
  SetUpFixedWindow(*this, QString::fromUtf8("計算結果一覧"));
  setFixedSize(TwipsSize(kClientWidth, kClientHeight, ScreenDpi()));
  CreateControls();
  CentreOnScreen(*this);
}

void KeisanListForm::CreateControls() {
  list1_ = new QListWidget(this);
  list1_->setObjectName(QStringLiteral("List1"));
  list1_->setFont(SubstitutedFont(QString::fromUtf8("ＭＳ ゴシック"), 9.75));
  list1_->setSelectionMode(QAbstractItemView::SingleSelection);
  PlaceInTwips(*list1_, 240, 600, 6015, 4155);
  connect(list1_, &QListWidget::itemDoubleClicked, this, &KeisanListForm::DoubleClickSelectedRow);
  list1_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list1_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(list1_->viewport()->mapToGlobal(at));
  });

  struct Heading {
    const char* name;
    const char* caption;
    int left;
    int width;
  };
  const Heading headings[] = {{"Label1", "No", 240, 630},
                              {"Label2", "Box・管", 870, 1380},
                              {"Label3", "計算結果", 2240, 4020}};
  for (const Heading& heading : headings) {
    auto* label = new QLabel(QString::fromUtf8(heading.caption), this);
    label->setObjectName(QString::fromUtf8(heading.name));
    label->setFrameShape(QFrame::Box);
    label->setAlignment(Qt::AlignCenter);
    PlaceInTwips(*label, heading.left, 240, heading.width, 375);
  }

  auto* close = new QPushButton(QString::fromUtf8("閉じる"), this);
  close->setObjectName(QStringLiteral("Button0"));
  PlaceInTwips(*close, 5160, 4920, 1095, 615);
  PressOnEnter(*close);
  connect(close, &QPushButton::clicked, this, &QWidget::close);

  auto* hint = new QLabel(QString::fromUtf8(kHint), this);
  hint->setObjectName(QStringLiteral("Label4"));
  hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  hint->setWordWrap(true);
  PlaceInTwips(*hint, 240, 4920, 4815, 495);

  setTabOrder(list1_, close);
}

void KeisanListForm::LoadRows() {
  const Candidates records = session_.written.Read(AppFolder());
  list1_->clear();
  const int count =
      std::min<int>(session_.conditions.CandidateCount, static_cast<int>(records.size()));
  for (int row = 1; row <= count; ++row) {
    list1_->addItem(QString::fromStdString(ResultRowText(row, records[row - 1])));
  }
  list1_->setCurrentRow(-1);
}

KeisanListForm* KeisanListForm::ShowResults(Session& session) {
  KeisanListForm* form = session.resultsList;
  const bool opened = form == nullptr;
  if (opened) form = new KeisanListForm(session);
  try {
    form->LoadRows();
  } catch (const DesignError& error) {
    ShowError(form->isVisible() ? form : nullptr, error);
    if (opened) {
      delete form;
    } else {
      session.resultsList = nullptr;
      form->close();
    }
    return nullptr;
  }
  session.resultsList = form;
  BringToFront(*form);
  return form;
}

std::int16_t KeisanListForm::SelectedRowNumber() const {
  const QList<QListWidgetItem*> selected = list1_->selectedItems();
  if (selected.isEmpty()) return 0;
  const std::string number = selected.front()->text().left(kRowNumberWidth).toStdString();
  return ToInt16(NumericValue(number)).value_or(0);
}

bool KeisanListForm::SelectedRowCanBeShown() const {
  const std::int16_t row = SelectedRowNumber();
  if (row < 1) return false;
  try {
    const Candidates records = session_.written.Read(AppFolder());
    if (row > static_cast<int>(records.size())) return false;
    const std::int16_t status = records[static_cast<std::size_t>(row - 1)].Status;
    return status == StatusOk || status == StatusFreeboardOver;
  } catch (const DesignError&) {
    return false;
  }
}

QMenu* KeisanListForm::CreateContextMenu() {
  auto* menu = new QMenu(this);
  QAction* okSheets = menu->addAction(QString::fromUtf8("ＯＫの計算書をまとめてPDFに保存…"));
  okSheets->setObjectName(QStringLiteral("mnuSaveOkSheets"));
  connect(okSheets, &QAction::triggered, this, &KeisanListForm::SaveOkSheets);
  QAction* rowSheet = menu->addAction(QString::fromUtf8("この行の計算書をPDFに保存…"));
  rowSheet->setObjectName(QStringLiteral("mnuSaveRowSheet"));
  rowSheet->setEnabled(SelectedRowCanBeShown());
  connect(rowSheet, &QAction::triggered, this, &KeisanListForm::SaveSelectedSheet);
  return menu;
}

void KeisanListForm::SaveOkSheets() {
  SaveOkReportAs(this, session_);
}

void KeisanListForm::SaveSelectedSheet() {
  const std::int16_t row = SelectedRowNumber();
  if (row < 1) return;
  SaveReportAs(this, session_, {row}, false);
}

void KeisanListForm::DoubleClickSelectedRow() {
  if (list1_->selectedItems().isEmpty()) return;
  session_.SelectedNo = SelectedRowNumber();

  // The status is looked up in the file as it is now; a line the file does
  // not have counts as passing and the preview then reports it.
  std::int16_t status = StatusOk;
  try {
    const Candidates records = session_.written.Read(AppFolder());
    const int row = session_.SelectedNo;
    if (row >= 1 && row <= static_cast<int>(records.size())) status = records[row - 1].Status;
  } catch (const DesignError& error) {
    ShowError(this, error);
    return;
  }
  if (status == StatusOk) {
    FormPrv::ShowSelected(session_);
  } else if (status == StatusFreeboardOver) {
    if (MessageBoxes::ShowMessage(this, QString::fromUtf8(kAskFreeboard),
                                  MessageBoxes::Buttons::YesNo) == MessageBoxes::Answer::Yes) {
      FormPrv::ShowSelected(session_);
    }
  } else {
    MessageBoxes::ShowMessage(this, QString::fromUtf8(kRefuseFailed), MessageBoxes::Buttons::Ok);
  }
}

}  // namespace sekora
