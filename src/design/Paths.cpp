#include "Paths.h"

#include <filesystem>

namespace sekora {

std::string JoinPath(const std::string& folder, const std::string& name) {
  return (std::filesystem::path(folder) / std::filesystem::path(name)).string();
}

}  // namespace sekora
