// Section 3, the inlet depth: formulas, figure, the table of both ends and
// the friction loss and energies with the record's numbers put in.
#include <gtest/gtest.h>

#include "FigureError.h"
#include "Paths.h"
#include "SheetTestSupport.h"

namespace sekora::testing {
namespace {

constexpr double kBoxRowBase = 22;
constexpr double kPipeRowBase = 28;

double BoxRow(double k) {
  return GridY(kSection3Base, kBoxRowBase + k);
}
double PipeRow(double k) {
  return GridY(kSection3Base, kPipeRowBase + k);
}
double Chars(const std::string& text, double size) {
  return WidthAt(text, size) / kCharW;
}

std::vector<std::string> TextsOf(const std::vector<PrintedText>& prints) {
  std::vector<std::string> texts;
  for (const PrintedText& printed : prints) texts.push_back(printed.text);
  return texts;
}

TEST(InletDepthSection, HeadingFigureAndSizeRowStandOnTheRowBase) {
  struct Case {
    KeisanRecord rec;
    double rowBase;
    const char* size;
  };
  for (const Case& c : {Case{BoxOneByOne(), kBoxRowBase, "管渠口径(B×H)  1.000m× 1.000m"},
                        Case{PipeOne(), kPipeRowBase, "管渠口径(φ)  1.000m"}}) {
    const RecordingSurface surface = DrawnSheet(c.rec);
    const double heading = GridY(kSection3Base, c.rowBase);
    EXPECT_TRUE(
        PrintedAt(TextNamed(surface, "３．呑口部での水深算出"), GridX(2), heading, 10.5, false));
    EXPECT_TRUE(PrintedAt(TextNamed(surface, "以下の式より呑口部限界水深(h1)を不等流計算で求める"),
                          GridX(3), heading + 2 * kLineH, 10.5, false));
    ASSERT_EQ(surface.pictures.size(), 2u);
    EXPECT_EQ(surface.pictures[1].path, JoinPath(kFigureFolder, "寸法.wmf"));
    EXPECT_EQ(surface.pictures[1].x, GridX(32));
    EXPECT_EQ(surface.pictures[1].y, heading);
    EXPECT_TRUE(
        PrintedAt(TextNamed(surface, c.size), GridX(3), heading + 10 * kLineH, 10.5, false));
  }
}

TEST(InletDepthSection, MissingFigureStopsTheSheetBeforeTheTable) {
  RecordingSurface surface;
  surface.missingFigures.insert(JoinPath(kFigureFolder, "寸法.wmf"));
  EXPECT_THROW(DrawSheet(surface, 0, BoxOneByOne(), WorkedConditions(), kFigureFolder),
               FigureError);
  EXPECT_EQ(TextsNamed(surface, " + Z2 + hf").size(), 1u) << "the formulas come first";
  EXPECT_TRUE(TextsNamed(surface, "＜呑口部＞").empty());
  EXPECT_TRUE(TextsNamed(surface, "４．断面の決定").empty());
}

TEST(InletDepthSection, EnergyEquationExponentsFollowTheirDenominators) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne());
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "h1 + "), GridX(4), BoxRow(4), 12, true));
  const std::vector<PrintedText> denominators = TextsAtY(surface, BoxRow(4.5));
  ASSERT_EQ(TextsOf(denominators), (std::vector<std::string>{"2g・A1", "2", "2g・A2", "2"}));
  const double p = Chars("h1 + ", 12);
  EXPECT_EQ(denominators[0].x, GridX(4 + p));
  EXPECT_DOUBLE_EQ(denominators[1].x, GridX(4 + p + Chars("2g・A1", 12)));
  const double p2 = p + 4 + Chars(" + Z1 = h2 + ", 12);
  EXPECT_DOUBLE_EQ(denominators[2].x, GridX(4 + p2));
  EXPECT_DOUBLE_EQ(denominators[3].x, GridX(4.2 + p2 + Chars("2g・A2", 12)));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, " + Z2 + hf"), GridX(8 + p2), BoxRow(4), 12, true));
}

TEST(InletDepthSection, SizeFlowAndLengthRowsOfABox) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne());
  EXPECT_TRUE(
      PrintedAt(TextNamed(surface, "流量(Q)  1.000m /s"), GridX(3), BoxRow(11), 10.5, false));
  const std::vector<PrintedText> flow = TextsAtY(surface, BoxRow(11));
  ASSERT_EQ(flow.size(), 2u);
  EXPECT_TRUE(
      PrintedAt(flow[1], GridX(3) + WidthAt("流量(Q)  1.000m", 10.5), BoxRow(11), 5, false));
  EXPECT_EQ(flow[1].text, "3");
  EXPECT_TRUE(
      PrintedAt(TextNamed(surface, "区間距離(L) 10.000m"), GridX(3), BoxRow(12), 10.5, false));
}

