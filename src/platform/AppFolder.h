// The folder of the executable, where the catalogues, the figures and
// Keisan.txt lie.
#pragma once

#include <string>

namespace sekora {

// The folder of the running program, or the folder set by SetAppFolder.
std::string AppFolder();

// Makes AppFolder return `folder` from now on; an empty text goes back to the
// folder of the program. Lets tests work in a folder of their own.
void SetAppFolder(const std::string& folder);

}  // namespace sekora
