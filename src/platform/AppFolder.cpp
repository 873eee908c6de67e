#include "AppFolder.h"

#include <QCoreApplication>

namespace sekora {

namespace {

std::string& FolderOverride() {
  static std::string folder;
  return folder;
}

}  // namespace

std::string AppFolder() {
  if (!FolderOverride().empty()) return FolderOverride();
  return QCoreApplication::applicationDirPath().toStdString();
}

void SetAppFolder(const std::string& folder) {
  FolderOverride() = folder;
}

}  // namespace sekora