TEST(InletDepthSection, EndsTableRowsOfABox) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne());
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "＜呑口部＞"), GridX(6), BoxRow(14), 10.5, false));
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "＜吐口部＞"), GridX(21), BoxRow(14), 10.5, false));
  const std::vector<std::vector<std::string>> expected = {
      {"限界水深(h1)", " 0.673m", "限界水深(h2)", " 0.467m"},
      {"通水断面積(A1)", " 0.673m", "2", "通水断面積(A2)", " 0.467m", "2"},
      {"潤辺(P1)", " 2.346m", "潤辺(P2)", " 1.934m"},
      {"径深(R1)", " 0.287m", "径深(R2)", " 0.241m"},
      {"流速(V1)", " 1.486m/s", "流速(V2)", " 2.141m/s"},
      {"粗度係数(n1)", "0.020", "粗度係数(n2)", "0.020"},
      {"敷高(Z1)", "0.000m", "敷高(Z2)", "0.000m"},
  };
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::vector<PrintedText> row = TextsAtY(surface, BoxRow(15.0 + i));
    EXPECT_EQ(TextsOf(row), expected[i]) << "row " << 15 + i;
    ASSERT_GE(row.size(), 4u);
    EXPECT_EQ(row[0].x, GridX(3));
    EXPECT_EQ(row[row.size() / 2].x, GridX(18));
    // Fields of five stand half a column right of fields of six: the right
    // ends of the numbers line up.
    const double inletEnd = row[1].x + WidthAt(row[1].text.substr(0, i < 5 ? 6 : 5), 10.5);
    EXPECT_DOUBLE_EQ(inletEnd, GridX(14)) << "row " << 15 + i;
    const double outletValue = row[row.size() / 2 + 1].x;
    EXPECT_DOUBLE_EQ(outletValue - row[1].x, 15 * kCharW);
  }
  // The square of m² stands right after the area's "m", in the small size.
  const std::vector<PrintedText> areas = TextsAtY(surface, BoxRow(16));
  EXPECT_TRUE(PrintedAt(areas[2], GridX(11) + WidthAt(" 0.673m", 10.5), BoxRow(16), 5, false));
  EXPECT_TRUE(PrintedAt(areas[5], GridX(26) + WidthAt(" 0.467m", 10.5), BoxRow(16), 5, false));
}

TEST(InletDepthSection, FrictionLossWithNumbersPutIn) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne());
  EXPECT_TRUE(PrintedAt(TextNamed(surface, "hf ="), GridX(4), BoxRow(23), 12, true));
  const std::vector<PrintedText> numerator = TextsAtY(surface, BoxRow(22.5));
  ASSERT_EQ(TextsOf(numerator),
            (std::vector<std::string>{" 1.000", "2", "×", "10.00", "0.020", "2", "0.020", "2"}));
  const double q = Chars("hf =", 12);
  EXPECT_EQ(numerator[0].x, GridX(5 + q));
  EXPECT_EQ(numerator[1].size, 6);
  // The denominator 2 of Q²L/2 keeps its column.
  const std::vector<PrintedText> denominator = TextsAtY(surface, BoxRow(23.5));
  ASSERT_FALSE(denominator.empty());
  EXPECT_TRUE(PrintedAt(denominator[0], GridX(11), BoxRow(23.5), 12, true));
  EXPECT_EQ(denominator[0].text, "2");
  EXPECT_EQ(TextsOf(denominator), (std::vector<std::string>{"2", " 0.287", "4", "×", " 0.673", "2",
                                                            " 0.241", "4", "×", " 0.467", "2"}));

  // The pen walks over Q², L, the "×" before the bracket (twice: once for the
  // sign, once for the bracket) and the inlet term R1^(4/3)×A1² to the " + ".
  double pen =
      q + Chars(" 1.000", 12) + 1 + Chars("2", 6) + 0.25 + Chars("×", 12) + Chars("10.00", 12);
  const std::vector<PrintedText> signs = TextsAtY(surface, BoxRow(23));
  ASSERT_EQ(TextsOf(signs), (std::vector<std::string>{"hf =", "×", " + "}));
  EXPECT_DOUBLE_EQ(signs[1].x, GridX(4.5 + pen));
  pen += 2 * (Chars("×", 12) + 0.5);
  EXPECT_DOUBLE_EQ(numerator[4].x, GridX(6.7 + pen)) << "n1";
  EXPECT_DOUBLE_EQ(denominator[1].x, GridX(4 + pen)) << "R1";
  pen += Chars(" 0.287", 12) + Chars("3", 6);
  EXPECT_DOUBLE_EQ(denominator[3].x, GridX(4.5 + pen)) << "×";
  pen += Chars("×", 12);
  EXPECT_DOUBLE_EQ(denominator[4].x, GridX(4.5 + pen)) << "A1";
  pen += Chars(" 0.673", 12);
  EXPECT_DOUBLE_EQ(denominator[5].x, GridX(4.8 + pen)) << "square of A1";
  pen += Chars("2", 6) + 0.3;
  EXPECT_DOUBLE_EQ(signs[2].x, GridX(4.5 + pen)) << "the plus between the terms";
}

