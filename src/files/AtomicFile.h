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
// that was killed while writing are removed first. `path` is UTF-8. A `path`
// that is a symbolic link stays one: the file it names is replaced; a path
// that is no regular file (a device, a folder) is never replaced.
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error);

// A new content already complete on disk beside its file, not yet in its
// place: several files are staged first and put in place only once all of
// them could be written. The temporary file goes with the object unless it
// was committed.
class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Writes `content` to a temporary file in the folder of `path` and flushes
  // it to disk; false with the reason in `error` when that fails.
  bool Stage(const std::string& path, std::string_view content, std::string& error);
  // Moves the staged file over `path`; false with the reason in `error`.
  bool Commit(std::string& error);

 private:
  void Discard();

  int dirFd_ = -1;  // the open folder (Linux only)
  std::string folder_;
  std::string path_;
  std::string temporaryName_;
};

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
