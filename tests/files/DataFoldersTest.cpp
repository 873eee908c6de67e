#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "DataFolders.h"
#include "InstallLayout.h"
#include "Paths.h"
#include "TempFolder.h"

namespace sekora {
namespace {

using testing::TempFolder;

void MakeFolder(const std::string& path) {
  std::filesystem::create_directories(PathFromUtf8(path));
}

// `relative` from `folder`, as a path without "..".
std::string Beside(const std::string& folder, const char* relative) {
  return PathToUtf8((PathFromUtf8(folder) / relative).lexically_normal());
}

// An installed program: the binary folder with nothing beside the programs,
// the shipped data and the helpers in their folders of the layout the build
// was configured with (/usr/share/sekora and /usr/libexec/sekora by default).
class InstalledLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeFolder(bin_);
    MakeFolder(share_);
    MakeFolder(helpers_);
    root_.Write(JoinPath(share_, "BOX.TXT"), "1.000 1.000\r\n");
    root_.Write(JoinPath(share_, "KAN.TXT"), "0.600\r\n");
  }

  TempFolder root_;
  const std::string bin_ = Beside(root_.path(), "prefix/bin");
  const std::string share_ = Beside(bin_, kInstalledDataFromPrograms);
  const std::string helpers_ = Beside(bin_, kInstalledHelpersFromPrograms);
  const std::string user_ = root_.File("home/.local/share/sekora");
};

TEST_F(InstalledLayout, ShippedDataIsFoundBesideTheProgramOrInTheDataFolder) {
  EXPECT_EQ(ShippedDataFolder(bin_), share_);
  root_.Write(JoinPath(bin_, "BOX.TXT"), "2.000 2.000\r\n");
  EXPECT_EQ(ShippedDataFolder(bin_), bin_);
}

TEST_F(InstalledLayout, HelpersLieInTheirOwnFolderAndFindTheProgramsFolder) {
  EXPECT_EQ(HelperProgram(bin_, "helper"), JoinPath(helpers_, "helper"));
  EXPECT_EQ(ProgramFolderOfHelper(helpers_, "tool"), bin_);
  EXPECT_EQ(ShippedDataFolder(ProgramFolderOfHelper(helpers_, "tool")), share_);
}

TEST_F(InstalledLayout, MessagesAreFoundInTheLocaleFolderNotInAProgramNamedLocale) {
  // /usr/bin holds the C library's program "locale".
  root_.Write(JoinPath(bin_, "locale"), "#!/bin/sh\n");
  EXPECT_EQ(MessageCatalogueFolder(bin_), Beside(bin_, kInstalledMessagesFromPrograms));
}

TEST(DataFolders, AProgramAndItsHelperSideBySideFindEachOther) {
  // A build folder, or a copy of the programs without their data.
  TempFolder copy;
  copy.Write("tool", "");
  copy.Write("helper", "");
  EXPECT_EQ(HelperProgram(copy.path(), "helper"), copy.File("helper"));
  EXPECT_EQ(ProgramFolderOfHelper(copy.path(), "tool"), copy.path());
}

TEST(DataFolders, MessagesBesideTheProgramAreFoundThere) {
  TempFolder program;
  MakeFolder(program.File("locale"));
  EXPECT_EQ(MessageCatalogueFolder(program.path()), program.File("locale"));
}

TEST_F(InstalledLayout, FirstUseCopiesTheCataloguesAndLaterUsesKeepTheUsersEdits) {
  const DataFolders folders = FindDataFolders(bin_, user_);
  EXPECT_EQ(folders.work, user_);
  EXPECT_EQ(PathFromUtf8(folders.figures).lexically_normal(),
            PathFromUtf8(share_).lexically_normal());
  EXPECT_EQ(root_.Read("home/.local/share/sekora/BOX.TXT"), "1.000 1.000\r\n");
  EXPECT_EQ(root_.Read("home/.local/share/sekora/KAN.TXT"), "0.600\r\n");

  // The user edits one catalogue and deletes the other: the edit stays, the
  // missing one comes back from the install.
  root_.Write("home/.local/share/sekora/BOX.TXT", "' mine\r\n3.000 3.000\r\n");
  std::filesystem::remove(PathFromUtf8(JoinPath(user_, "KAN.TXT")));
  FindDataFolders(bin_, user_);
  EXPECT_EQ(root_.Read("home/.local/share/sekora/BOX.TXT"), "' mine\r\n3.000 3.000\r\n");
  EXPECT_EQ(root_.Read("home/.local/share/sekora/KAN.TXT"), "0.600\r\n");
}

