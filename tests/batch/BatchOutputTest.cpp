#include <gtest/gtest.h>

#include "BatchOutput.h"
#include "CsvReader.h"
#include "KeisanRecord.h"

namespace sekora {
namespace {

std::string FileName(std::size_t number, const std::string& name) {
  Culvert c;
  c.number = number;
  c.name = name;
  return ResultsFileNameOf(c);
}

TEST(BatchOutput, ResultsFileNamesAreSafeOnEveryFileSystem) {
  EXPECT_EQ(FileName(1, "C-1"), "1_C-1.txt");
  EXPECT_EQ(FileName(2, "a/b\\c:d*e?f\"g<h>i|j"), "2_a_b_c_d_e_f_g_h_i_j.txt");
  EXPECT_EQ(FileName(3, "two\nlines\ttab"), "3_two_lines_tab.txt");
  EXPECT_EQ(FileName(4, " .hidden. "), "4_hidden.txt");
  EXPECT_EQ(FileName(5, ".."), "5.txt");
  EXPECT_EQ(FileName(6, "函渠 東"), "6_函渠 東.txt");
  // A long name is cut to 100 bytes, never inside a character (函 is 3 bytes).
  std::string longName = "xy";
  for (int i = 0; i < 50; ++i) longName += "函";
  EXPECT_EQ(FileName(7, longName), "7_" + longName.substr(0, 2 + 32 * 3) + ".txt");
}

// The lines of a CSV text, its byte-order mark and CR LF ends taken off.
std::vector<std::string> CsvLines(const std::string& csv) {
  std::vector<std::string> lines;
  std::size_t start = 3;  // after the byte-order mark
  for (std::size_t end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(csv.substr(start, end - start));
  }
  return lines;
}

RecommendedSection Recommended(std::int16_t kind, double size, std::size_t row) {
  KeisanRecord rec;
  rec.Kind = kind;
  rec.B = rec.H = rec.D = size;
  rec.h2 = 0.5;
  rec.h1 = 0.6;
  rec.hReq = 0.7;
  return {rec, row, size - 0.7, (size - 0.7) / size * 100.0};
}

TEST(BatchOutput, TheSummaryHasJapaneseHeadingsAndTellsNoneFromNotCalculated) {
  std::vector<Culvert> culverts(3);
  culverts[0] = {1, 2, "both, passing", {}};
  culverts[1] = {2, 3, "pipes only", {}};
  culverts[1].conditions.ShapeOption = ShapePipeOnly;
  culverts[2] = {3, 4, "none passing", {}};
  std::vector<CulvertResult> results(3);
  results[0] = {66, 2, Recommended(KindBox, 1.0, 7), Recommended(KindPipe, 1.1, 55), false, "", {}};
  results[1] = {25, 1, {}, Recommended(KindPipe, 1.1, 12), false, "", {}};
  results[2] = {66, 0, {}, {}, true, "", {}};
  const std::string csv = SummaryCsv(culverts, results, false);
  EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
  const std::vector<std::string> lines = CsvLines(csv);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0],
            "名前,計画流量Q,延長L,呑口部敷高Z1,吐口部敷高Z2,重力加速度g,エネルギー補正係数α,"
            "ボックス余裕率,円形管余裕率,形状,計算した断面数,ＯＫ数,"
            "推奨ボックス,行番号,h2,h1,必要高,余裕(m),余裕(%),"
            "推奨円形管,行番号,h2,h1,必要高,余裕(m),余裕(%),"
            "ボックス必要高の水深,円形管必要高の水深,hf丸め注意,計算結果ファイル");
  EXPECT_EQ(lines[1],
            "\"both, passing\",0,0,0,0,9.8,1,0.9,0.81,both,66,2,"
            "1.000×1.000,7,0.500,0.600,0.700,0.300,30.00,φ1.100,55,0.500,0.600,0.700,0.400,36.36,"
            "h1,h1,0,");
  EXPECT_EQ(lines[2],
            "pipes only,0,0,0,0,9.8,1,0.9,0.81,pipe,25,1,"
            "対象外,,,,,,,φ1.100,12,0.500,0.600,0.700,0.400,36.36,,h1,0,");
  EXPECT_EQ(lines[3], "none passing,0,0,0,0,9.8,1,0.9,0.81,both,66,0,なし,,,,,,,なし,,,,,,,,,1,");
}

