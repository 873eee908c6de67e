#include <gtest/gtest.h>

#include <fstream>

#include "../AddressSanitizer.h"
#include "BatchTable.h"
#include "CsvReader.h"

namespace sekora {
namespace {

// The message of the error that reading `table` throws.
std::string Refusal(std::string_view table) {
  try {
    ReadBatchTable(table);
  } catch (const std::exception& e) {
    return e.what();
  }
  ADD_FAILURE() << "no refusal for: " << table;
  return "";
}

TEST(BatchTable, ColumnsInAnyOrderAndEmptyCellsTakeTheMainWindowDefaults) {
  const std::vector<Culvert> culverts = ReadBatchTable(
      " Shape ,L,name,q,z1,z2,g,alpha,box_ratio,circle_ratio\r\n"
      "PIPE,20,\"C-1, main\", 1.5 ,0.5,-0.25,9.81,1.1,0.85,.8\r\n"
      ",,,,,,,,,\r\n"
      "box,10,C-2,2,,,,,,\r\n"
      ",.5,C-3,+3.,,,,,,\r\n");
  ASSERT_EQ(culverts.size(), 3u);
  const Culvert& c1 = culverts[0];
  EXPECT_EQ(c1.name, "C-1, main");
  EXPECT_EQ(c1.number, 1u);
  EXPECT_EQ(c1.line, 2u);
  EXPECT_EQ(c1.conditions.Q, 1.5);
  EXPECT_EQ(c1.conditions.L, 20.0);
  EXPECT_EQ(c1.conditions.Z1, 0.5);
  EXPECT_EQ(c1.conditions.Z2, -0.25);
  EXPECT_EQ(c1.conditions.g, 9.81);
  EXPECT_EQ(c1.conditions.Alpha, 1.1);
  EXPECT_EQ(c1.conditions.BoxRatio, 0.85);
  EXPECT_EQ(c1.conditions.CircleRatio, 0.8);
  EXPECT_EQ(c1.conditions.ShapeOption, ShapePipeOnly);
  EXPECT_EQ(culverts[1].conditions.ShapeOption, ShapeBoxOnly);
  EXPECT_EQ(culverts[1].line, 4u);  // the blank row is skipped
  const DesignConditions defaults;
  const DesignConditions& c3 = culverts[2].conditions;
  EXPECT_EQ(culverts[2].number, 3u);
  EXPECT_EQ(c3.Q, 3.0);
  EXPECT_EQ(c3.L, 0.5);
  EXPECT_EQ(c3.Z1, defaults.Z1);
  EXPECT_EQ(c3.Z2, defaults.Z2);
  EXPECT_EQ(c3.g, 9.8);
  EXPECT_EQ(c3.Alpha, 1.0);
  EXPECT_EQ(c3.BoxRatio, 0.9);
  EXPECT_EQ(c3.CircleRatio, 0.81);
  EXPECT_EQ(c3.ShapeOption, ShapeBoth);
  EXPECT_EQ(c3.ExcludeNg, 0);
}

TEST(BatchTable, ShortRowsLeaveTheirLastColumnsEmpty) {
  const std::vector<Culvert> culverts = ReadBatchTable("name,q,l,g\nA,1,2\n");
  ASSERT_EQ(culverts.size(), 1u);
  EXPECT_EQ(culverts[0].conditions.g, 9.8);
}

TEST(BatchTable, HeaderFaultsNameTheColumn) {
  EXPECT_EQ(Refusal("name,q,l,width\nA,1,2,3\n"), "1 行目 4 列: 不明な列名です: width");
  EXPECT_EQ(Refusal("name,q,g\nA,1,2\n"), "1 行目: 必要な列 l（延長）がありません");
  EXPECT_EQ(Refusal("name,q,l,Q\nA,1,2,3\n"), "1 行目 4 列: 列名 Q は 2 列目の q と同じ列です");
  EXPECT_EQ(Refusal("name,q,l,計画流量\nA,1,2,3\n"),
            "1 行目 4 列: 列名 計画流量 は 2 列目の q と同じ列です");
  // A trailing comma leaves a column without a heading.
  EXPECT_EQ(Refusal("name,q,l,\nA,1,2,\n"),
            "1 行目 4 列: 見出しが空です（使わない列は見出しを # で始めてください）");
  EXPECT_EQ(Refusal("\n,,\n"), "見出しの行がありません");
  EXPECT_EQ(Refusal("name,q,l\n\n"), "計算する函渠の行がありません");
}

TEST(BatchTable, CellFaultsNameTheLineAndTheColumn) {
  const std::string header = "name,q,l,z1,shape\n";
  const auto refusal = [&](const std::string& rows) { return Refusal(header + rows); };
  EXPECT_EQ(refusal("A,1.5x,20,,\n"), "2 行目 q 列: 数値ではありません: 1.5x");
  EXPECT_EQ(refusal("A,1.5,20,1e3,\n"), "2 行目 z1 列: 数値ではありません: 1e3");
  EXPECT_EQ(refusal("A,1.5,20,1,\nB,2,1" + std::string(400, '0') + ",,\n"),
            "3 行目 l 列: 数値ではありません: 1" + std::string(400, '0'));
  EXPECT_EQ(refusal("A,1.5,20,1.2.3,\n"), "2 行目 z1 列: 数値ではありません: 1.2.3");
  EXPECT_EQ(refusal("A,0,20,,\n"),
            "2 行目 q 列: 計画流量は 0.001 以上 999.999 以下にしてください: 0");
  EXPECT_EQ(refusal("A,1,-0.5,,\n"),
            "2 行目 l 列: 延長は 0.001 以上 999.999 以下にしてください: -0.5");
  // A cell's text is shown whole, a NUL or an ESC in it too.
  EXPECT_EQ(refusal(std::string("A,1\0"
                                "5,20,,\n",
                                11)),
            "2 行目 q 列: 数値ではありません: 1\\x005");
  EXPECT_EQ(refusal("A,1,20,\x1b[2J,\n"), "2 行目 z1 列: 数値ではありません: \\x1b[2J");
  EXPECT_EQ(refusal("A,,20,,\n"), "2 行目 q 列: 値がありません");
  EXPECT_EQ(refusal(" ,1,20,,\n"), "2 行目 name 列: 値がありません");
  EXPECT_EQ(refusal("A,1,20,,round\n"),
            "2 行目 shape 列: both、box、pipe のいずれかにしてください: round");
  EXPECT_EQ(refusal("A,1,20,,,\n"), "2 行目 6 列: 見出しの列より多くの項目があります");
  // Lines are counted through a name spread over two lines.
  EXPECT_EQ(refusal("A,1,20,,\n\"B\nC\",1,2,,\nA,2,3,,\n"),
            "5 行目 name 列: 名前「A」は 2 行目にもあります");
}

// Conditions the calculation cannot mean or the sheet cannot print are
// refused in every column, at their limits and no further.
TEST(BatchTable, ConditionsBeyondTheirLimitsAreRefused) {
  struct Case {
    const char* column;
    const char* refused;
    const char* accepted;
  } const cases[] = {
      {"q", "0.0009", "0.001"},     {"q", "1000", "999.999"},      {"l", "0.0005", "0.001"},
      {"l", "1000.001", "999.999"}, {"z1", "-100", "-99.999"},     {"z2", "1000", "999.999"},
      {"g", "0", "0.001"},          {"g", "-9.8", "99.999"},       {"g", "100", "9.81"},
      {"alpha", "-1", "0.001"},     {"alpha", "0", "99.999"},      {"box_ratio", "1.01", "1"},
      {"box_ratio", "0", "0.0001"}, {"circle_ratio", "-0.5", "1"}, {"circle_ratio", "2", "0.5"},
  };
  // The row of culvert B with `value` in `column` and 1 in q and l.
  const auto row = [](const std::string& column, const std::string& value) {
    const std::string q = column == "q" ? value : "1";
    const std::string l = column == "l" ? value : "1";
    const bool other = column != "q" && column != "l";
    return "B," + q + "," + l + (other ? "," + value : ",") + "\n";
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.column) + " " + c.refused);
    const bool other = std::string(c.column) != "q" && std::string(c.column) != "l";
    const std::string header = std::string("name,q,l,") + (other ? c.column : "#") + "\n";
    const std::string refusal = Refusal(header + "A,1,2,\n" + row(c.column, c.refused));
    EXPECT_TRUE(refusal.starts_with(std::string("3 行目 ") + c.column + " 列: ")) << refusal;
    EXPECT_TRUE(refusal.ends_with(std::string("にしてください: ") + c.refused)) << refusal;
    EXPECT_EQ(ReadBatchTable(header + row(c.column, c.accepted)).size(), 1u);
  }
}

