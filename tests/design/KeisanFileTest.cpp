#include <gtest/gtest.h>

#include <filesystem>

#include "DesignError.h"
#include "KeisanFile.h"
#include "ResultRow.h"
#include "TempFolder.h"

namespace sekora {
namespace {

KeisanRecord BoxRecord(std::int16_t status, double B, double H) {
  KeisanRecord r;
  r.Status = status;
  r.B = B;
  r.H = H;
  r.n1 = r.n2 = 0.02;
  return r;
}

KeisanRecord PipeRecord(std::int16_t status, double D) {
  KeisanRecord r;
  r.Status = status;
  r.Kind = KindPipe;
  r.D = D;
  r.n1 = r.n2 = 0.01;
  return r;
}

void Write(const testing::TempFolder& folder, Candidates records, std::int16_t excludeNg = 0) {
  DesignConditions c;
  c.CandidateCount = static_cast<std::int16_t>(records.size());
  c.ExcludeNg = excludeNg;
  KeisanFile(kFileModeWrite, records, c, folder.path());
}

Candidates ReadBack(const testing::TempFolder& folder, DesignConditions& c) {
  Candidates records;
  KeisanFile(kFileModeRead, records, c, folder.path());
  return records;
}

TEST(ResultsLine, HasTwentyFiveFieldsWithTheirPatterns) {
  EXPECT_EQ(ResultsLine(BoxRecord(0, 1.5, 1.2)).substr(0, 33), "0,0,1.500,1.200,0.000,0.020,0.020");
  EXPECT_EQ(ResultsLine(PipeRecord(0, 0.6)).substr(0, 33), "0,1,0.000,0.000,0.600,0.010,0.010");
  KeisanRecord r;
  r.Fric1 = 0.000123456;
  r.hf = 0.000123456;
  r.hReq = 0.19 * 0.25 + 0.123;
  EXPECT_EQ(ResultsLine(r),
            "0,0,0.000,0.000,0.000,0.000,0.000,0.000,0.000,0.000,0.000,0.000,0.000,0.000,0.000,"
            "0.000,0.000,0.000,0.00012,0.00000,0.000,0.000,0.000,0.000,0.171");
}

TEST(KeisanFile, RoundTripsWithTheRoundingOfTheFile) {
  testing::TempFolder folder;
  KeisanRecord r = BoxRecord(0, 1.0, 1.0);
  r.h1 = 0.6730000000000002;
  r.hReq = 0.19 * 0.25 + 0.123;
  r.Fric1 = 0.004674321;
  Write(folder, {r, PipeRecord(4, 0.6)});
  DesignConditions c;
  const Candidates back = ReadBack(folder, c);
  ASSERT_EQ(c.CandidateCount, 2);
  EXPECT_EQ(back[0].h1, 0.673);
  EXPECT_EQ(back[0].hReq, 0.171);
  EXPECT_EQ(back[0].Fric1, 0.00467);
  EXPECT_EQ(back[1].Status, StatusFreeboardOver);
  EXPECT_EQ(back[1].Kind, KindPipe);
  EXPECT_EQ(back[1].D, 0.6);
  // What was read back writes the same bytes again.
  const std::string first = folder.Read("Keisan.txt");
  Write(folder, back);
  EXPECT_EQ(folder.Read("Keisan.txt"), first);
}

TEST(KeisanFile, ExcludeNgWritesOnlyPassingCandidates) {
  testing::TempFolder folder;
  Write(folder, {BoxRecord(1, 0.6, 0.6), BoxRecord(0, 1.5, 1.2), PipeRecord(4, 0.6)}, 1);
  DesignConditions c;
  const Candidates back = ReadBack(folder, c);
  ASSERT_EQ(c.CandidateCount, 1);
  EXPECT_EQ(back[0].B, 1.5);

  Write(folder, {BoxRecord(2, 0.8, 0.8)}, 1);
  EXPECT_EQ(folder.Read("Keisan.txt"), "");
  Candidates untouched{BoxRecord(0, 9.0, 9.0)};
  KeisanFile(kFileModeRead, untouched, c, folder.path());
  EXPECT_EQ(c.CandidateCount, 0);
  EXPECT_EQ(untouched[0].B, 9.0);  // an empty file leaves the array as it was
}

TEST(KeisanFile, OtherModesDoNothing) {
  testing::TempFolder folder;
  Candidates records{BoxRecord(0, 1.0, 1.0)};
  DesignConditions c;
  c.CandidateCount = 1;
  KeisanFile(2, records, c, folder.path());
  EXPECT_FALSE(std::filesystem::exists(folder.File("Keisan.txt")));
}

TEST(KeisanFile, AMissingOrMalformedFileIsATypedError) {
  testing::TempFolder folder;
  DesignConditions c;
  Candidates records;
  EXPECT_THROW(KeisanFile(kFileModeRead, records, c, folder.path()), ResultsFileError);

  Write(folder, {BoxRecord(0, 1.0, 1.0)});
  std::string line = folder.Read("Keisan.txt");
  folder.Write("Keisan.txt", line + line.substr(0, line.rfind(',')) + "\r\n");
  try {
    KeisanFile(kFileModeRead, records, c, folder.path());
    FAIL() << "a line of 24 fields must be refused";
  } catch (const ResultsFileError& e) {
    EXPECT_NE(std::string(e.what()).find("2 行目"), std::string::npos) << e.what();
  }
  EXPECT_EQ(c.CandidateCount, 0);

  folder.Write("Keisan.txt", "99999," + line.substr(2));
  EXPECT_THROW(KeisanFile(kFileModeRead, records, c, folder.path()), ResultsFileError);
}

TEST(KeisanFile, AFailedWriteKeepsThePreviousFileAndLeavesNoTemporary) {
  testing::TempFolder folder;
  std::filesystem::create_directory(folder.File("Keisan.txt"));  // cannot be replaced by a file
  EXPECT_THROW(Write(folder, {BoxRecord(0, 1.0, 1.0)}), ResultsFileError);
  EXPECT_TRUE(std::filesystem::is_directory(folder.File("Keisan.txt")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
  DesignConditions c;
  Candidates none;
  c.CandidateCount = 0;
  EXPECT_THROW(KeisanFile(kFileModeWrite, none, c, folder.path() + "/missing"), ResultsFileError);
}

// A writer holds its temporary until it puts it in place. What nobody holds
// was left by a writer that is gone, wherever it ran: the next write in the
// folder, whatever file it writes, clears it. What is held is left alone,
// and its writer still puts it in place.
TEST(KeisanFile, AWriteClearsOnlyTheTemporariesNobodyHolds) {
  testing::TempFolder folder;
  const std::string abandonedFile = std::string(kTemporaryPrefix) + "1-0";
  const std::string abandonedFolder = std::string(kTemporaryPrefix) + "1-1";
  folder.Write(abandonedFile, "half a file");
  std::filesystem::create_directory(folder.File(abandonedFolder));
  folder.Write(abandonedFolder + "/1_A.txt", "half a set");
  StagedFile held;
  std::string error;
  ASSERT_TRUE(held.Stage(folder.File("report.pdf"), "being written", error)) << error;
  Write(folder, {BoxRecord(0, 1.0, 1.0)});
  EXPECT_FALSE(std::filesystem::exists(folder.File(abandonedFile)));
  EXPECT_FALSE(std::filesystem::exists(folder.File(abandonedFolder)));
  ASSERT_TRUE(held.Commit(error)) << error;
  EXPECT_EQ(folder.Read("report.pdf"), "being written");
  EXPECT_EQ(folder.Read("Keisan.txt").substr(0, 9), "0,0,1.000");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            2);
}

TEST(ReadSelectedRecord, ReadsTheChosenLineOrTheLastOne) {
  testing::TempFolder folder;
  Write(folder, {BoxRecord(0, 1.0, 1.0), BoxRecord(0, 1.2, 1.2), PipeRecord(0, 0.6)});
  DesignConditions c;
  c.CandidateCount = 3;
  KeisanRecord rec;
  ReadSelectedRecord(folder.path(), c, 2, rec);
  EXPECT_EQ(rec.B, 1.2);
  KeisanRecord last;
  ReadSelectedRecord(folder.path(), c, 0, last);
  EXPECT_EQ(last.D, 0.6);
  KeisanRecord beyond;
  ReadSelectedRecord(folder.path(), c, 9, beyond);
  EXPECT_EQ(beyond.D, 0.6);
  c.CandidateCount = 2;  // bound by the count of the list, not the file
  KeisanRecord bounded;
  ReadSelectedRecord(folder.path(), c, 9, bounded);
  EXPECT_EQ(bounded.B, 1.2);
  c.CandidateCount = 0;
  KeisanRecord untouched;
  ReadSelectedRecord(folder.path(), c, 1, untouched);
  EXPECT_EQ(untouched, KeisanRecord{});
  c.CandidateCount = 5;
  KeisanRecord missing;
  EXPECT_THROW(ReadSelectedRecord(folder.path(), c, 5, missing), ResultsFileError);
}

TEST(LookupStatus, IsTheFirstDigitOfTheLine) {
  testing::TempFolder folder;
  Write(folder, {BoxRecord(0, 1.0, 1.0), BoxRecord(4, 0.8, 0.8), BoxRecord(2, 0.8, 0.8)});
  EXPECT_EQ(LookupStatus(folder.path(), 1), 0);
  EXPECT_EQ(LookupStatus(folder.path(), 2), 4);
  EXPECT_EQ(LookupStatus(folder.path(), 3), 2);
  EXPECT_EQ(LookupStatus(folder.path(), 4), 0);
}

TEST(ResultRowText, RightAlignsTheNumberAndShowsSizeAndStatus) {
  EXPECT_EQ(ResultRowText(1, BoxRecord(0, 1.5, 1.2)), "    1|1.500×1.200|ＯＫ");
  EXPECT_EQ(ResultRowText(12, PipeRecord(4, 0.6)),
            "   12|φ0.600     |余裕高考慮にてオーバーしました");
  EXPECT_EQ(ResultRowText(3, BoxRecord(1, 0.6, 0.6)),
            "    3|0.600×0.600|吐口計算水深がオーバーしました");
  EXPECT_EQ(ResultRowText(4, BoxRecord(2, 0.6, 0.6)),
            "    4|0.600×0.600|呑口計算水深がオーバーしました");
  EXPECT_EQ(ResultRowText(5, BoxRecord(3, 0.6, 0.6)),
            "    5|0.600×0.600|呑口計算水深が求まりません");
  EXPECT_EQ(ResultRowText(10000, BoxRecord(9, 10.0, 1.2)), "10000|10.000×1.200|");
}

}  // namespace
}  // namespace sekora
