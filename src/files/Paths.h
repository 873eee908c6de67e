// File paths of the data that lies beside the executables. Paths travel
// through the program as UTF-8 text; these functions turn them into the
// system's own form (wide characters on Windows) where a file is opened, so
// that folder and file names in Japanese work everywhere.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace sekora {

// `folder` and `name` joined with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// The system path of the UTF-8 text `utf8`, and back.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// The folder of the running executable, or "." when the system cannot say.
std::string ProgramFolder();

}  // namespace sekora
