// File paths of the data that lies beside the executables.
#pragma once

#include <string>

namespace sekora {

// `folder` and `name` joined with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace sekora
