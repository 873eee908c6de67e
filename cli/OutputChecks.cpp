#include "OutputChecks.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "DataFiles.h"
#include "DrawSheet.h"
#include "FileIdentity.h"
#include "KeisanRecord.h"
#include "Messages.h"
#include "Paths.h"

namespace sekora::cli {
namespace {

[[noreturn]] void RefuseSameFile(const NamedPath& output, const NamedPath& other) {
  throw std::runtime_error(Tr("{1} と {2} が同じファイルです: {3}", Tr(output.role.c_str()),
                              Tr(other.role.c_str()), output.path));
}

// Every figure a sheet of either shape draws.
std::vector<std::string> AllFigurePaths(const std::string& figureFolder) {
  KeisanRecord box;
  box.Kind = KindBox;
  KeisanRecord pipe;
  pipe.Kind = KindPipe;
  std::vector<std::string> paths = SheetFigurePaths(box, figureFolder);
  for (const std::string& path : SheetFigurePaths(pipe, figureFolder)) {
    if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(path);
  }
  return paths;
}

}  // namespace

void CheckOutputsApart(const std::vector<NamedPath>& inputs, const std::vector<NamedPath>& outputs,
                       const std::optional<NamedPath>& replacedFolder) {
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    for (const NamedPath& input : inputs) {
      if (IsSameFile(outputs[i].path, input.path)) RefuseSameFile(outputs[i], input);
    }
    for (std::size_t k = i + 1; k < outputs.size(); ++k) {
      if (IsSameFile(outputs[i].path, outputs[k].path)) RefuseSameFile(outputs[i], outputs[k]);
    }
  }
  if (!replacedFolder) return;
  for (const std::vector<NamedPath>* group : {&inputs, &outputs}) {
    for (const NamedPath& file : *group) {
      if (IsWithinFolder(file.path, replacedFolder->path)) {
        throw std::runtime_error(
            Tr("{1} のフォルダの中に {2} があります（フォルダは中身ごと置き換わります）: {3}",
               Tr(replacedFolder->role.c_str()), Tr(file.role.c_str()), file.path));
      }
    }
  }
}

std::vector<NamedPath> RunInputs(const DataFolders& folders, bool withFigures) {
  std::vector<NamedPath> inputs;
  for (const char* name : {kBoxCatalogueName, kPipeCatalogueName}) {
    inputs.push_back({name, JoinPath(folders.work, name)});
  }
  if (withFigures) {
    for (const std::string& path : AllFigurePaths(folders.figures)) {
      inputs.push_back({PathToUtf8(PathFromUtf8(path).filename()), path});
    }
  }
  return inputs;
}

void CheckOutputFolder(const std::string& path) {
  std::filesystem::path file = PathFromUtf8(path);
  if (!file.has_filename()) file = file.parent_path();  // "DIR/" names DIR
  const std::filesystem::path folder = file.parent_path();
  std::error_code ec;
  if (!std::filesystem::is_directory(folder.empty() ? "." : folder, ec)) {
    throw std::runtime_error(Tr("出力先のフォルダがありません: {1}", PathToUtf8(folder)));
  }
}

}  // namespace sekora::cli
