// Replacing a file so that readers only ever see the old or the new content.
#pragma once

#include <string>
#include <string_view>

namespace sekora {

// Writes `content` to a temporary file in the folder of `path`, flushes it to
// disk and renames it over `path`. On any failure the temporary file is
// removed, `path` is left as it was, and false is returned with the reason in
// `error`.
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error);

}  // namespace sekora
