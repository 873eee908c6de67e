// Replacing a file so that readers only ever see the old or the new content.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace sekora {

// Writes `content` to a temporary file in the folder of `path`, flushes it to
// disk and moves it over `path` in one step (rename, or MoveFileExW on
// Windows). On any failure the temporary file is removed (on Linux even when
// the folder has been moved meanwhile), `path` is left as it was, and false
// is returned with the reason in `error`. Temporary files left by a process
// that was killed while writing are removed first. `path` is UTF-8.
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error);

// Writes up to `size` bytes of `data` to the open file `fd` as ::write (_write
// on Windows) does: returns the number of bytes written, or -1 with errno set.
using FileWriter = std::function<long(int fd, const char* data, std::size_t size)>;

// While it lives, WriteFileAtomically writes through `writer` instead of
// ::write; the writer before it comes back afterwards. Lets a test fail or
// slow a write part way through.
class ScopedFileWriter {
 public:
  explicit ScopedFileWriter(FileWriter writer);
  ~ScopedFileWriter();
  ScopedFileWriter(const ScopedFileWriter&) = delete;
  ScopedFileWriter& operator=(const ScopedFileWriter&) = delete;

 private:
  FileWriter previous_;
};

}  // namespace sekora
