#include "FileIdentity.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <system_error>

#include "Paths.h"

namespace sekora {
namespace {

namespace fs = std::filesystem;

// `path` made absolute and normal, without a separator at its end.
fs::path Absolute(const std::string& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(PathFromUtf8(path), ec).lexically_normal();
  if (!absolute.has_filename() && absolute.has_relative_path()) absolute = absolute.parent_path();
  return absolute;
}

// The absolute path with every link in it resolved, as far as it exists.
fs::path Resolved(const fs::path& absolute) {
  std::error_code ec;
  const fs::path resolved = fs::weakly_canonical(absolute, ec);
  return ec ? absolute : resolved;
}

// The entry itself: its folder resolved, its own name as it is.
fs::path Entry(const fs::path& absolute) {
  return Resolved(absolute.parent_path()) / absolute.filename();
}

// Paths compare as the system compares names: Windows ignores case.
fs::path::string_type Key(const fs::path& path) {
  fs::path::string_type key = path.native();
#ifdef _WIN32
  std::transform(key.begin(), key.end(), key.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
#endif
  return key;
}

bool StartsWith(const fs::path& path, const fs::path& folder) {
  const fs::path::string_type p = Key(path);
  const fs::path::string_type f = Key(folder);
  if (!p.starts_with(f)) return false;
  return p.size() == f.size() || p[f.size()] == fs::path::preferred_separator ||
         (!f.empty() && f.back() == fs::path::preferred_separator);
}

}  // namespace

bool IsSameFile(const std::string& a, const std::string& b) {
  const fs::path pa = Absolute(a);
  const fs::path pb = Absolute(b);
  if (Key(Entry(pa)) == Key(Entry(pb))) return true;
  std::error_code ec;
  if (fs::equivalent(pa, pb, ec)) return true;
  return Key(Resolved(pa)) == Key(Resolved(pb));
}

bool IsWithinFolder(const std::string& path, const std::string& folder) {
  const fs::path p = Absolute(path);
  const fs::path f = Absolute(folder);
  return StartsWith(Entry(p), Entry(f)) || StartsWith(Resolved(p), Resolved(f));
}

}  // namespace sekora
