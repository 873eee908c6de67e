#include <gtest/gtest.h>

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
  EXPECT_EQ(Refusal("name,q,g\nA,1,2\n"), "1 行目: 必要な列 l がありません");
  EXPECT_EQ(Refusal("name,q,l,Q\nA,1,2,3\n"), "1 行目 4 列: 列名 q が二度あります");
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
  EXPECT_EQ(refusal("A,0,20,,\n"), "2 行目 q 列: 計画流量は 0 より大きくしてください");
  EXPECT_EQ(refusal("A,1,-0.5,,\n"), "2 行目 l 列: 延長は 0 より大きくしてください");
  EXPECT_EQ(refusal("A,,20,,\n"), "2 行目 q 列: 値がありません");
  EXPECT_EQ(refusal(" ,1,20,,\n"), "2 行目 name 列: 値がありません");
  EXPECT_EQ(refusal("A,1,20,,round\n"),
            "2 行目 shape 列: both、box、pipe のいずれかにしてください: round");
  EXPECT_EQ(refusal("A,1,20,,,\n"), "2 行目 6 列: 見出しの列より多くの項目があります");
  // Lines are counted through a name spread over two lines.
  EXPECT_EQ(refusal("A,1,20,,\n\"B\nC\",1,2,,\nA,2,3,,\n"),
            "5 行目 name 列: 名前「A」は 2 行目にもあります");
}

TEST(BatchTable, SyntaxFaultsComeFromTheReader) {
  EXPECT_THROW(ReadBatchTable("name,q,l\n\"A,1,2\n"), CsvError);
}

}  // namespace
}  // namespace sekora
