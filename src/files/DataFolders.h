// Where the program finds the catalogues and figures it ships with, and
// where the user's catalogues and Keisan.txt live.
#pragma once

#include <stdexcept>
#include <string>

namespace sekora {

// The user's data folder cannot be made or filled. The message, in
// Japanese, names the folder or file and why.
class DataFolderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct DataFolders {
  std::string work;     // BOX.TXT and KAN.TXT as the user keeps them, and Keisan.txt
  std::string figures;  // the figure files of the calculation sheet
};

// The folder of the shipped catalogues and figures of a program that lies in
// `programFolder`: that folder itself when it holds them, otherwise the
// installation's data folder (/usr/share/sekora beside /usr/bin).
std::string ShippedDataFolder(const std::string& programFolder);

// The helper program `name` that a program in `programFolder` starts: beside
// it when it is there (a build folder, a copy of the programs), otherwise in
// the installation's helper folder (/usr/libexec/sekora beside /usr/bin).
std::string HelperProgram(const std::string& programFolder, const std::string& name);

// The folder of the message catalogues of a program in `programFolder`: the
// "locale" folder beside it when there is one (a build folder, a copy of the
// programs), otherwise the installation's locale folder (/usr/share/locale
// beside /usr/bin).
std::string MessageCatalogueFolder(const std::string& programFolder);

// The folder of the program `programName` that started a helper program in
// `helperFolder`, which the helper works from: the reverse of HelperProgram.
std::string ProgramFolderOfHelper(const std::string& helperFolder, const std::string& programName);

// The user's own data folder: $XDG_DATA_HOME/sekora, by default
// ~/.local/share/sekora ("%LOCALAPPDATA%\Sekora" on Windows); empty when the
// environment names no home.
std::string UserDataFolder();

// True when a file can be made in `folder`, found out by making one and
// removing it again (permissions alone do not tell: a read-only file system,
// or a user such as root whom permissions do not stop).
bool IsWritableFolder(const std::string& folder);

// Copies the shipped BOX.TXT and KAN.TXT of `shipped` into `user`, creating
// it, wherever `user` has no file of that name yet: the user's edited
// catalogues are never overwritten. Throws DataFolderError when the folder or
// a copy cannot be made, naming the shipped file when it is missing.
void CopyCataloguesOnce(const std::string& shipped, const std::string& user);

// The folders a program in `programFolder` works with. The catalogues, the
// figures and Keisan.txt stay beside the program when they are shipped there
// and the folder is writable; otherwise the work folder is `userFolder`
// (filled by CopyCataloguesOnce) and the figures are read from where they
// were shipped. Throws DataFolderError when the user folder cannot be set up.
DataFolders FindDataFolders(const std::string& programFolder, const std::string& userFolder);

}  // namespace sekora