// Real project tables are in Japanese and carry notes beside the culverts.
TEST(BatchTable, JapaneseHeadingsAndColumnsOfNotes) {
  const std::vector<Culvert> culverts = ReadBatchTable(
      "測点,名称,計画流量(m3/s),延長（m）,呑口部敷高,吐口部敷高,重力加速度,α,ボックス余裕率,"
      "円径余裕率,形状,備考,# 検討用,メモ,路線\n"
      "No.12+5,市道1号,1.5,20,0.5,0.3,9.81,1.1,0.85,0.8,box,既設撤去,x,,県道\n");
  ASSERT_EQ(culverts.size(), 1u);
  const DesignConditions& c = culverts[0].conditions;
  EXPECT_EQ(culverts[0].name, "市道1号");
  EXPECT_EQ(c.Q, 1.5);
  EXPECT_EQ(c.L, 20.0);
  EXPECT_EQ(c.Z1, 0.5);
  EXPECT_EQ(c.Z2, 0.3);
  EXPECT_EQ(c.g, 9.81);
  EXPECT_EQ(c.Alpha, 1.1);
  EXPECT_EQ(c.BoxRatio, 0.85);
  EXPECT_EQ(c.CircleRatio, 0.8);
  EXPECT_EQ(c.ShapeOption, ShapeBoxOnly);
  EXPECT_EQ(ReadBatchTable("名前,Q,L\nA,1,2\n")[0].conditions.L, 2.0);
  EXPECT_EQ(ReadBatchTable("名前,計画流量Q,延長L,ｴﾈﾙｷﾞｰ補正係数\nA,1,2,1.05\n")[0].conditions.Alpha,
            1.05);
  EXPECT_EQ(Refusal("名前,計画流量,延長,幅\nA,1,2,3\n"), "1 行目 4 列: 不明な列名です: 幅");
  EXPECT_EQ(Refusal("名称,計画流量,延長\nA,,2\n"), "2 行目 計画流量 列: 値がありません");
}