// The summary read back as a spreadsheet reads it: a name cell whose first
// character would start a formula (=, +, -, @, a tab, a carriage return)
// begins with an apostrophe, which shows the name as text; other names and
// the numbers (a negative level too) are written as they are.
TEST(BatchOutput, NoNameCellIsRunAsAFormula) {
  const std::vector<std::string> names = {
      "=1+1", "+81 3",    "-5",     "@SUM(A1:A9)", "\tx", "\rx", "=cmd|' /C calc'!A0",
      "C-1",  "函渠, 東", "'quoted"};
  std::vector<Culvert> culverts;
  for (const std::string& name : names) {
    Culvert c;
    c.number = culverts.size() + 1;
    c.name = name;
    c.conditions.Z1 = -0.25;
    culverts.push_back(c);
  }
  const std::vector<CulvertResult> results(culverts.size());
  const std::string csv = SummaryCsv(culverts, results, false);
  CsvReader reader(csv);
  CsvRecord row;
  ASSERT_TRUE(reader.Next(row));  // the header
  for (const std::string& name : names) {
    ASSERT_TRUE(reader.Next(row));
    const std::string cell = row.cells.at(0).text;
    const bool formula = std::string_view("=+-@\t\r").find(name.front()) != std::string::npos;
    if (formula) {
      EXPECT_EQ(cell.front(), '\'') << name;
    } else {
      EXPECT_EQ(cell, name);
    }
    EXPECT_EQ(row.cells.at(3).text, "-0.25");
  }
}

TEST(BatchOutput, ConditionsReadBackAsTheSameValue) {
  EXPECT_EQ(ConditionText(1.5), "1.5");
  EXPECT_EQ(ConditionText(20.0), "20");
  EXPECT_EQ(ConditionText(-0.25), "-0.25");
  EXPECT_EQ(ConditionText(0.81), "0.81");
  EXPECT_EQ(ShapeName(ShapeBoth), "both");
  EXPECT_EQ(ShapeName(ShapeBoxOnly), "box");
  EXPECT_EQ(ShapeName(ShapePipeOnly), "pipe");
}

RecommendedSection Section(std::size_t row, double B, double H, double h1, double h2, double hReq) {
  RecommendedSection s;
  s.record.Kind = KindBox;
  s.record.B = B;
  s.record.H = H;
  s.record.h1 = h1;
  s.record.h2 = h2;
  s.record.hReq = hReq;
  s.row = row;
  s.margin = H - hReq;
  s.marginPercent = (H - hReq) / H * 100.0;
  return s;
}

TEST(BatchOutput, SummaryEndsWithTheDepthsCheckedTheFrictionNoteAndTheResultsFile) {
  Culvert steep;
  steep.number = 1;
  steep.name = "steep";
  steep.conditions.Q = 3.3224;
  steep.conditions.L = 20.104;
  Culvert none;
  none.number = 2;
  none.name = "none";
  none.conditions.Q = 10.0;
  none.conditions.L = 10.0;
  CulvertResult steepResult;
  steepResult.box = Section(2, 1.2, 1.2, 0.222, 0.921, 1.041);  // checked on h2
  steepResult.pipe = Section(5, 1.0, 1.0, 0.673, 0.467, 0.773);
  CulvertResult noneResult;
  noneResult.frictionRoundingNote = true;
  const std::string csv = SummaryCsv({steep, none}, {steepResult, noneResult}, true);
  const std::size_t headerEnd = csv.find("\r\n");
  const std::string headingsTail =
      ",ボックス必要高の水深,円形管必要高の水深,hf丸め注意,計算結果ファイル";
  EXPECT_EQ(csv.substr(headerEnd - headingsTail.size(), headingsTail.size()), headingsTail);
  const std::size_t firstEnd = csv.find("\r\n", headerEnd + 2);
  EXPECT_EQ(csv.substr(firstEnd - 20, 20), ",h2,h1,0,1_steep.txt");
  EXPECT_EQ(csv.substr(csv.size() - 17), ",,,1,2_none.txt\r\n");
  // Without results files the last field stays empty.
  EXPECT_TRUE(SummaryCsv({none}, {noneResult}, false).ends_with(",,,1,\r\n"));
}

}  // namespace
}  // namespace sekora
