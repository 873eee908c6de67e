#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Catalogue.h"
#include "DesignError.h"
#include "KeisanFile.h"
#include "Paths.h"
#include "RunDesign.h"
#include "Sections.h"
#include "TempFolder.h"

namespace sekora {
namespace {

using testing::Box;
using testing::Conditions;
using testing::Design;
using testing::Pipe;

TEST(RunDesign, BoxOneByOneBalancesAndPasses) {
  const KeisanRecord r = Design(Box(1.0, 1.0), Conditions(1.0));
  EXPECT_EQ(r.Status, StatusOk);
  EXPECT_EQ(r.n1, 0.02);
  EXPECT_EQ(r.n2, 0.02);
  EXPECT_EQ(r.h2, 0.467);
  EXPECT_EQ(r.h1, 0.6730000000000002);
  EXPECT_EQ(r.A1, 0.673);
  EXPECT_EQ(r.FricQL, 5.0);
  EXPECT_EQ(r.Fric1, 0.00467);
  EXPECT_EQ(r.Fric2, 0.01223);
  EXPECT_EQ(r.hf, 0.085);
  EXPECT_EQ(r.E1, 0.786);
  EXPECT_EQ(r.E2, 0.786);
  EXPECT_EQ(r.dE, 0.0);
  EXPECT_EQ(r.hReq, 0.7730000000000001);
}

TEST(RunDesign, PipeOfOneMetreBalancesAndPasses) {
  const KeisanRecord r = Design(Pipe(1.0), Conditions(1.0));
  EXPECT_EQ(r.Status, StatusOk);
  EXPECT_EQ(r.n1, 0.01);
  EXPECT_EQ(r.h2, 0.5740000000000004);
  EXPECT_EQ(r.h1, 0.6630000000000005);
  EXPECT_EQ(r.hf, 0.022);
  EXPECT_EQ(r.E1, 0.83);
  EXPECT_EQ(r.E2, 0.83);
  EXPECT_EQ(r.hReq, 0.8530000000000004);
}

TEST(RunDesign, BalancedBoxWithoutFreeboardFailsTheUsableHeight) {
  const KeisanRecord r = Design(Box(0.8, 0.8), Conditions(1.0));
  EXPECT_EQ(r.h2, 0.542);
  EXPECT_EQ(r.h1, 0.7900000000000003);
  EXPECT_EQ(r.E1, 0.918);
  EXPECT_EQ(r.hReq, 0.8700000000000002);
  EXPECT_EQ(r.Status, StatusFreeboardOver);
}

TEST(RunDesign, ASearchClimbingAboveTheBoxFails) {
  const KeisanRecord r = Design(Box(0.8, 0.8), Conditions(0.5, 10.0, 0.0, 0.5));
  EXPECT_EQ(r.h2, 0.342);
  EXPECT_EQ(r.h1, 0.8000000000000004);
  EXPECT_EQ(r.Status, StatusInletOver);
  EXPECT_EQ(r.dE, 0.0);
  EXPECT_EQ(r.hReq, 0.0);
}

TEST(RunDesign, RoundedEnergiesThatStraddleSwingToTheStepLimit) {
  const KeisanRecord r = Design(Box(1.0, 1.0), Conditions(0.5, 10.0, 0.5));
  EXPECT_EQ(r.h2, 0.294);
  EXPECT_EQ(r.Status, StatusInletNotFound);
  EXPECT_NEAR(r.h1, 0.1, 1e-9);  // 1002 moves between 0.101 and 0.100
  EXPECT_EQ(r.E1, 1.851);        // the last evaluation, at 0.101
  EXPECT_EQ(r.E2, 1.829);
  EXPECT_EQ(r.hReq, 0.0);
}

TEST(RunDesign, AnOutletThatDoesNotFitSkipsTheSearch) {
  const KeisanRecord r = Design(Box(0.8, 0.8), Conditions(2.0));
  EXPECT_EQ(r.Status, StatusOutletOver);
  EXPECT_EQ(r.h2, 0.861);
  EXPECT_EQ(r.A2, 0.0);
  EXPECT_EQ(r.h1, 0.0);
  EXPECT_EQ(r.hReq, 0.0);
}

TEST(RunDesign, AnOutletAreaThatRoundsToZeroIsAnOutletFailure) {
  const KeisanRecord r = Design(Box(3.0, 3.0), Conditions(0.00001));
  EXPECT_EQ(r.Status, StatusOutletOver);
}

TEST(RunDesign, ASearchThatReachesZeroDepthEndsWithoutBalance) {
  // A high inlet pushes the search down to the floor of the section.
  const KeisanRecord box = Design(Box(3.0, 3.0), Conditions(0.2, 10.0, 5.0));
  EXPECT_EQ(box.Status, StatusInletNotFound);
  const KeisanRecord pipe = Design(Pipe(3.0), Conditions(0.2, 10.0, 5.0));
  EXPECT_EQ(pipe.Status, StatusInletNotFound);
  for (const KeisanRecord& r : {box, pipe}) {
    for (const double* q : Quantities(r)) EXPECT_TRUE(std::isfinite(*q));
  }
}

TEST(RunDesign, EveryCandidateKeepsItsOwnOutcome) {
  Candidates c{Box(0.8, 0.8), Box(1.0, 1.0), Pipe(0.3), Pipe(1.0)};
  DesignCandidates(c, Conditions(1.0));
  EXPECT_EQ(c[0].Status, StatusFreeboardOver);
  EXPECT_EQ(c[1].Status, StatusOk);
  EXPECT_EQ(c[2].Status, StatusOutletOver);
  EXPECT_EQ(c[3].Status, StatusOk);
  EXPECT_EQ(c[2].B, 0.0);
  EXPECT_EQ(c[1].D, 0.0);
}

TEST(RunDesign, WritesEveryCandidateToKeisanTxt) {
  testing::TempFolder folder;
  folder.Write("BOX.TXT", "' boxes\r\n1.000 1.000\r\n0.800 0.800\r\n");
  folder.Write("KAN.TXT", "' pipes\r\n1.000\r\n0.300\r\n");
  const DesignRun run = RunDesign(folder.path(), Conditions(1.0));
  EXPECT_EQ(run.conditions.CandidateCount, 4);
  EXPECT_EQ(folder.Read("Keisan.txt"),
            "0,0,1.000,1.000,0.000,0.020,0.020,0.673,0.673,2.346,0.287,1.486,0.467,0.467,1.934,"
            "0.241,2.141,5.000,0.00467,0.01223,0.085,0.786,0.786,0.000,0.773\r\n"
            "4,0,0.800,0.800,0.000,0.020,0.020,0.790,0.632,2.380,0.266,1.582,0.542,0.434,1.884,"
            "0.230,2.304,5.000,0.00585,0.01507,0.105,0.918,0.918,0.000,0.870\r\n"
            "0,1,0.000,0.000,1.000,0.010,0.010,0.663,0.553,1.903,0.291,1.808,0.574,0.467,1.720,"
            "0.272,2.141,5.000,0.00170,0.00260,0.022,0.830,0.830,0.000,0.853\r\n"
            "1,1,0.000,0.000,0.300,0.010,0.010,0.000,0.000,0.000,0.000,0.000,0.300,0.000,0.000,"
            "0.000,0.000,0.000,0.00000,0.00000,0.000,0.000,0.000,0.000,0.000\r\n");
}

TEST(RunDesign, ReturnsItsRecordsAsTheFileHoldsThem) {
  testing::TempFolder folder;
  folder.Write("BOX.TXT", "1.000 1.000\r\n0.800 0.800\r\n");
  folder.Write("KAN.TXT", "1.000\r\n0.300\r\n");
  DesignConditions c = Conditions(1.0);
  c.ExcludeNg = 1;
  const DesignRun calculated = CalculateRun(folder.path(), c);
  EXPECT_FALSE(std::filesystem::exists(folder.File("Keisan.txt")));
  const DesignRun run = RunDesign(folder.path(), c);
  EXPECT_EQ(run.resultsText, calculated.resultsText);
  EXPECT_EQ(run.resultsText, folder.Read("Keisan.txt"));
  // Only the passing box and pipe were written; the count is of lines, and
  // the run knows how many it designed.
  EXPECT_EQ(run.conditions.CandidateCount, 2);
  EXPECT_EQ(run.designedCount, 4u);
  EXPECT_EQ(run.conditions.Q, 1.0);
  EXPECT_EQ(c.CandidateCount, 0);
  Candidates read;
  DesignConditions readBack;
  KeisanFile(kFileModeRead, read, readBack, folder.path());
  ASSERT_EQ(run.records.size(), read.size());
  for (std::size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(std::memcmp(&run.records[i], &read[i], sizeof read[i]), 0) << i;
  }
  // The rounding of the file, not the exact search value 0.6730000000000002.
  EXPECT_EQ(run.records[0].h1, 0.673);
}

TEST(RunDesign, WithoutCandidatesWritesAnEmptyFile) {
  testing::TempFolder folder;
  folder.Write("BOX.TXT", "' no boxes\r\n");
  folder.Write("KAN.TXT", "");
  folder.Write("Keisan.txt", "old\r\n");
  DesignConditions c = Conditions(1.0);
  RunDesign(folder.path(), c);
  EXPECT_EQ(folder.Read("Keisan.txt"), "");
}

TEST(RunDesign, AnAbandonedRunKeepsThePreviousResults) {
  testing::TempFolder folder;
  folder.Write("BOX.TXT", "1.000 1.000\r\n0.000 1.000\r\n");
  folder.Write("KAN.TXT", "1.000\r\n");
  folder.Write("Keisan.txt", "previous\r\n");
  DesignConditions c = Conditions(1.0);
  c.CandidateCount = 66;  // the line count of the results the windows show
  EXPECT_THROW(RunDesign(folder.path(), c), CatalogueError);
  EXPECT_EQ(folder.Read("Keisan.txt"), "previous\r\n");
  EXPECT_EQ(c.CandidateCount, 66);
}

TEST(DesignCandidates, ACandidateWithQuantitiesThatAreNotFiniteNeverPasses) {
  // A usable-height ratio that overflowed: the freeboard is -infinity.
  DesignConditions c = Conditions(1.0);
  c.BoxRatio = HUGE_VAL;
  c.CircleRatio = std::nan("");
  const KeisanRecord box = Design(Box(1.0, 1.0), c);
  EXPECT_EQ(box.Status, StatusFreeboardOver);
  EXPECT_EQ(box.hReq, 0.0);  // nothing that is not finite reaches the file
  EXPECT_EQ(Design(Pipe(1.0), c).Status, StatusFreeboardOver);
  // An energy correction coefficient that overflowed: no balance is found.
  c = Conditions(1.0);
  c.Alpha = HUGE_VAL;
  EXPECT_NE(Design(Box(1.0, 1.0), c).Status, StatusOk);
}

// Windows opens files by wide-character paths: a folder named in Japanese
// must work there as on Linux, and a second run must replace the results
// of the first (rename cannot replace a file on Windows).
TEST(RunDesign, ASecondRunReplacesTheResultsInAFolderWithAJapaneseName) {
  testing::TempFolder root;
  std::filesystem::create_directory(PathFromUtf8(root.File("函渠 計算結果")));
  root.Write("函渠 計算結果/BOX.TXT", "1.000 1.000\r\n0.800 0.800\r\n");
  root.Write("函渠 計算結果/KAN.TXT", "1.000\r\n");
  const std::string folder = root.File("函渠 計算結果");
  DesignConditions both = Conditions(1.0);
  RunDesign(folder, both);
  const std::string first = root.Read("函渠 計算結果/Keisan.txt");
  EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 3);
  DesignConditions pipes = Conditions(1.0);
  pipes.ShapeOption = ShapePipeOnly;
  RunDesign(folder, pipes);
  const std::string second = root.Read("函渠 計算結果/Keisan.txt");
  EXPECT_EQ(second.substr(0, 8), "0,1,0.00");
  EXPECT_EQ(std::count(second.begin(), second.end(), '\n'), 1);
  Candidates records;
  KeisanFile(kFileModeRead, records, pipes, folder);
  EXPECT_EQ(pipes.CandidateCount, 1);
  // Only the catalogues and the results are left: no temporary file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(PathFromUtf8(folder)),
                          std::filesystem::directory_iterator()),
            3);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// FNV-1a over the status, kind and exact bits of every quantity of every