// A name is shown in files, on pages and on terminals: characters that hide
// or reorder what is shown are refused where the table holds them.
TEST(BatchTable, NamesWithHiddenControlCharactersAreRefused) {
  EXPECT_EQ(Refusal("name,q,l\nA,1,2\n\"B\x1b[31m\",1,2\n"),
            "3 行目 name 列: 名前に表示されない制御文字 U+001B があります: B\\x1b[31m");
  EXPECT_EQ(Refusal(std::string("name,q,l\nA\0B,1,2\n", 17)),
            "2 行目 name 列: 名前に表示されない制御文字 U+0000 があります: A\\x00B");
  EXPECT_EQ(Refusal("name,q,l\nabc\xE2\x80\xAEgpj,1,2\n"),
            "2 行目 name 列: 名前に表示されない制御文字 U+202E があります: abc\\u202egpj");
  // A tab and a line break are a name's own.
  EXPECT_EQ(ReadBatchTable("name,q,l\n\"two\nlines\tx\",1,2\n")[0].name, "two\nlines\tx");
}

TEST(BatchTable, ATableHoldsAtMost32767Culverts) {
  std::string table = "name,q,l\n";
  for (std::size_t i = 1; i <= kMaxCulverts; ++i) table += std::to_string(i) + ",1,2\n";
  EXPECT_EQ(ReadBatchTable(table).size(), kMaxCulverts);
  EXPECT_EQ(Refusal(table + "x,1,2\n"), "32769 行目: 函渠は 32767 までです");
}

#ifdef __linux__
// The peak memory of this process so far, in bytes.
std::size_t PeakMemory() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stoul(line.substr(6)) * 1024;
  }
  return 0;
}

// A table is read one row at a time: a 15 MB table of many small cells
// (here in ignored columns) needs little more memory than its culverts.
TEST(BatchTable, AFifteenMegabyteTableIsReadInLittleMoreThanItsSize) {
#ifdef SEKORA_ADDRESS_SANITIZER
  GTEST_SKIP() << "AddressSanitizer keeps freed memory back: the peak says nothing here";
#endif
  std::string table = "name,q,l";
  for (int i = 0; i < 200; ++i) table += ",#";
  table += "\n";
  std::string notes;
  for (int i = 0; i < 200; ++i) notes += ",x";
  for (std::size_t i = 1; i <= kMaxCulverts; ++i) {
    table += "K-" + std::to_string(i) + ",1.5,20" + notes + "\n";
  }
  ASSERT_GT(table.size(), 13'000'000u);
  const std::size_t before = PeakMemory();
  EXPECT_EQ(ReadBatchTable(table).size(), kMaxCulverts);
  EXPECT_LT(PeakMemory() - before, table.size()) << "peak grew by " << PeakMemory() - before;
}
#endif

TEST(BatchTable, SyntaxFaultsComeFromTheReader) {
  EXPECT_THROW(ReadBatchTable("name,q,l\n\"A,1,2\n"), CsvError);
}

}  // namespace
}  // namespace sekora
