#include "RunProgress.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <exception>
#include <memory>
#include <thread>

#include "ParallelFor.h"

namespace sekora {
namespace {

// How often the window looks at the run's progress.
constexpr int kPollMs = 50;

constexpr const char* kTitle = "Sekora";
constexpr const char* kCancelCaption = "キャンセル";

std::unique_ptr<QProgressDialog> MakeDialog(QWidget* parent, RunProgress& progress) {
  auto dialog = std::make_unique<QProgressDialog>(parent);
  dialog->setObjectName("RunProgressDialog");
  dialog->setWindowTitle(QString::fromUtf8(kTitle));
  dialog->setCancelButtonText(QString::fromUtf8(kCancelCaption));
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  dialog->setMinimumDuration(0);
  QObject::connect(dialog.get(), &QProgressDialog::canceled, [&progress] { progress.Cancel(); });
  dialog->show();
  return dialog;
}

void ShowProgress(QProgressDialog& dialog, int done, int total) {
  dialog.setMaximum(total);
  dialog.setValue(done);
  dialog.setLabelText(QString::fromUtf8("計算中です（%1 / %2 断面）").arg(done).arg(total));
}

}  // namespace

void RunProgress::Run(QWidget* parent, const std::function<void(const RunOptions&)>& run) {
  cancel_ = false;
  done_ = 0;
  total_ = 0;
  running_ = true;
  const RunOptions options{.threads = MachineThreads(),
                           .candidatesDone = &done_,
                           .candidatesTotal = &total_,
                           .cancel = &cancel_};
  std::exception_ptr failure;
  QEventLoop loop;
  QElapsedTimer clock;
  clock.start();
  std::unique_ptr<QProgressDialog> dialog;
  QTimer poll;
  poll.setInterval(kPollMs);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!dialog && clock.elapsed() >= showDelayMs_) dialog = MakeDialog(parent, *this);
    if (dialog) ShowProgress(*dialog, done_, total_);
  });
  poll.start();
  {
    std::jthread worker([&] {
      try {
        run(options);
      } catch (...) {
        failure = std::current_exception();
      }
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
  }  // joins the worker, which has ended
  running_ = false;
  if (failure) std::rethrow_exception(failure);
}

}  // namespace sekora
