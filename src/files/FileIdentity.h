// Whether two paths reach the same file, so that no output of a run is
// written over one of its inputs or over another of its outputs.
#pragma once

#include <string>

namespace sekora {

// True when the UTF-8 paths `a` and `b` lead to one file: the same name in
// the same folder once the folders' links and ".." are resolved (a link at
// the path is the file an output replaces), or the same file (device and
// inode, or file index on Windows) where both exist, or the same path once
// every link is resolved.
bool IsSameFile(const std::string& a, const std::string& b);

// True when the UTF-8 path `path` is the folder `folder` or lies anywhere
// inside it, the links of both resolved, or inside the folder a link at
// `folder` leads to.
bool IsWithinFolder(const std::string& path, const std::string& folder);

}  // namespace sekora
