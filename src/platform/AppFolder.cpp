#include "AppFolder.h"

#include <QCoreApplication>
#include <optional>

#include "DataFolders.h"
#include "DesignError.h"

namespace sekora {

namespace {

std::string& FolderOverride() {
  static std::string folder;
  return folder;
}

// Found once per run of the program: the first use may copy the catalogues.
const DataFolders& ProgramDataFolders() {
  static std::optional<DataFolders> folders;
  if (!folders) {
    const std::string program = QCoreApplication::applicationDirPath().toStdString();
    try {
      folders = FindDataFolders(program, UserDataFolder());
    } catch (const DataFolderError& error) {
      // The windows report a run's missing catalogues as a catalogue error.
      throw CatalogueError(error.what());
    }
  }
  return *folders;
}

}  // namespace

std::string AppFolder() {
  if (!FolderOverride().empty()) return FolderOverride();
  return ProgramDataFolders().work;
}

std::string FigureFolder() {
  if (!FolderOverride().empty()) return FolderOverride();
  return ProgramDataFolders().figures;
}

void SetAppFolder(const std::string& folder) {
  FolderOverride() = folder;
}

}  // namespace sekora
