// The folders of the program's data: the work folder, where the catalogues
// and Keisan.txt lie, and the folder of the figures of the sheet.
#pragma once

#include <string>

namespace sekora {

// The work folder: the folder of the running program when the shipped data
// lies there and it is writable, otherwise the user's data folder (set up on
// first use); or the folder set by SetAppFolder. Throws CatalogueError when
// the user's data folder cannot be set up.
std::string AppFolder();

// The folder the figure files are read from: beside the program, or where an
// installed program's data lies; or the folder set by SetAppFolder.
std::string FigureFolder();

// Makes AppFolder and FigureFolder return `folder` from now on; an empty text
// goes back to the folders of the program. Lets tests work in a folder of
// their own.
void SetAppFolder(const std::string& folder);

}  // namespace sekora