// A catalogue missing from the installation is reported where it is
// missing, not in the user folder where a run would look for it.
TEST_F(InstalledLayout, AMissingShippedCatalogueIsNamedInTheInstallation) {
  std::filesystem::remove(PathFromUtf8(JoinPath(share_, "KAN.TXT")));
  try {
    FindDataFolders(bin_, user_);
    FAIL() << "no error";
  } catch (const DataFolderError& e) {
    const std::string message = e.what();
    const std::string shipped = PathToUtf8((PathFromUtf8(share_) / "KAN.TXT").lexically_normal());
    EXPECT_TRUE(message.starts_with("断面表 KAN.TXT がありません: " + shipped)) << message;
  }
  // A user's own copy makes the shipped one unnecessary.
  root_.Write("home/.local/share/sekora/KAN.TXT", "0.800\r\n");
  EXPECT_EQ(FindDataFolders(bin_, user_).work, user_);
}

TEST_F(InstalledLayout, AUserFolderThatCannotBeMadeIsADataFolderError) {
  root_.Write("blocked", "a file where the folder should go");
  EXPECT_THROW(FindDataFolders(bin_, root_.File("blocked/sekora")), DataFolderError);
  EXPECT_THROW(FindDataFolders(bin_, ""), DataFolderError);
}

TEST(DataFolders, AWritableProgramFolderWithItsDataKeepsEverythingBesideIt) {
  TempFolder program;
  program.Write("BOX.TXT", "1.000 1.000\r\n");
  EXPECT_TRUE(IsWritableFolder(program.path()));
  const DataFolders folders = FindDataFolders(program.path(), program.File("unused"));
  EXPECT_EQ(folders.work, program.path());
  EXPECT_EQ(folders.figures, program.path());
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(program.File("unused"))));
  // The check leaves nothing behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(PathFromUtf8(program.path())),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(DataFolders, AMissingFolderIsNotWritable) {
  TempFolder root;
  EXPECT_FALSE(IsWritableFolder(root.File("missing")));
}

#ifdef _WIN32
TEST(DataFolders, TheUserFolderLiesInTheLocalApplicationData) {
  const wchar_t* old = ::_wgetenv(L"LOCALAPPDATA");
  const std::wstring saved = old ? old : L"";
  ::_wputenv_s(L"LOCALAPPDATA", L"C:\\Users\\技術者\\AppData\\Local");
  EXPECT_EQ(UserDataFolder(), "C:\\Users\\技術者\\AppData\\Local\\Sekora");
  ::_wputenv_s(L"LOCALAPPDATA", saved.c_str());
}
#else
// Sets an environment variable for one test, or clears it.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnvironment() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(DataFolders, TheUserFolderFollowsTheXdgRules) {
  const ScopedEnvironment home("HOME", "/home/engineer");
  {
    const ScopedEnvironment dataHome("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(UserDataFolder(), "/home/engineer/.local/share/sekora");
  }
  {
    const ScopedEnvironment dataHome("XDG_DATA_HOME", "/data/engineer");
    EXPECT_EQ(UserDataFolder(), "/data/engineer/sekora");
  }
  {
    const ScopedEnvironment dataHome("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(UserDataFolder(), "/home/engineer/.local/share/sekora");
  }
  const ScopedEnvironment noHome("HOME", nullptr);
  const ScopedEnvironment noDataHome("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(UserDataFolder(), "");
}
#endif

}  // namespace
}  // namespace sekora
