// A calculation run off the window's thread, with a progress dialog for a
// long one: the window stays responsive and the run can be cancelled.
#pragma once

#include <atomic>
#include <functional>

#include "RunDesign.h"

class QWidget;

namespace sekora {

class RunProgress {
 public:
  // A run shorter than this shows no dialog.
  static constexpr int kDefaultShowDelayMs = 500;

  // Runs `run` on a worker thread with options that count its candidates
  // and carry the cancel request; the calling thread keeps handling events
  // meanwhile. Once the run has lasted the show delay, a dialog over
  // `parent` shows the candidates designed out of all and a cancel button.
  // Returns when the run has ended and passes on its exception:
  // RunCancelledError after a cancel.
  void Run(QWidget* parent, const std::function<void(const RunOptions&)>& run);

  // Asks the current run to stop, as the dialog's cancel button does.
  void Cancel() { cancel_ = true; }

  bool Running() const { return running_; }
  int CandidatesDone() const { return done_; }
  int CandidatesTotal() const { return total_; }

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
