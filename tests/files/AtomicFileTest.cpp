#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "AtomicFile.h"
#include "FileIdentity.h"
#include "Paths.h"
#include "TempFolder.h"

namespace sekora {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

std::set<std::string> NamesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(PathFromUtf8(folder))) {
    names.insert(PathToUtf8(entry.path().filename()));
  }
  return names;
}

// Stages a folder of `names`, each holding its own name, and commits it.
void ReplaceFolder(const std::string& path, const std::set<std::string>& names) {
  StagedFolder staged;
  std::string error;
  ASSERT_TRUE(staged.Open(path, error)) << error;
  for (const std::string& name : names) ASSERT_TRUE(staged.Add(name, name, error)) << error;
  ASSERT_TRUE(staged.Commit(error)) << error;
}

// A new set of files replaces the previous set whole: nothing of an earlier,
// larger set stays beside it, and nothing is left beside the folder.
TEST(StagedFolder, ReplacesThePreviousSetWhole) {
  TempFolder root;
  const std::string results = root.File("keisan");
  ReplaceFolder(results, {"1_A.txt", "2_B.txt", "3_C.txt"});
  EXPECT_EQ(NamesIn(results), (std::set<std::string>{"1_A.txt", "2_B.txt", "3_C.txt"}));
  ReplaceFolder(results + "/", {"1_A.txt"});  // the folder, written with a separator
  EXPECT_EQ(NamesIn(results), std::set<std::string>{"1_A.txt"});
  EXPECT_EQ(root.Read("keisan/1_A.txt"), "1_A.txt");
  EXPECT_EQ(NamesIn(root.path()), std::set<std::string>{"keisan"});
}

TEST(StagedFolder, ADiscardedFolderLeavesNothingAndAFileIsNoFolder) {
  TempFolder root;
  {
    StagedFolder staged;
    std::string error;
    ASSERT_TRUE(staged.Open(root.File("keisan"), error)) << error;
    ASSERT_TRUE(staged.Add("1_A.txt", "x", error)) << error;
  }
  EXPECT_TRUE(NamesIn(root.path()).empty());
  root.Write("plain", "a file");
  StagedFolder staged;
  std::string error;
  EXPECT_FALSE(staged.Open(root.File("plain"), error));
  EXPECT_EQ(root.Read("plain"), "a file");
}

#ifndef _WIN32
// A link at the folder's path, dangling or not, is itself replaced: the
// folder it leads to keeps its files.
TEST(StagedFolder, ALinkIsReplacedAndItsFolderKept) {
  TempFolder root;
  fs::create_directory(root.File("elsewhere"));
  root.Write("elsewhere/1_A.txt", "kept");
  fs::create_directory_symlink(root.File("elsewhere"), root.File("keisan"));
  fs::create_symlink(root.File("nowhere"), root.File("dangling"));
  ReplaceFolder(root.File("keisan"), {"1_B.txt"});
  ReplaceFolder(root.File("dangling"), {"1_C.txt"});
  EXPECT_FALSE(fs::is_symlink(root.File("keisan")));
  EXPECT_EQ(NamesIn(root.File("keisan")), std::set<std::string>{"1_B.txt"});
  EXPECT_EQ(NamesIn(root.File("dangling")), std::set<std::string>{"1_C.txt"});
  EXPECT_EQ(root.Read("elsewhere/1_A.txt"), "kept");
}

// Any name the system takes has room for its temporary beside it.
TEST(StagedFile, ANameOfTheLongestLengthCanBeWritten) {
  TempFolder root;
  const std::string name = std::string(251, 'n') + ".pdf";
  std::string error;
  EXPECT_TRUE(WriteFileAtomically(root.File(name), "content", error)) << error;
  EXPECT_EQ(root.Read(name), "content");
}
#endif

TEST(FileIdentity, OnePathOrAnotherToTheSameFile) {
  TempFolder root;
  root.Write("table.csv", "name,q,l\n");
  fs::create_directory(PathFromUtf8(root.File("sub")));
  EXPECT_TRUE(IsSameFile(root.File("table.csv"), root.File("sub/../table.csv")));
  EXPECT_TRUE(IsSameFile(root.File("new.csv"), root.File("./new.csv")));  // neither exists yet
  EXPECT_FALSE(IsSameFile(root.File("table.csv"), root.File("new.csv")));
#ifndef _WIN32
  fs::create_symlink(root.File("table.csv"), root.File("link.csv"));
  fs::create_hard_link(root.File("table.csv"), root.File("hard.csv"));
  fs::create_directory_symlink(root.File("sub"), root.File("via"));
  EXPECT_TRUE(IsSameFile(root.File("link.csv"), root.File("table.csv")));
  EXPECT_TRUE(IsSameFile(root.File("hard.csv"), root.File("table.csv")));
  EXPECT_TRUE(IsSameFile(root.File("via/x.pdf"), root.File("sub/x.pdf")));
#endif
}

TEST(FileIdentity, WithinAFolder) {
  TempFolder root;
  fs::create_directory(PathFromUtf8(root.File("keisan")));
  EXPECT_TRUE(IsWithinFolder(root.File("keisan/1_A.txt"), root.File("keisan")));
  EXPECT_TRUE(IsWithinFolder(root.File("keisan"), root.File("keisan/")));
  EXPECT_TRUE(IsWithinFolder(root.File("x/../keisan/sub/f"), root.File("keisan")));
  EXPECT_FALSE(IsWithinFolder(root.File("keisan2/1_A.txt"), root.File("keisan")));
  EXPECT_FALSE(IsWithinFolder(root.File("table.csv"), root.File("keisan")));
  EXPECT_TRUE(IsWithinFolder(root.File("table.csv"), root.path()));
#ifndef _WIN32
  fs::create_directory_symlink(root.File("keisan"), root.File("link"));
  EXPECT_TRUE(IsWithinFolder(root.File("keisan/1_A.txt"), root.File("link")));
#endif
}

}  // namespace
}  // namespace sekora
