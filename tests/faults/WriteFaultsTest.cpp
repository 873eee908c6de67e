// Writing Keisan.txt when things go wrong: a folder that cannot take the
// file, a folder that disappears, a write that fails part way, a process
// killed while it writes. The previous file stays byte for byte and no
// temporary file is left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include "AtomicFile.h"
#include "Catalogue.h"
#include "DesignError.h"
#include "FailingWriter.h"
#include "KeisanFile.h"
#include "RunDesign.h"
#include "TempFolder.h"

namespace sekora {
namespace {

namespace fs = std::filesystem;

DesignConditions Conditions(double Q) {
  DesignConditions c;
  c.Q = Q;
  c.L = 20.0;
  return c;
}

// The discharge of the run that fails; its file would differ from the
// previous run's.
constexpr double kNewQ = 2.5;

void CopyCatalogues(const std::string& folder) {
  for (const char* name : {kBoxCatalogueName, kPipeCatalogueName}) {
    fs::copy_file(fs::path(SEKORA_DATA_DIR) / name, fs::path(folder) / name);
  }
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::string ReadFile(const std::string& path) {
  std::string content;
  std::ifstream in(path, std::ios::binary);
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return content;
}

// A folder with the shipped catalogues and the Keisan.txt of a first run.
class ResultsFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    CopyCatalogues(folder_.path());
    DesignConditions first = Conditions(1.5);
    RunDesign(folder_.path(), first);
    previous_ = folder_.Read(kResultsFileName);
    ASSERT_FALSE(previous_.empty());
  }

  // The Keisan.txt a run with kNewQ writes when nothing goes wrong.
  static std::string NewResults() {
    testing::TempFolder clean;
    CopyCatalogues(clean.path());
    DesignConditions c = Conditions(kNewQ);
    RunDesign(clean.path(), c);
    return clean.Read(kResultsFileName);
  }

  // A run with kNewQ into `folder` fails with an error naming the file.
  static void ExpectRunFails(const std::string& folder) {
    DesignConditions c = Conditions(kNewQ);
    try {
      RunDesign(folder, c);
      ADD_FAILURE() << "the run did not fail";
    } catch (const ResultsFileError& e) {
      EXPECT_NE(std::string(e.what()).find(kResultsFileName), std::string::npos) << e.what();
    }
  }

  // `folder` holds the catalogues and the previous results, nothing else.
  void ExpectPreviousKept(const std::string& folder) const {
    EXPECT_EQ(ReadFile((fs::path(folder) / kResultsFileName).string()), previous_);
    EXPECT_EQ(FilesIn(folder),
              (std::set<std::string>{kBoxCatalogueName, kPipeCatalogueName, kResultsFileName}));
  }

