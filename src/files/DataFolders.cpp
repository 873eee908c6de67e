#include "DataFolders.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "AtomicFile.h"
#include "DataFiles.h"
#include "InstallLayout.h"
#include "Paths.h"
#include "TextLines.h"

namespace sekora {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
std::string EnvironmentValue(const wchar_t* name) {
  const wchar_t* value = ::_wgetenv(name);
  return value ? PathToUtf8(fs::path(value)) : std::string();
}

long ProcessId() {
  return static_cast<long>(::_getpid());
}
#else
std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

long ProcessId() {
  return static_cast<long>(::getpid());
}
#endif

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(PathFromUtf8(path), ec);
}

// A folder, not a file of that name: /usr/bin/locale is a program.
bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(PathFromUtf8(path), ec);
}

void CopyCatalogue(const std::string& shipped, const std::string& user, const char* name) {
  const std::string target = JoinPath(user, name);
  if (Exists(target)) return;
  // A catalogue that cannot be copied is missing from the installation: that
  // is where the user must look, not in the user folder a run would name.
  const std::string source = JoinPath(shipped, name);
  std::string content;
  if (!ReadWholeFile(source, content)) {
    throw DataFolderError(std::string("断面表 ") + name + " がありません: " + source + " にも " +
                          target + " にもありません");
  }
  std::string error;
  if (!WriteFileAtomically(target, content, error)) {
    throw DataFolderError(std::string("断面表 ") + name + " をコピーできません: " + target + "（" +
                          error + "）");
  }
}

// The folder `relative` leads to from `folder` in an installation, whose
// files are spread over the folders of InstallLayout.h.
std::string InstalledFolder(const std::string& folder, const char* relative) {
  return PathToUtf8((PathFromUtf8(folder) / PathFromUtf8(relative)).lexically_normal());
}

// True when the shipped catalogues lie beside a program in `programFolder`:
// a build folder or a portable copy, which holds every file of the program.
bool HoldsShippedData(const std::string& programFolder) {
  return Exists(JoinPath(programFolder, kBoxCatalogueName));
}

}  // namespace

std::string ShippedDataFolder(const std::string& programFolder) {
  if (HoldsShippedData(programFolder)) return programFolder;
  return InstalledFolder(programFolder, kInstalledDataFromPrograms);
}

std::string HelperProgram(const std::string& programFolder, const std::string& name) {
  const std::string beside = JoinPath(programFolder, name);
  if (Exists(beside)) return beside;
  return JoinPath(InstalledFolder(programFolder, kInstalledHelpersFromPrograms), name);
}

std::string MessageCatalogueFolder(const std::string& programFolder) {
  const std::string beside = JoinPath(programFolder, kMessageCatalogueFolderName);
  if (IsFolder(beside)) return beside;
  return InstalledFolder(programFolder, kInstalledMessagesFromPrograms);
}

std::string ProgramFolderOfHelper(const std::string& helperFolder, const std::string& programName) {
  if (Exists(JoinPath(helperFolder, programName))) return helperFolder;
  return InstalledFolder(helperFolder, kInstalledProgramsFromHelpers);
}

std::string UserDataFolder() {
#ifdef _WIN32
  const std::string local = EnvironmentValue(L"LOCALAPPDATA");
  return local.empty() ? std::string() : JoinPath(local, "Sekora");
#else
  const std::string dataHome = EnvironmentValue("XDG_DATA_HOME");
  // The XDG rules ignore a relative setting.
  if (!dataHome.empty() && dataHome.front() == '/') return JoinPath(dataHome, "sekora");
  const std::string home = EnvironmentValue("HOME");
  return home.empty() ? std::string() : JoinPath(home, ".local/share/sekora");
#endif
}

bool IsWritableFolder(const std::string& folder) {
  const fs::path probe =
      PathFromUtf8(folder) / (".sekora-write-check-" + std::to_string(ProcessId()));
  bool made = false;
  {
    std::ofstream file(probe, std::ios::binary);
    made = file.good() && (file << 'x') && file.flush();
  }
  std::error_code ec;
  fs::remove(probe, ec);
  return made;
}

void CopyCataloguesOnce(const std::string& shipped, const std::string& user) {
  std::error_code ec;
  fs::create_directories(PathFromUtf8(user), ec);
  if (ec) {
    throw DataFolderError("データフォルダを作成できません: " + user + "（" + ec.message() + "）");
  }
  CopyCatalogue(shipped, user, kBoxCatalogueName);
  CopyCatalogue(shipped, user, kPipeCatalogueName);
}

DataFolders FindDataFolders(const std::string& programFolder, const std::string& userFolder) {
  const std::string shipped = ShippedDataFolder(programFolder);
  if (shipped == programFolder && IsWritableFolder(programFolder)) {
    return {programFolder, programFolder};
  }
  if (userFolder.empty()) {
    throw DataFolderError(
        "プログラムのフォルダに書き込めず、ユーザーのデータフォルダも分かりません（HOME "
        "が設定されていません）");
  }
  CopyCataloguesOnce(shipped, userFolder);
  return {userFolder, shipped};
}

}  // namespace sekora
