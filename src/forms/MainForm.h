// The main window: the design conditions, the options, the notice of the
// fixed values, and the Calculate and End buttons.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>

#include "ConditionInput.h"
#include "RunProgress.h"
#include "Session.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QRadioButton;

namespace sekora {

// Control names (objectName): the condition boxes "Jyouken0" .. "Jyouken7"
// (Q, L, Z1, Z2, g, α, box ratio, circle ratio; each also carries its index
// in the property "index"), "Opt0" .. "Opt2" in "Frame1", "Check1",
// "Button0" (Calculate), "Button1" (End), and the labels "Label1" ..
// "Label30".
class MainForm : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kBoxCount = 8;

  explicit MainForm(Session& session, QWidget* parent = nullptr);

  // The notice of the fixed values, its lines separated by "\n".
  const QString& NoticeText() const { return noticeText_; }

  ConditionBox* Jyouken(int index) const { return jyouken_.at(static_cast<std::size_t>(index)); }

  // Runs the calculation with the conditions of the controls when Q and L
  // are positive and, once it has completed, makes it the session's run and
  // shows its results list. The window stays responsive during the run,
  // which shows its progress when it lasts and can be cancelled; a cancelled
  // run changes nothing.
  void Calculate();

  // The calculation run of the last Calculate.
  RunProgress& Progress() { return progress_; }
  // Closes every window and ends the program.
  void End();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateShownRows();
  void CreateHiddenRows();
  void CreateOptions();
  void CreateButtons();
  void SetTabOrder();
  void FormLoad();
  void ShowNotice(const QStringList& lines);

  QLabel* AddLabel(const char* name, const char* caption, int left, int top, int width, int height);
  ConditionBox* AddBox(int index, int left, int top);

  // Returns true when the key is discarded.
  bool KeyPress(int index, const QKeyEvent& key);
  void LostFocus(int index);
  void MoveFocusOnEnter(int index);

  DesignConditions ReadConditions() const;
  std::int16_t SelectedShape() const;

  Session& session_;
  std::array<ConditionBox*, kBoxCount> jyouken_{};
  std::array<QRadioButton*, 3> opt_{};
  QCheckBox* check1_ = nullptr;
  QLabel* notice_ = nullptr;
  QString noticeText_;
  std::array<QPushButton*, 2> button_{};
  RunProgress progress_;
};

}  // namespace sekora