  testing::TempFolder folder_;
  std::string previous_;
};

TEST_F(ResultsFolder, AFolderThatIsAFileIsRefused) {
  // The catalogue file given as the folder of the results.
  Candidates none;
  DesignConditions c = Conditions(kNewQ);
  try {
    KeisanFile(kFileModeWrite, none, c, folder_.File(kBoxCatalogueName));
    ADD_FAILURE() << "a file was taken for a folder";
  } catch (const ResultsFileError& e) {
    EXPECT_NE(std::string(e.what()).find(kResultsFileName), std::string::npos);
  }
  ExpectPreviousKept(folder_.path());
}

TEST_F(ResultsFolder, AFolderWhoseParentIsMissingIsRefused) {
  const std::string missing = folder_.File("missing");
  Candidates none;
  DesignConditions c = Conditions(kNewQ);
  EXPECT_THROW(KeisanFile(kFileModeWrite, none, c, missing + "/deeper"), ResultsFileError);
  EXPECT_FALSE(fs::exists(missing));
  ExpectPreviousKept(folder_.path());
}

TEST_F(ResultsFolder, AFolderThatTakesNoNewFileIsRefused) {
  // /proc takes no new file, whoever asks; a read-only folder takes none
  // unless the tests run as root.
  Candidates none;
  DesignConditions c = Conditions(kNewQ);
  EXPECT_THROW(KeisanFile(kFileModeWrite, none, c, "/proc"), ResultsFileError);
  if (::geteuid() == 0) return;
  ASSERT_EQ(::chmod(folder_.path().c_str(), 0555), 0);
  ExpectRunFails(folder_.path());
  ::chmod(folder_.path().c_str(), 0755);
  ExpectPreviousKept(folder_.path());
}

TEST_F(ResultsFolder, AWriteFailingPartWayKeepsThePreviousFile) {
  const std::size_t size = NewResults().size();
  for (const std::size_t budget :
       {std::size_t{0}, std::size_t{1}, std::size_t{100}, size / 2, size - 1}) {
    SCOPED_TRACE(budget);
    ScopedFileWriter failing(testing::FailingAfter(budget));
    ExpectRunFails(folder_.path());
    ExpectPreviousKept(folder_.path());
  }
  // With the writer restored, the next run writes its results.
  DesignConditions c = Conditions(kNewQ);
  RunDesign(folder_.path(), c);
  EXPECT_EQ(folder_.Read(kResultsFileName), NewResults());
}

TEST_F(ResultsFolder, AWriteThatTakesNoBytesFailsInsteadOfRetryingForEver) {
  ScopedFileWriter stuck([](int, const char*, std::size_t) -> long { return 0; });
  ExpectRunFails(folder_.path());
  ExpectPreviousKept(folder_.path());
}

TEST_F(ResultsFolder, ShortAndInterruptedWritesStillGiveTheWholeFile) {
  bool interrupt = true;
  ScopedFileWriter choppy([&](int fd, const char* data, std::size_t size) -> long {
    interrupt = !interrupt;
    if (interrupt) {
      errno = EINTR;
      return -1;
    }
    return ::write(fd, data, std::min<std::size_t>(size, 7));
  });
  DesignConditions c = Conditions(kNewQ);
  RunDesign(folder_.path(), c);
  EXPECT_EQ(folder_.Read(kResultsFileName), NewResults());
  EXPECT_EQ(FilesIn(folder_.path()).size(), 3u);
}

TEST_F(ResultsFolder, AFolderDeletedWhileWritingIsNotMadeAgain) {
  const std::string folder = folder_.path();
  ScopedFileWriter deleting([&](int fd, const char* data, std::size_t size) -> long {
    fs::remove_all(folder);
    return ::write(fd, data, size);
  });
  ExpectRunFails(folder);
  EXPECT_FALSE(fs::exists(folder));
}

TEST_F(ResultsFolder, AFolderMovedWhileWritingKeepsItsFileAndNoTemporary) {
  const std::string folder = folder_.path();
  const std::string moved = folder + "-moved";
  ScopedFileWriter moving([&](int fd, const char* data, std::size_t size) -> long {
    if (fs::exists(folder)) fs::rename(folder, moved);
    return ::write(fd, data, size);
  });
  ExpectRunFails(folder);
  ExpectPreviousKept(moved);
  EXPECT_FALSE(fs::exists(folder));
  fs::remove_all(moved);
}

// The temporary files of process `pid` in `folder`, with their sizes.
std::uintmax_t TemporaryBytesOf(pid_t pid, const std::string& folder) {
  const std::string prefix = std::string(kTemporaryPrefix) + std::to_string(pid) + "-";
  std::uintmax_t bytes = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind(prefix, 0) == 0) bytes += entry.file_size();
  }
  return bytes;
}

// Runs a calculation in a child process whose writer crawls, kills the
// child once `killAt` bytes of the new file are out, and returns.
void KillWhileWriting(const std::string& folder, std::uintmax_t killAt) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ScopedFileWriter crawling([](int fd, const char* data, std::size_t size) -> long {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      return ::write(fd, data, std::min<std::size_t>(size, 32));
    });
    DesignConditions c = Conditions(kNewQ);
    RunDesign(folder, c);
    ::_exit(0);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (TemporaryBytesOf(child, folder) < killAt && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child finished before it was killed";
  EXPECT_GT(TemporaryBytesOf(child, folder), 0u);
}

TEST_F(ResultsFolder, AProcessKilledWhileWritingNeverLeavesATruncatedFile) {
  const std::string complete = NewResults();
  for (const std::uintmax_t killAt : {std::uintmax_t{1}, complete.size() / 2}) {
    SCOPED_TRACE(killAt);
    KillWhileWriting(folder_.path(), killAt);
    EXPECT_EQ(folder_.Read(kResultsFileName), previous_);
  }
  // The next run replaces the file and clears what the killed ones left.
  DesignConditions c = Conditions(kNewQ);
  RunDesign(folder_.path(), c);
  EXPECT_EQ(folder_.Read(kResultsFileName), complete);
  EXPECT_EQ(FilesIn(folder_.path()),
            (std::set<std::string>{kBoxCatalogueName, kPipeCatalogueName, kResultsFileName}));
}

}  // namespace
}  // namespace sekora
