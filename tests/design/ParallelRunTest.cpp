// Runs on several threads give the results of a run on one, to the last bit
// and the last byte of Keisan.txt, and a run can be stopped from outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Catalogue.h"
#include "DesignError.h"
#include "KeisanFile.h"
#include "ParallelFor.h"
#include "RunDesign.h"
#include "TempFolder.h"
#include "TextLines.h"

namespace sekora {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

DesignConditions StandardConditions() {
  DesignConditions c;
  c.Q = 1.5;
  c.L = 20.0;
  return c;
}

Candidates Shipped(DesignConditions& c) {
  c.CandidateCount = 0;
  Candidates candidates;
  AppendBoxSections(ReadFile(SEKORA_DATA_DIR "/BOX.TXT"), "BOX.TXT", c, candidates);
  AppendPipeSections(ReadFile(SEKORA_DATA_DIR "/KAN.TXT"), "KAN.TXT", c, candidates);
  return candidates;
}

bool SameBits(const KeisanRecord& a, const KeisanRecord& b) {
  if (a.Status != b.Status || a.Kind != b.Kind) return false;
  const auto qa = Quantities(a);
  const auto qb = Quantities(b);
  for (int i = 0; i < kQuantityCount; ++i) {
    if (std::memcmp(qa[i], qb[i], sizeof(double)) != 0) return false;
  }
  return true;
}

// Boxes of every width and height from 0.3 m to 3.45 m by 0.05 m, and pipes
// from 0.3 m by 1 mm: ordinary sizes, many of them with long searches.
void WriteGeneratedCatalogue(const testing::TempFolder& folder, int boxes, int pipes) {
  std::string box;
  std::string kan;
  char line[32];
  for (int i = 0; i < boxes; ++i) {
    std::snprintf(line, sizeof line, "%5.3f %5.3f\r\n", 0.3 + 0.05 * (i % 64),
                  0.3 + 0.05 * (i / 64 % 64));
    box += line;
  }
  for (int i = 0; i < pipes; ++i) {
    std::snprintf(line, sizeof line, "%5.3f\r\n", 0.3 + 0.001 * (i % 2700));
    kan += line;
  }
  folder.Write("BOX.TXT", box);
  folder.Write("KAN.TXT", kan);
}

TEST(ParallelRun, ShippedCataloguesGiveTheSameBitsOnAnyNumberOfThreads) {
  for (const double z1 : {0.0, 0.5}) {
    DesignConditions c = StandardConditions();
    c.Z1 = z1;
    Candidates single = Shipped(c);
    DesignCandidates(single, c, RunOptions{.threads = 1});
    for (const unsigned threads : {2u, 3u, 8u}) {
      Candidates many = Shipped(c);
      DesignCandidates(many, c, RunOptions{.threads = threads});
      ASSERT_EQ(many.size(), single.size());
      for (std::size_t i = 0; i < single.size(); ++i) {
        EXPECT_TRUE(SameBits(many[i], single[i])) << "candidate " << i + 1 << ", " << threads;
      }
    }
  }
}

TEST(ParallelRun, ALargeCatalogueWritesTheSameKeisanTxtOnTwoAndFourThreads) {
  testing::TempFolder folder;
  WriteGeneratedCatalogue(folder, 1500, 1500);
  std::string results[3];
  const unsigned threads[3] = {1, 2, 4};
  for (int i = 0; i < 3; ++i) {
    DesignConditions c = StandardConditions();
    std::atomic<int> done{0};
    RunDesign(folder.path(), c, RunOptions{.threads = threads[i], .candidatesDone = &done});
    EXPECT_EQ(done.load(), 3000);
    results[i] = folder.Read("Keisan.txt");
  }
  EXPECT_EQ(std::count(results[0].begin(), results[0].end(), '\n'), 3000);
  EXPECT_EQ(results[1], results[0]);
  EXPECT_EQ(results[2], results[0]);
}

TEST(ParallelRun, ACancelledRunDesignsNothingMoreAndKeepsThePreviousResults) {
  testing::TempFolder folder;
  WriteGeneratedCatalogue(folder, 200, 200);
  folder.Write("Keisan.txt", "previous\r\n");
  const std::atomic<bool> cancel{true};
  std::atomic<int> done{0};
  DesignConditions c = StandardConditions();
  EXPECT_THROW(RunDesign(folder.path(), c,
                         RunOptions{.threads = 2, .candidatesDone = &done, .cancel = &cancel}),
               RunCancelledError);
  EXPECT_EQ(done.load(), 0);
  EXPECT_EQ(folder.Read("Keisan.txt"), "previous\r\n");
}

TEST(ParallelRun, ResultsReadOnSeveralThreadsNameTheFirstBadLine) {
  DesignConditions c = StandardConditions();
  Candidates candidates = Shipped(c);
  DesignCandidates(candidates, c);
  Candidates many;
  for (int i = 0; i < 30; ++i) many.insert(many.end(), candidates.begin(), candidates.end());
  c.CandidateCount = static_cast<std::int16_t>(many.size());
  const std::string text = ResultsText(many, c, 1);
  EXPECT_EQ(ResultsText(many, c, 3), text);
  EXPECT_EQ(ParseResultsText(text, "Keisan.txt", 3), ParseResultsText(text, "Keisan.txt", 1));

  std::vector<std::string> lines;
  for (const std::string_view line : SplitLines(text)) lines.emplace_back(line);
  lines[1499] = "0,0,1.000";
  lines[699] = "0,0,x";
  std::string damaged;
  for (const std::string& line : lines) damaged += line + "\r\n";
  try {
    ParseResultsText(damaged, "Keisan.txt", 4);
    FAIL() << "a damaged line was read";
  } catch (const ResultsFileError& e) {
    EXPECT_NE(std::string(e.what()).find("の 700 行目"), std::string::npos) << e.what();
  }
}

TEST(ParallelFor, DoesEveryIndexOnceAndPassesOnTheFirstFailure) {
  for (const unsigned threads : {1u, 2u, 5u}) {
    std::vector<std::atomic<int>> visits(1000);
    ParallelFor(visits.size(), threads, 7, [&](std::size_t i) { ++visits[i]; });
    for (const auto& v : visits) EXPECT_EQ(v.load(), 1);
  }
  // On one thread the hand-out stops right after the failing index.
  int calls = 0;
  EXPECT_THROW(ParallelFor(1000, 1, 1,
                           [&](std::size_t i) {
                             ++calls;
                             if (i == 10) throw std::runtime_error("stop");
                           }),
               std::runtime_error);
  EXPECT_EQ(calls, 11);
  // On several, the others stop at their next hand-out; each other call
  // takes a millisecond, far longer than the failure takes to be seen.
  std::atomic<int> sharedCalls{0};
  EXPECT_THROW(ParallelFor(1000, 3, 1,
                           [&](std::size_t i) {
                             ++sharedCalls;
                             if (i == 10) throw std::runtime_error("stop");
                             std::this_thread::sleep_for(std::chrono::milliseconds(1));
                           }),
               std::runtime_error);
  EXPECT_LT(sharedCalls.load(), 500);
}

}  // namespace
}  // namespace sekora
