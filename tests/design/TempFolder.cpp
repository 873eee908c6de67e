#include "TempFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "Paths.h"

namespace sekora::testing {

TempFolder::TempFolder() {
  namespace fs = std::filesystem;
  std::random_device random;
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const fs::path folder = fs::temp_directory_path() / ("sekora-test-" + std::to_string(random()));
    // create_directory is false for a folder that exists already.
    if (fs::create_directory(folder)) {
      path_ = PathToUtf8(folder);
      return;
    }
  }
  throw std::runtime_error("no temporary folder could be made");
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(PathFromUtf8(path_), ec);
}

std::string TempFolder::File(const std::string& name) const {
  return JoinPath(path_, name);
}

void TempFolder::Write(const std::string& name, const std::string& content) const {
  std::ofstream(PathFromUtf8(File(name)), std::ios::binary) << content;
}

std::string TempFolder::Read(const std::string& name) const {
  std::ifstream in(PathFromUtf8(File(name)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace sekora::testing
