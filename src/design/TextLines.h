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

}  // namespace sekora
