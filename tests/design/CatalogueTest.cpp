#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "Catalogue.h"
#include "DesignError.h"
#include "TempFolder.h"

namespace sekora {
namespace {

Candidates Boxes(const std::string& text) {
  DesignConditions c;
  Candidates out;
  AppendBoxSections(text, "BOX.TXT", c, out);
  EXPECT_EQ(c.CandidateCount, static_cast<int>(out.size()));
  return out;
}

Candidates Pipes(const std::string& text) {
  DesignConditions c;
  Candidates out;
  AppendPipeSections(text, "KAN.TXT", c, out);
  return out;
}

std::string ErrorOf(void (*append)(std::string_view, const std::string&, DesignConditions&,
                                   Candidates&),
                    const std::string& text, const std::string& name) {
  DesignConditions c;
  Candidates out;
  try {
    append(text, name, c, out);
  } catch (const CatalogueError& e) {
    return e.what();
  }
  return "";
}

TEST(BoxCatalogue, ReadsWidthFromColumnsOneToFiveAndHeightFromSevenToEleven) {
  const Candidates c = Boxes("1.500 2.000\r\n 1.5  1.2 \r\n1.500 1.200 tail\r\n");
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0].B, 1.5);
  EXPECT_EQ(c[0].H, 2.0);
  EXPECT_EQ(c[1].B, 1.5);
  EXPECT_EQ(c[1].H, 1.2);
  EXPECT_EQ(c[2].H, 1.2);
  for (const KeisanRecord& r : c) {
    EXPECT_EQ(r.Kind, KindBox);
    EXPECT_EQ(r.D, 0.0);
    EXPECT_EQ(r.Status, StatusOk);
  }
}

TEST(BoxCatalogue, AShortLineGivesTheHeightItHolds) {
  EXPECT_EQ(Boxes("1.500 2.\r\n")[0].H, 2.0);
  EXPECT_EQ(Boxes("1.500 1.")[0].H, 1.0);
}

// Every line of the shipped catalogues reads as its two numbers (or its one)
// read plainly.
TEST(Catalogue, EveryShippedLineReadsAsItsNumbers) {
  const auto lines = [](const std::string& name) {
    std::ifstream in(std::string(SEKORA_DATA_DIR) + "/" + name, std::ios::binary);
    std::vector<std::string> data;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.front() != '\'') data.push_back(line);
    }
    return data;
  };
  const std::vector<std::string> boxLines = lines("BOX.TXT");
  std::string boxText;
  for (const std::string& line : boxLines) boxText += line + "\n";
  const Candidates boxes = Boxes(boxText);
  ASSERT_EQ(boxes.size(), boxLines.size());
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    std::istringstream numbers(boxLines[i]);
    double b = 0.0, h = 0.0;
    numbers >> b >> h;
    EXPECT_EQ(boxes[i].B, b) << boxLines[i];
    EXPECT_EQ(boxes[i].H, h) << boxLines[i];
  }
  const std::vector<std::string> pipeLines = lines("KAN.TXT");
  std::string pipeText;
  for (const std::string& line : pipeLines) pipeText += line + "\n";
  const Candidates pipes = Pipes(pipeText);
  ASSERT_EQ(pipes.size(), pipeLines.size());
  for (std::size_t i = 0; i < pipes.size(); ++i) {
    EXPECT_EQ(pipes[i].D, std::stod(pipeLines[i])) << pipeLines[i];
  }
}

// Lines in another layout than the fixed columns would be read as other
// sizes ("1.5 1.2" as 1.510 x 2.000, "1.50 1.20" as 1.500 x 0.200, "60cm" as
// a 60 m pipe): each is refused by file and line, saying where the fields go.
TEST(Catalogue, LinesThatDoNotFitTheColumnsAreRefused) {
  for (const char* line : {"1.5 1.2", "1.50 1.20", "1.5002.000", "1.500", "1.500   ", "1.500 0.000",
                           "1.500 -1.20", "1.500 1 200", "1 5   1.200"}) {
    SCOPED_TRACE(line);
    const std::string error =
        ErrorOf(AppendBoxSections, std::string("1.000 1.000\r\n") + line, "BOX.TXT");
    EXPECT_TRUE(error.starts_with("BOX.TXT の 2 行目の寸法が正しくありません（1〜5 桁目に内幅 B"))
        << error;
    EXPECT_NE(error.find("7〜11 桁目に内高 H"), std::string::npos);
  }
  for (const char* line : {"60cm", "600 mm", "0.6CM", "60 Cm"}) {
    SCOPED_TRACE(line);
    const std::string error = ErrorOf(AppendPipeSections, std::string("0.600\n") + line, "KAN.TXT");
    EXPECT_TRUE(error.starts_with("KAN.TXT の 2 行目の寸法が正しくありません（")) << error;
    EXPECT_NE(error.find("cm や mm は使えません"), std::string::npos);
  }
  EXPECT_EQ(Pipes("0.6 m\r\n0.6m\r\n")[1].D, 0.6);
}

