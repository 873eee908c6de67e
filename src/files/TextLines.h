// Splitting the text of a file into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sekora {

// The lines of `text`. CR LF, a lone LF and a lone CR each end a line; a
// last line without an ending counts too; no empty line follows a final end.
std::vector<std::string_view> SplitLines(std::string_view text);

// The whole content of the file at `path`; false when it cannot be opened or
// read.
bool ReadWholeFile(const std::string& path, std::string& content);

// How a read of a data file ended.
enum class FileRead {
  Read,         // `content` holds the whole file
  Unreadable,   // missing, or the system refused to open or read it
  NotRegular,   // a folder, a device, a pipe: nothing was read
  TooLarge,     // more than the limit: no more than the limit was read
  OutOfMemory,  // the content did not fit in memory
};

// The whole content of the regular file at `path`, if it holds at most
// `maxBytes` bytes. Never waits on a pipe and never reads more than the
// limit, whatever the file claims to be.
FileRead ReadDataFile(const std::string& path, std::size_t maxBytes, std::string& content);

}  // namespace sekora
