// A broken invariant in a fuzz target: say which, then abort so that
// libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace sekora::fuzz {

inline void Require(bool holds, const char* invariant, const std::string& detail = {}) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s %s\n", invariant, detail.c_str());
  std::abort();
}

// A typed error is a clean failure only with a message that names the file.
inline void RequireMessageNames(const std::string& message, const std::string& fileName) {
  Require(!message.empty(), "error message is empty");
  Require(message.find(fileName) != std::string::npos, "error message does not name the file",
          message);
}

}  // namespace sekora::fuzz