TEST(InletDepthSection, FrictionResultShowsTheStoredFactors) {
  const RecordingSurface surface = DrawnSheet(BoxOneByOne());
  const std::vector<PrintedText> result = TextsAtY(surface, BoxRow(25));
  ASSERT_EQ(TextsOf(result), (std::vector<std::string>{"=", " 5.000", "×(", " 0.00467", " + ",
                                                       " 0.01223", " ) = ", " 0.085m"}));
  EXPECT_TRUE(PrintedAt(result[0], GridX(5.5), BoxRow(25), 12, true));
  EXPECT_DOUBLE_EQ(result[1].x, GridX(6 + Chars("=", 12)));
  // The pen restarts from the width of the common factor alone.
  const double afterCommon = Chars(" 5.000", 12) + 1;
  EXPECT_DOUBLE_EQ(result[2].x, GridX(6 + afterCommon));
  double q = afterCommon + Chars("×(", 12) + 1;
  for (std::size_t i = 3; i < result.size(); ++i) {
    EXPECT_DOUBLE_EQ(result[i].x, GridX(5.5 + q)) << result[i].text;
    q += Chars(result[i].text, 12);
  }
}

TEST(InletDepthSection, EnergyOfEachEndWithNumbersPutIn) {
  DesignConditions conditions = WorkedConditions();
  conditions.Z2 = 0.125;
  const RecordingSurface surface = DrawnSheet(BoxOneByOne(), conditions);
  const std::vector<PrintedText> inlet = TextsAtY(surface, BoxRow(28));
  ASSERT_EQ(TextsOf(inlet),
            (std::vector<std::string>{"呑口部", " 0.673", " + ", " + ", " 0.00", "=", " 0.786"}));
  EXPECT_TRUE(PrintedAt(inlet[0], GridX(4), BoxRow(28), 12, false));
  const double q = Chars("呑口部", 12) + 1;
  EXPECT_TRUE(PrintedAt(inlet[1], GridX(4 + q), BoxRow(28), 12, true));
  EXPECT_EQ(TextsOf(TextsAtY(surface, BoxRow(27.5))),
            (std::vector<std::string>{"1.000", "×", " 1.000", "2"}));
  EXPECT_EQ(TextsOf(TextsAtY(surface, BoxRow(28.5))),
            (std::vector<std::string>{"2g×", " 0.673", "2"}));

  // The outlet adds the friction loss; Z2 shows two decimals here.
  EXPECT_EQ(TextsOf(TextsAtY(surface, BoxRow(30))),
            (std::vector<std::string>{"吐口部", " 0.467", " + ", " + ", " 0.13", "+", " 0.085", "=",
                                      " 0.786"}));
  EXPECT_EQ(TextsOf(TextsAtY(surface, BoxRow(30.5))),
            (std::vector<std::string>{"2g×", " 0.467", "2"}));
}

TEST(InletDepthSection, EnergyErrorOfABalancedRecord) {
  const RecordingSurface surface = DrawnSheet(PipeOne());
  const std::vector<PrintedText> error = TextsAtY(surface, PipeRow(32));
  ASSERT_EQ(error.size(), 2u);
  EXPECT_TRUE(PrintedAt(error[0], GridX(4), PipeRow(32), 12, false));
  EXPECT_EQ(error[0].text, "エネルギー誤差 ");
  EXPECT_TRUE(PrintedAt(error[1], GridX(5 + Chars("エネルギー誤差 ", 12)), PipeRow(32), 12, true));
  EXPECT_EQ(error[1].text, " 0.000");
}

}  // namespace
}  // namespace sekora::testing
