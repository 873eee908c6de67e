// Checks made on a command's output paths before anything is calculated or
// written: no output may replace an input or another output, and each must
// be writable where it goes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "DataFolders.h"

namespace sekora::cli {

// A file the command reads or writes, named as its messages name it: an
// option ("--out"), a file's name ("BOX.TXT"), or what the file is, marked
// for translation (TrLater("一覧表")).
struct NamedPath {
  std::string role;
  std::string path;
};

// Refuses, by name, an output that is the same file as an input or as
// another output (IsSameFile), and any input or other output that lies in
// `replacedFolder`, a folder the command replaces whole. Throws
// std::runtime_error naming both and the path.
void CheckOutputsApart(const std::vector<NamedPath>& inputs, const std::vector<NamedPath>& outputs,
                       const std::optional<NamedPath>& replacedFolder);

// The catalogues of `folders.work` and, when `withFigures`, the figures of
// `folders.figures`: what a run reads.
std::vector<NamedPath> RunInputs(const DataFolders& folders, bool withFigures);

// Refuses an output whose folder does not exist. Throws std::runtime_error.
void CheckOutputFolder(const std::string& path);

}  // namespace sekora::cli
