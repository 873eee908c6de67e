// A long task off the window's thread, with a progress dialog for a long
// one: the windows stay responsive and repaint, and the task can be
// cancelled. Calculations and saves of reports run this way.
#pragma once

#include <QString>
#include <atomic>
#include <functional>

class QWidget;

namespace sekora {

// What a task counts while it runs and the request to stop it: the task
// sets the total once it knows it, counts each step done, and stops soon
// after `cancel` turns true.
struct TaskCounters {
  std::atomic<int>* done = nullptr;
  std::atomic<int>* total = nullptr;
  const std::atomic<bool>* cancel = nullptr;
};

class RunProgress {
 public:
  // A task shorter than this shows no dialog.
  static constexpr int kDefaultShowDelayMs = 500;

  // Runs `task` on a worker thread with counters of its own; the calling
  // thread keeps handling events meanwhile. Once the task has lasted the
  // show delay, a dialog over `parent` shows `label`, with %1 the steps
  // done and %2 all steps, and a cancel button. Returns when the task has
  // ended and passes on its exception (the task's own after a cancel).
  // `parent` may close meanwhile.
  void Run(QWidget* parent, const QString& label,
           const std::function<void(const TaskCounters&)>& task);

  // Asks the current task to stop, as the dialog's cancel button does.
  void Cancel() { cancel_ = true; }

  bool Running() const { return running_; }
  int Done() const { return done_; }
  int Total() const { return total_; }

  // For tests: the dialog shows after `ms` milliseconds.
  void SetShowDelay(int ms) { showDelayMs_ = ms; }

 private:
  std::atomic<bool> cancel_{false};
  std::atomic<int> done_{0};
  std::atomic<int> total_{0};
  bool running_ = false;
  int showDelayMs_ = kDefaultShowDelayMs;
};

}  // namespace sekora
