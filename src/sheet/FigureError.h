// A figure file of the sheet that is missing or cannot be read.
#pragma once

#include <stdexcept>

namespace sekora {

class FigureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace sekora
