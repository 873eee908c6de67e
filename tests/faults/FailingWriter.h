// Writers that stand in for ::write in the results file's writer.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

#include "AtomicFile.h"

namespace sekora::testing {

// Writes through ::write until `budget` bytes are out, then fails as a full
// disk does.
inline FileWriter FailingAfter(std::size_t budget) {
  return [budget](int fd, const char* data, std::size_t size) mutable -> long {
    if (budget == 0) {
      errno = ENOSPC;
      return -1;
    }
    const long written = ::write(fd, data, std::min(size, budget));
    if (written > 0) budget -= static_cast<std::size_t>(written);
    return written;
  };
}

}  // namespace sekora::testing
