#include "RunProgress.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <exception>
#include <thread>

namespace sekora {
namespace {

// How often the window looks at the task's progress.
constexpr int kPollMs = 50;

constexpr const char* kTitle = "Sekora";
constexpr const char* kCancelCaption = "キャンセル";

QProgressDialog* MakeDialog(QWidget* parent, RunProgress& progress) {
  auto* dialog = new QProgressDialog(parent);
  dialog->setObjectName("RunProgressDialog");
  dialog->setWindowTitle(QString::fromUtf8(kTitle));
  dialog->setCancelButtonText(QString::fromUtf8(kCancelCaption));
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  dialog->setMinimumDuration(0);
  QObject::connect(dialog, &QProgressDialog::canceled, [&progress] { progress.Cancel(); });
  dialog->show();
  return dialog;
}

void ShowProgress(QProgressDialog& dialog, const QString& label, int done, int total) {
  dialog.setMaximum(total);
  dialog.setValue(done);
  dialog.setLabelText(label.arg(done).arg(total));
}

}  // namespace

void RunProgress::Run(QWidget* parent, const QString& label,
                      const std::function<void(const TaskCounters&)>& task) {
  cancel_ = false;
  done_ = 0;
  total_ = 0;
  running_ = true;
  const TaskCounters counters{.done = &done_, .total = &total_, .cancel = &cancel_};
  std::exception_ptr failure;
  QEventLoop loop;
  QElapsedTimer clock;
  clock.start();
  // The window may close while the task runs (before the dialog blocks it),
  // taking its children with it.
  const QPointer<QWidget> owner(parent);
  QPointer<QProgressDialog> dialog;
  bool dialogShown = false;
  QTimer poll;
  poll.setInterval(kPollMs);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!dialogShown && clock.elapsed() >= showDelayMs_) {
      dialog = MakeDialog(owner, *this);
      dialogShown = true;
    }
    if (dialog) ShowProgress(*dialog, label, done_, total_);
  });
  poll.start();
  {
    std::jthread worker([&] {
      try {
        task(counters);
      } catch (...) {
        failure = std::current_exception();
      }
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
  }  // joins the worker, which has ended
  delete dialog.data();
  running_ = false;
  if (failure) std::rethrow_exception(failure);
}

}  // namespace sekora