TEST(Catalogue, SkipsCommentsAndBlankLinesAndAcceptsEveryLineEnd) {
  const Candidates c = Boxes("' sizes\r\n\r\n   \r\n0.600 0.600\n0.700 0.700\r0.800 0.800");
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0].B, 0.6);
  EXPECT_EQ(c[1].B, 0.7);
  EXPECT_EQ(c[2].B, 0.8);  // a last line without an ending counts
  EXPECT_TRUE(Boxes("' only a comment\r\n'another\r\n").empty());
  EXPECT_TRUE(Boxes("").empty());
}

TEST(PipeCatalogue, TheWholeLineIsTheDiameter) {
  const Candidates c = Pipes("0.600\r\n0.6 m\r\n  1.35\r\n");
  ASSERT_EQ(c.size(), 3u);
  EXPECT_EQ(c[0].D, 0.6);
  EXPECT_EQ(c[1].D, 0.6);
  EXPECT_EQ(c[2].D, 1.35);
  EXPECT_EQ(c[0].Kind, KindPipe);
  EXPECT_EQ(c[0].B, 0.0);
  EXPECT_EQ(c[0].H, 0.0);
}

TEST(Catalogue, ALineWithoutAPositiveSizeNamesFileAndLine) {
  const auto refused = [](const std::string& error, const std::string& start) {
    return error.starts_with(start + "の寸法が正しくありません（");
  };
  EXPECT_PRED2(refused, ErrorOf(AppendBoxSections, "' c\r\n0.600 0.600\r\n '0.6\r\n", "BOX.TXT"),
               "BOX.TXT の 3 行目");
  EXPECT_PRED2(refused, ErrorOf(AppendBoxSections, "-1.00 1.000\r\n", "BOX.TXT"),
               "BOX.TXT の 1 行目");
  EXPECT_PRED2(refused, ErrorOf(AppendPipeSections, "0.600\r\n0.001\r\n", "KAN.TXT"),
               "KAN.TXT の 2 行目");
  EXPECT_PRED2(refused, ErrorOf(AppendPipeSections, "abc\r\n", "KAN.TXT"), "KAN.TXT の 1 行目");
  EXPECT_PRED2(refused, ErrorOf(AppendPipeSections, std::string(400, '9'), "KAN.TXT"),
               "KAN.TXT の 1 行目");
  EXPECT_EQ(ErrorOf(AppendPipeSections, "0.0011\r\n", "KAN.TXT"), "");
}

TEST(Catalogue, TheCandidateAfterThe32767thAbandonsTheRun) {
  std::string text;
  for (int i = 0; i < kMaxCandidates; ++i) text += "0.600\r\n";
  DesignConditions c;
  Candidates out;
  AppendPipeSections(text, "KAN.TXT", c, out);
  EXPECT_EQ(c.CandidateCount, kMaxCandidates);
  EXPECT_THROW(AppendPipeSections("0.600\r\n", "KAN.TXT", c, out), TooManyCandidatesError);
  EXPECT_EQ(c.CandidateCount, kMaxCandidates);
}

TEST(LoadSections, ReadsTheFilesTheShapeOptionAsksFor) {
  testing::TempFolder folder;
  folder.Write("BOX.TXT", "' boxes\r\n1.000 1.000\r\n0.800 0.800\r\n");
  folder.Write("KAN.TXT", "' pipes\r\n1.000\r\n");

  DesignConditions both;
  Candidates all;
  LoadSections(folder.path(), both, all);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(both.CandidateCount, 3);
  EXPECT_EQ(all[0].Kind, KindBox);
  EXPECT_EQ(all[0].B, 1.0);  // index 1 is the first data line of BOX.TXT
  EXPECT_EQ(all[2].Kind, KindPipe);

  DesignConditions pipes;
  pipes.ShapeOption = ShapePipeOnly;
  Candidates onlyPipes;
  LoadSections(folder.path(), pipes, onlyPipes);
  ASSERT_EQ(onlyPipes.size(), 1u);
  EXPECT_EQ(onlyPipes[0].Kind, KindPipe);
}

TEST(LoadSections, OnlyTheFilesToBeReadMustExist) {
  testing::TempFolder boxesOnly;
  boxesOnly.Write("BOX.TXT", "1.000 1.000\r\n");
  DesignConditions c;
  c.ShapeOption = ShapeBoxOnly;
  Candidates out;
  EXPECT_NO_THROW(LoadSections(boxesOnly.path(), c, out));

  DesignConditions both;
  Candidates again;
  try {
    LoadSections(boxesOnly.path(), both, again);
    FAIL() << "a missing KAN.TXT must abandon the run";
  } catch (const CatalogueError& e) {
    EXPECT_NE(std::string(e.what()).find("KAN.TXT"), std::string::npos);
  }
}

}  // namespace
}  // namespace sekora
