#include "Paths.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <system_error>

namespace sekora {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return PathToUtf8(PathFromUtf8(folder) / PathFromUtf8(name));
}

#ifdef _WIN32
std::string ProgramFolder() {
  // The name may be longer than MAX_PATH; the buffer grows until it fits.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return ".";
    if (length < name.size()) {
      name.resize(length);
      return PathToUtf8(std::filesystem::path(name).parent_path());
    }
    name.resize(name.size() * 2);
  }
}
#else
std::string ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string(".") : PathToUtf8(exe.parent_path());
}
#endif

}  // namespace sekora
