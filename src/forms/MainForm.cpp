#include "MainForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <string>

#include "AppFolder.h"
#include "ConditionInput.h"
#include "DesignError.h"
#include "FontSubstitution.h"
#include "FormPrv.h"
#include "KeisanListForm.h"
#include "MessageBoxes.h"
#include "NumberText.h"
#include "ParallelFor.h"
#include "RunDesign.h"
#include "Twips.h"
#include "WindowSetup.h"

namespace sekora {

namespace {

constexpr int kClientWidth = 4275;
constexpr int kClientHeight = 4245;
constexpr int kBoxLeft = 2640;
constexpr int kBoxWidth = 615;
constexpr int kBoxHeight = 270;
constexpr int kLabelHeight = 255;
constexpr int kCaptionLabelWidth = 1695;
constexpr int kSymbolLabelWidth = 255;
constexpr int kNoticeLinePitch = 180;
// The notice's face size: at 9 pt the stand-in face makes the longest line a
// few pixels wider than the label.
constexpr double kNoticePoints = 8.5;

// The notice in place of the six conditions that cannot be edited; lines 7
// to 12 begin with a full-width blank.
const char* const kNoticeLines[] = {
    "",
    "ソフトの規約に関しましては",
    "使用許諾契約書.txtをご覧ください",
    "現在入力データの保存はできません",
    "",
    "以下、設定値",
    "　呑口部敷高と吐口部敷高は0.000",
    "　重力加速度は9.800",
    "　エネルギー補正係数は1.000",
    "　余裕高はボックス=H×0.100",
    "　円径=φ×0.190",
    "　粗度係数はボックス=0.020 円径=0.010",
};

// The load-time texts of the condition boxes, in box order.
const char* const kInitialConditions[MainForm::kBoxCount] = {"0.000", "0.000", "0.000", "0.000",
                                                             "9.800", "1.000", "0.900", "0.810"};

const char* const kZeroConditionMessage = "計画流量または、延長が０です";
const char* const kCalculatingLabel = "計算中です（%1 / %2 断面）";

// A row of the window whose box is not shown: caption label, optional
// symbol and unit labels, and the box.
struct HiddenRow {
  int box;
  int top;
  const char* captionName;
  const char* caption;
  const char* symbolName;
  const char* symbol;
  const char* unitName;
  const char* unit;
};

const HiddenRow kHiddenRows[] = {
    {2, 1080, "Label8", "呑口部敷高", "Label24", "Ｚ１", "Label23", "(m)"},
    {3, 1440, "Label9", "吐口部敷高", "Label25", "Ｚ２", "Label30", "(m)"},
    {4, 1800, "Label12", "重力加速度", "Label28", "ｇ", nullptr, nullptr},
    {5, 2160, "Label15", "エネルギー補正係数", "Label29", "α", nullptr, nullptr},
    {6, 2520, "Label4", "ボックス　余裕率", nullptr, nullptr, nullptr, nullptr},
    {7, 2880, "Label5", "円径　余裕率", nullptr, nullptr, nullptr, nullptr},
};

// The hourglass while a calculation run blocks the window.
struct WaitCursor {
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

bool IsEnter(const QKeyEvent& key) {
  return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// Focus moves caused by switching windows or opening a menu are not a
// leaving of the box.
bool LeavesBox(const QFocusEvent& event) {
  return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}

}  // namespace

MainForm::MainForm(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName(QStringLiteral("MainForm"));
  SetUpFixedWindow(*this, QStringLiteral("Sekora"));
  setFixedSize(TwipsSize(kClientWidth, kClientHeight, ScreenDpi()));
  CreateShownRows();
  CreateHiddenRows();
  CreateButtons();
  CreateOptions();
  SetTabOrder();
  FormLoad();
  CentreOnScreen(*this);
}

QLabel* MainForm::AddLabel(const char* name, const char* caption, int left, int top, int width,
                           int height) {
  auto* label = new QLabel(QString::fromUtf8(caption), this);
  label->setObjectName(QString::fromUtf8(name));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  PlaceInTwips(*label, left, top, width, height);
  return label;
}

ConditionBox* MainForm::AddBox(int index, int left, int top) {
  auto* box = new ConditionBox(this);
  box->setObjectName(QStringLiteral("Jyouken%1").arg(index));
  box->setProperty("index", index);
  // The box is only 615 twips wide: a thin border, no inner margin and the
  // fixed-pitch face keep a value such as 20.000 wholly visible.
  box->setStyleSheet(
      QStringLiteral("QLineEdit { border: 1px solid #7a7a7a; padding: 0px; background: white; }"));
  box->setTextMargins(-1, 0, -1, 0);
  box->setFont(SubstitutedFont(QString::fromUtf8("ＭＳ ゴシック"), 9.0));
  box->installEventFilter(this);
  PlaceInTwips(*box, left, top, kBoxWidth, kBoxHeight);
  jyouken_.at(static_cast<std::size_t>(index)) = box;
  return box;
}

void MainForm::CreateShownRows() {
  AddLabel("Label1", "計画流量", 360, 360, kCaptionLabelWidth, kLabelHeight);
  AddLabel("Label16", "Ｑ", 2280, 360, kSymbolLabelWidth, kLabelHeight);
  AddBox(0, kBoxLeft, 360);
  AddLabel("Label17", "(m /s)", 3360, 360, 495, kLabelHeight);
  // The raised "3" stands in the blank of "(m /s)": cubic metres per second.
  QLabel* cube = AddLabel("Label18", "3", 3540, 315, 135, kLabelHeight);
  cube->setFont(SubstitutedFont(QString::fromUtf8("ＭＳ Ｐゴシック"), 8.25));

  AddLabel("Label2", "延長", 360, 720, kCaptionLabelWidth, kLabelHeight);
  AddLabel("Label7", "Ｌ", 2280, 720, kSymbolLabelWidth, kLabelHeight);
  AddBox(1, kBoxLeft, 720);
  AddLabel("Label22", "(m)", 3360, 720, kSymbolLabelWidth, kLabelHeight);

  notice_ = AddLabel("Label3", "", 480, 1080, 3255, 2295);
  notice_->setFont(SubstitutedFont(QString::fromUtf8("ＭＳ Ｐゴシック"), kNoticePoints));
}

void MainForm::CreateHiddenRows() {
  for (const HiddenRow& row : kHiddenRows) {
    QList<QWidget*> parts;
    parts << AddLabel(row.captionName, row.caption, 360, row.top, kCaptionLabelWidth, kLabelHeight);
    if (row.symbolName != nullptr) {
      parts << AddLabel(row.symbolName, row.symbol, 2280, row.top, kSymbolLabelWidth, kLabelHeight);
    }
    parts << AddBox(row.box, kBoxLeft, row.top);
    if (row.unitName != nullptr) {
      parts << AddLabel(row.unitName, row.unit, 3360, row.top, kSymbolLabelWidth, kLabelHeight);
    }
    for (QWidget* part : parts) part->hide();
  }
}

void MainForm::CreateButtons() {
  const char* const captions[] = {"計算", "終了"};
  const int lefts[] = {1560, 2760};
  for (std::size_t i = 0; i < button_.size(); ++i) {
    auto* button = new QPushButton(QString::fromUtf8(captions[i]), this);
    button->setObjectName(QStringLiteral("Button%1").arg(i));
    PlaceInTwips(*button, lefts[i], 3480, 1095, 615);
    PressOnEnter(*button);
    button_[i] = button;
  }
  connect(button_[0], &QPushButton::clicked, this, &MainForm::Calculate);
  connect(button_[1], &QPushButton::clicked, this, &MainForm::End);
}

void MainForm::CreateOptions() {
  // The frame and the check box lie right of the client area, unseen. They
  // take no focus, so that no key can change the conditions unseen; they
  // keep their load-time settings, and every Calculate reads them.
  auto* frame = new QGroupBox(this);
  frame->setObjectName(QStringLiteral("Frame1"));
  PlaceInTwips(*frame, 4440, 600, 1575, 1335);
  const char* const captions[] = {"Box及び管", "Boxのみ", "管のみ"};
  const int tops[] = {120, 480, 840};
  for (std::size_t i = 0; i < opt_.size(); ++i) {
    auto* option = new QRadioButton(QString::fromUtf8(captions[i]), frame);
    option->setObjectName(QStringLiteral("Opt%1").arg(i));
    PlaceInTwips(*option, 120, tops[i], 1215, 375);
    option->setFocusPolicy(Qt::NoFocus);
    opt_[i] = option;
  }
  check1_ = new QCheckBox(QString::fromUtf8("ＮＧ結果は除く"), this);
  check1_->setObjectName(QStringLiteral("Check1"));
  PlaceInTwips(*check1_, 4440, 2040, 1575, 375);
  check1_->setFocusPolicy(Qt::NoFocus);
}

void MainForm::SetTabOrder() {
  // Tab skips the hidden boxes; the options outside the client area take no
  // focus at all, so Tab from 終了 comes back to Q.
  const QList<QWidget*> order = {jyouken_[0], jyouken_[1], jyouken_[2], jyouken_[3], jyouken_[4],
                                 jyouken_[5], button_[0],  button_[1],  jyouken_[6], jyouken_[7]};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void MainForm::FormLoad() {
  QStringList lines;
  for (const char* line : kNoticeLines) lines << QString::fromUtf8(line);
  noticeText_ = lines.join(QLatin1Char('\n'));
  ShowNotice(lines);
  for (int i = 0; i < kBoxCount; ++i) Jyouken(i)->setText(QString::fromUtf8(kInitialConditions[i]));
  opt_[0]->setChecked(true);
  check1_->setChecked(false);
  jyouken_[0]->setFocus();
}

void MainForm::ShowNotice(const QStringList& lines) {
  // The twelve lines fill the label at a pitch of 9 pt, the pitch of the
  // dialog font; the stand-in face has a larger natural line spacing.
  const double pitch = TwipsToPixels(kNoticeLinePitch, ScreenDpi());
  const int percent =
      static_cast<int>(100.0 * pitch / QFontMetricsF(notice_->font()).lineSpacing());
  QString html;
  for (const QString& line : lines) {
    html += QStringLiteral("<p style=\"margin:0; white-space:pre; line-height:%1%\">%2</p>")
                .arg(percent)
                .arg(line.isEmpty() ? QStringLiteral("&nbsp;") : line.toHtmlEscaped());
  }
  notice_->setTextFormat(Qt::RichText);
  notice_->setText(html);
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  auto* box = qobject_cast<QLineEdit*>(watched);
  if (box == nullptr) return QWidget::eventFilter(watched, event);
  const int index = box->property("index").toInt();
  switch (event->type()) {
    case QEvent::FocusOut:
      if (LeavesBox(static_cast<const QFocusEvent&>(*event))) LostFocus(index);
      break;
    case QEvent::KeyPress:
      return KeyPress(index, static_cast<const QKeyEvent&>(*event));
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

bool MainForm::KeyPress(int index, const QKeyEvent& key) {
  if (IsEnter(key)) {
    MoveFocusOnEnter(index);
    return true;
  }
  if (!IsTypedCharacter(key)) return false;
  for (const QChar character : key.text()) {
    if (!PassesKeyFilter(character)) return true;
  }
  return false;
}

void MainForm::MoveFocusOnEnter(int index) {
  int next = 0;
  if (index != kBoxCount - 1 && !Jyouken(index + 1)->isHidden()) next = index + 1;
  Jyouken(next)->setFocus(Qt::TabFocusReason);
}

void MainForm::LostFocus(int index) {
  ConditionBox* box = Jyouken(index);
  const std::string text = box->text().toStdString();
  // A text that is not a plain number (the empty text, ".", 1.2.3) stays.
  if (!IsPlainDecimal(text)) return;
  box->ShowText(QString::fromStdString(FormatNumber(NumericValue(text), Pattern::Fixed3)));
}

std::int16_t MainForm::SelectedShape() const {
  for (std::size_t i = 0; i < opt_.size(); ++i) {
    if (opt_[i]->isChecked()) return static_cast<std::int16_t>(i);
  }
  return ShapeBoth;
}

DesignConditions MainForm::ReadConditions() const {
  auto value = [this](int index) { return NumericValue(Jyouken(index)->text().toStdString()); };
  DesignConditions conditions;
  conditions.Q = value(0);
  conditions.L = value(1);
  conditions.Z1 = value(2);
  conditions.Z2 = value(3);
  conditions.g = value(4);
  conditions.Alpha = value(5);
  conditions.BoxRatio = value(6);
  conditions.CircleRatio = value(7);
  conditions.ShapeOption = SelectedShape();
  conditions.ExcludeNg = check1_->isChecked() ? 1 : 0;
  return conditions;
}

void MainForm::Calculate() {
  if (progress_.Running()) return;  // a click while the window waits for the run
  // The session keeps the last completed run until this one has completed.
  const DesignConditions conditions = ReadConditions();
  if (!(conditions.Q > 0 && conditions.L > 0)) {
    MessageBoxes::ShowMessage(this, QString::fromUtf8(kZeroConditionMessage),
                              MessageBoxes::Buttons::Ok);
    return;
  }
  try {
    const WaitCursor busy;
    const std::string folder = AppFolder();
    DesignRun run;
    progress_.Run(this, QString::fromUtf8(kCalculatingLabel), [&](const TaskCounters& counters) {
      const RunOptions options{.threads = MachineThreads(),
                               .candidatesDone = counters.done,
                               .candidatesTotal = counters.total,
                               .cancel = counters.cancel};
      run = RunDesign(folder, conditions, options);
    });
    session_.AdoptRun(run.conditions, run.resultsText);
  } catch (const RunCancelledError&) {
    return;  // stopped by the user: nothing was written, nothing to say
  } catch (const DesignError& error) {
    MessageBoxes::ShowMessage(this, QString::fromUtf8(error.what()), MessageBoxes::Buttons::Ok);
    return;
  }
  // The open preview shows a sheet of the old file.
  if (session_.preview) session_.preview->close();
  KeisanListForm::ShowResults(session_);
}

void MainForm::End() {
  progress_.Cancel();
  session_.saving.Cancel();
  QApplication::closeAllWindows();
  if (session_.quitApplication) session_.quitApplication();
}

void MainForm::closeEvent(QCloseEvent* event) {
  // The program lives as long as the main window: closing it is End.
  progress_.Cancel();
  session_.saving.Cancel();
  if (session_.preview) session_.preview->close();
  if (session_.resultsList) session_.resultsList->close();
  event->accept();
}

}  // namespace sekora
