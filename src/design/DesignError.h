// Errors that abandon a calculation run or a read of the results file. Each
// carries a message, in Japanese, that the windows show as it stands.
#pragma once

#include <stdexcept>
#include <string>

namespace sekora {

class DesignError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A catalogue file is missing, unreadable or holds a bad line.
class CatalogueError : public DesignError {
 public:
  using DesignError::DesignError;
};

// The catalogues hold more candidates than a run can count.
class TooManyCandidatesError : public DesignError {
 public:
  using DesignError::DesignError;
};

// The user stopped the run before it ended; nothing was written.
class RunCancelledError : public DesignError {
 public:
  using DesignError::DesignError;
};

// Keisan.txt cannot be written, or is missing or malformed when read.
class ResultsFileError : public DesignError {
 public:
  using DesignError::DesignError;
};

}  // namespace sekora