// candidate designed from the shipped catalogues.
std::uint64_t ShippedRunDigest(double Q, double L, double Z1) {
  DesignConditions c = Conditions(Q, L, Z1);
  Candidates candidates;
  AppendBoxSections(ReadFile(SEKORA_DATA_DIR "/BOX.TXT"), "BOX.TXT", c, candidates);
  AppendPipeSections(ReadFile(SEKORA_DATA_DIR "/KAN.TXT"), "KAN.TXT", c, candidates);
  DesignCandidates(candidates, c);
  std::uint64_t digest = 1469598103934665603ull;
  auto mix = [&digest](std::uint64_t v) {
    for (int i = 0; i < 8; ++i) digest = (digest ^ ((v >> (8 * i)) & 0xff)) * 1099511628211ull;
  };
  for (const KeisanRecord& r : candidates) {
    mix(static_cast<std::uint64_t>(r.Status) << 16 | static_cast<std::uint64_t>(r.Kind));
    for (const double* q : Quantities(r)) {
      std::uint64_t bits = 0;
      std::memcpy(&bits, q, sizeof bits);
      mix(bits);
    }
  }
  return digest;
}

// Pins every bit of two whole runs, so that a change meant to make the
// calculation faster cannot change a result unnoticed.
TEST(RunDesign, ShippedCatalogueRunsAreUnchangedToTheLastBit) {
  EXPECT_EQ(ShippedRunDigest(1.5, 20.0, 0.0), 18187842713122191013ull);
  EXPECT_EQ(ShippedRunDigest(0.5, 10.0, 0.5), 133335298219689154ull);
}

}  // namespace
}  // namespace sekora
