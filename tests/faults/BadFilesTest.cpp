// Damaged catalogues and results files, committed and generated: each one
// loads, or fails with its typed error whose message names the file. A
// catalogue that loads must also carry a whole calculation run to the end.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "../AddressSanitizer.h"
#include "Catalogue.h"
#include "DesignError.h"
#include "KeisanFile.h"
#include "RunDesign.h"
#include "TempFolder.h"

namespace sekora {
namespace {

std::string ReadBadFile(const std::string& kind, const std::string& name) {
  std::ifstream in(std::string(SEKORA_BAD_DIR) + "/" + kind + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The message of a clean failure: not empty, and it names the file.
template <typename Error, typename Action>
void ExpectFailureNaming(Action action, const std::string& fileName) {
  try {
    action();
    ADD_FAILURE() << "no error for " << fileName;
  } catch (const Error& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find(fileName), std::string::npos) << message;
  }
}

// ---- Catalogues ----

struct CatalogueCase {
  const char* file;
  int candidates;  // -1: the catalogue is refused
};

const CatalogueCase kBoxCases[] = {
    {"box_binary_junk.txt", -1},      // random bytes: a line without a width
    {"box_junk_after_sizes.txt", 2},  // columns 12 onward are not read
    {"box_missing_height.txt", -1},   // no height in columns 7-11
    {"box_negative_width.txt", -1},   // B = -1.5
    {"box_nan_text.txt", -1},         // "NaN" is no number: B = 0
    {"box_infinity_text.txt", -1},    // "Infin" in the height columns: no height
    {"box_utf16.txt", -1},            // a byte-order mark before the width
    {"box_nul_line.txt", -1},         // a line of NUL bytes: B = 0
    {"box_huge_sizes.txt", -1},       // 99999 m by 99999 m
};

const CatalogueCase kPipeCases[] = {
    {"kan_binary_junk.txt", -1},     // random bytes: a line without a diameter
    {"kan_negative.txt", -1},        // D = -0.6 on line 2
    {"kan_nan_text.txt", -1},        // D = 0
    {"kan_huge_number.txt", -1},     // 1e400 reads as infinity
    {"kan_huge_diameter.txt", -1},   // 99 999 999 m
    {"kan_mixed_line_ends.txt", 4},  // CR, LF, CR LF and none
    {"kan_only_comments.txt", 0},
};

// Puts `content` in a folder as the catalogue the shape option reads, runs
// a whole calculation and checks the outcome.
void RunCatalogue(const std::string& catalogueName, std::int16_t shape, const std::string& content,
                  int expectedCandidates) {
  testing::TempFolder folder;
  folder.Write(catalogueName, content);
  DesignConditions conditions;
  conditions.Q = 1.5;
  conditions.L = 20.0;
  conditions.ShapeOption = shape;
  if (expectedCandidates < 0) {
    ExpectFailureNaming<CatalogueError>([&] { RunDesign(folder.path(), conditions); },
                                        catalogueName);
    EXPECT_FALSE(std::filesystem::exists(folder.File(kResultsFileName)));
    return;
  }
  const auto start = std::chrono::steady_clock::now();
  RunDesign(folder.path(), conditions);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  Candidates written;
  KeisanFile(kFileModeRead, written, conditions, folder.path());
  EXPECT_EQ(static_cast<int>(written.size()), expectedCandidates);
}

TEST(BadCatalogue, EachBoxFileLoadsOrIsRefusedByName) {
  for (const CatalogueCase& c : kBoxCases) {
    SCOPED_TRACE(c.file);
    RunCatalogue(kBoxCatalogueName, ShapeBoxOnly, ReadBadFile("catalogue", c.file), c.candidates);
  }
}

TEST(BadCatalogue, EachPipeFileLoadsOrIsRefusedByName) {
  for (const CatalogueCase& c : kPipeCases) {
    SCOPED_TRACE(c.file);
    RunCatalogue(kPipeCatalogueName, ShapePipeOnly, ReadBadFile("catalogue", c.file), c.candidates);
  }
}

// Conditions that read both catalogues.
DesignConditions BothShapes() {
  DesignConditions conditions;
  conditions.Q = 1.5;
  conditions.L = 20.0;
  return conditions;
}

// A run of `folder` is refused with a message naming `fileName` and
// containing `detail`, quickly, and leaves no Keisan.txt.
void ExpectRefusedQuickly(const testing::TempFolder& folder, const std::string& fileName,
                          const std::string& detail) {
  const auto start = std::chrono::steady_clock::now();
  try {
    RunDesign(folder.path(), BothShapes());
    ADD_FAILURE() << "no error for " << fileName;
  } catch (const CatalogueError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find(fileName), std::string::npos) << message;
    EXPECT_NE(message.find(detail), std::string::npos) << message;
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_FALSE(std::filesystem::exists(folder.File(kResultsFileName)));
}

TEST(BadCatalogue, ASizeOver100MetresIsRefusedByFileAndLine) {
  struct Case {
    const char* box;
    const char* pipe;
    const char* named;
  } const cases[] = {
      {"0.600 0.600\r\n600   0.600\r\n", "0.600\r\n", "BOX.TXT の 2 行目"},
      {"0.600 100.1\r\n", "0.600\r\n", "BOX.TXT の 1 行目"},
      {"0.600 0.600\r\n", "' mm\r\n0.600\r\n1000000\r\n", "KAN.TXT の 3 行目"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.named);
    testing::TempFolder folder;
    folder.Write(kBoxCatalogueName, c.box);
    folder.Write(kPipeCatalogueName, std::string(c.pipe));
    ExpectRefusedQuickly(folder, c.named, "100 m");
  }
  // 100 m itself is still a culvert.
  testing::TempFolder folder;
  folder.Write(kBoxCatalogueName, "100.0 100.0\r\n");
  folder.Write(kPipeCatalogueName, "100.000\r\n");
  EXPECT_EQ(RunDesign(folder.path(), BothShapes()).records.size(), 2u);
}

TEST(BadCatalogue, APipeDeviceOrHugeFileIsRefusedByNameBeforeReading) {
  {
    testing::TempFolder folder;
    folder.Write(kBoxCatalogueName, "0.600 0.600\r\n");
    // Nobody writes to this pipe: reading it would wait for ever.
    ASSERT_EQ(::mkfifo(folder.File(kPipeCatalogueName).c_str(), 0600), 0);
    ExpectRefusedQuickly(folder, kPipeCatalogueName, "通常のファイルではありません");
  }
  {
    testing::TempFolder folder;
    std::filesystem::create_symlink("/dev/zero", folder.File(kBoxCatalogueName));
    folder.Write(kPipeCatalogueName, "0.600\r\n");
    ExpectRefusedQuickly(folder, kBoxCatalogueName, "通常のファイルではありません");
  }
  {
    testing::TempFolder folder;
    folder.Write(kBoxCatalogueName, "0.600 0.600\r\n");
    folder.Write(kPipeCatalogueName, "0.600\r\n");
    // A sparse file: 17 MiB long without taking the disk space.
    std::filesystem::resize_file(folder.File(kPipeCatalogueName), 17u * 1024u * 1024u);
    ExpectRefusedQuickly(folder, kPipeCatalogueName, "大きすぎます");
  }
}

// Under AddressSanitizer the address space is mostly its own reservations.
#ifndef SEKORA_ADDRESS_SANITIZER
// The address space this process uses now, in bytes.
rlim_t AddressSpaceInUse() {
  std::ifstream statm("/proc/self/statm");
  rlim_t pages = 0;
  statm >> pages;
  return pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
}

TEST(BadCatalogue, RunningOutOfMemoryNamesTheCatalogue) {
  testing::TempFolder folder;
  folder.Write(kBoxCatalogueName, "0.600 0.600\r\n");
  folder.Write(kPipeCatalogueName, std::string(15u * 1024u * 1024u, '\'') + "\r\n");
  // A child process whose memory ends a few megabytes above what it uses.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = AddressSpaceInUse() + 4u * 1024u * 1024u;
    ::setrlimit(RLIMIT_AS, &limit);
    try {
      RunDesign(folder.path(), BothShapes());
    } catch (const CatalogueError& e) {
      const std::string message = e.what();
      ::_exit(message.find("KAN.TXT を読み込むためのメモリが足りません") != std::string::npos ? 0
                                                                                              : 2);
    } catch (...) {
      ::_exit(3);
    }
    ::_exit(4);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "2: another message, 3: another error, 4: no error";
}
#endif

TEST(BadCatalogue, NotepadsUtf8ByteOrderMarkIsIgnored) {
  testing::TempFolder folder;
  folder.Write(kBoxCatalogueName, std::string("\xEF\xBB\xBF") + "0.600 0.600\r\n");
  folder.Write(kPipeCatalogueName, "\xEF\xBB\xBF' pipes\r\n0.600\r\n");
  const DesignRun run = RunDesign(folder.path(), BothShapes());
  ASSERT_EQ(run.records.size(), 2u);
  EXPECT_EQ(run.records[0].B, 0.6);
  EXPECT_EQ(run.records[1].D, 0.6);
  // Only at the very start: further on it is no size.
  testing::TempFolder again;
  again.Write(kBoxCatalogueName, "0.600 0.600\r\n");
  again.Write(kPipeCatalogueName, "0.600\r\n\xEF\xBB\xBF" + std::string("0.600\r\n"));
  ExpectRefusedQuickly(again, "KAN.TXT の 2 行目", "正しくありません");
}

std::string RepeatedLines(const std::string& line, int count) {
  std::string text;
  text.reserve((line.size() + 2) * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) text += line + "\r\n";
  return text;
}

TEST(BadCatalogue, The32768thCandidateIsRefusedByName) {
  for (const char* name : {kBoxCatalogueName, kPipeCatalogueName}) {
    SCOPED_TRACE(name);
    const bool boxes = name == std::string(kBoxCatalogueName);
    const std::string line = boxes ? "0.600 0.600" : "0.600";
    DesignConditions conditions;
    Candidates candidates;
    const auto append = boxes ? AppendBoxSections : AppendPipeSections;
    append(RepeatedLines(line, kMaxCandidates), name, conditions, candidates);
    EXPECT_EQ(conditions.CandidateCount, kMaxCandidates);
    EXPECT_EQ(candidates.size(), static_cast<std::size_t>(kMaxCandidates));
    DesignConditions more;
    Candidates refused;
    ExpectFailureNaming<TooManyCandidatesError>(
        [&] { append(RepeatedLines(line, kMaxCandidates + 1), name, more, refused); }, name);
  }
}

TEST(BadCatalogue, LinesOf100000CharactersLoadOrAreRefused) {
  const std::size_t length = 100000;
  DesignConditions conditions;
  Candidates candidates;
  // Sizes in their columns, then a long tail that no column reaches.
  AppendBoxSections("1.500 2.000" + std::string(length - 11, 'x'), kBoxCatalogueName, conditions,
                    candidates);
  // A diameter followed by blanks, which are ignored wherever they stand.
  AppendPipeSections("0.600" + std::string(length - 5, ' '), kPipeCatalogueName, conditions,
                     candidates);
  ASSERT_EQ(candidates.size(), 2u);
  EXPECT_EQ(candidates[0].B, 1.5);
  EXPECT_EQ(candidates[0].H, 2.0);
  EXPECT_EQ(candidates[1].D, 0.6);
  // 100 000 digits are too many for a double: the diameter is refused.
  ExpectFailureNaming<CatalogueError>(
      [&] {
        AppendPipeSections(std::string(length, '7'), kPipeCatalogueName, conditions, candidates);
      },
      kPipeCatalogueName);
}

TEST(BadCatalogue, ACatalogueThatIsAFolderIsRefusedByName) {
  for (const char* name : {kBoxCatalogueName, kPipeCatalogueName}) {
    SCOPED_TRACE(name);
    testing::TempFolder folder;
    std::filesystem::create_directory(folder.File(name));
    DesignConditions conditions;
    conditions.Q = 1.5;
    conditions.L = 20.0;
    conditions.ShapeOption = name == std::string(kBoxCatalogueName) ? ShapeBoxOnly : ShapePipeOnly;
    ExpectFailureNaming<CatalogueError>([&] { RunDesign(folder.path(), conditions); }, name);
  }
}

// ---- Keisan.txt ----

struct ResultsCase {
  const char* file;
  int lines;  // -1: the file is refused
};

const ResultsCase kResultsCases[] = {
    {"missing_fields.txt", -1},  // 24 fields
    {"extra_field.txt", -1},     // 26 fields
    {"missing_last_line_end.txt", 2},
    {"nan_texts.txt", 1},       // "NaN" is no number: every real is 0
    {"infinity_texts.txt", 1},  // likewise "Infinity"
    {"negative_numbers.txt", 1},
    {"huge_number.txt", -1},          // 400 digits read as infinity
    {"status_out_of_range.txt", -1},  // 40000 does not fit in 16 bits
    {"status_unknown_digit.txt", 1},  // status 7: a row without a status text
    {"empty.txt", 0},
    {"blank_lines.txt", -1},  // lines of one empty field
    {"binary_junk.txt", -1},
    {"lf_line_ends.txt", 2},
    {"blanks_in_fields.txt", 1},
    {"fields_with_units.txt", 1},  // "1.500m" reads as 1.5
};

// Every reader of the results file on `content`: KeisanFile, each line by
// ReadSelectedRecord, and the status lookup.
void ReadResults(const std::string& content, int expectedLines) {
  testing::TempFolder folder;
  folder.Write(kResultsFileName, content);
  DesignConditions conditions;
  Candidates records;
  if (expectedLines < 0) {
    ExpectFailureNaming<ResultsFileError>(
        [&] { KeisanFile(kFileModeRead, records, conditions, folder.path()); }, kResultsFileName);
    EXPECT_EQ(conditions.CandidateCount, 0);
    DesignConditions counted;
    counted.CandidateCount = 1;
    KeisanRecord rec;
    ExpectFailureNaming<ResultsFileError>(
        [&] { ReadSelectedRecord(folder.path(), counted, 1, rec); }, kResultsFileName);
    return;
  }
  KeisanFile(kFileModeRead, records, conditions, folder.path());
  EXPECT_EQ(conditions.CandidateCount, expectedLines);
  ASSERT_EQ(static_cast<int>(records.size()), expectedLines);
  // The first and the last line, and 0, which also gives the last line.
  for (const int n : {1, expectedLines, 0}) {
    if (expectedLines == 0) break;
    KeisanRecord rec;
    const auto selected = static_cast<std::int16_t>(n);
    ReadSelectedRecord(folder.path(), conditions, selected, rec);
    EXPECT_EQ(rec, records[static_cast<std::size_t>(n == 0 ? expectedLines : n) - 1]);
    if (n > 0) {
      EXPECT_EQ(LookupStatus(folder.path(), selected), rec.Status);
    }
  }
}

TEST(BadResultsFile, EachFileLoadsOrIsRefusedByName) {
  for (const ResultsCase& c : kResultsCases) {
    SCOPED_TRACE(c.file);
    ReadResults(ReadBadFile("keisan", c.file), c.lines);
  }
}

TEST(BadResultsFile, AResultsFileThatIsAFolderIsRefusedByName) {
  testing::TempFolder folder;
  std::filesystem::create_directory(folder.File(kResultsFileName));
  DesignConditions conditions;
  Candidates records;
  ExpectFailureNaming<ResultsFileError>(
      [&] { KeisanFile(kFileModeRead, records, conditions, folder.path()); }, kResultsFileName);
  ExpectFailureNaming<ResultsFileError>([&] { LookupStatus(folder.path(), 1); }, kResultsFileName);
}

TEST(BadResultsFile, DecoratedFieldsReadAsTheCleanLine) {
  testing::TempFolder folder;
  DesignConditions conditions;
  Candidates clean;
  folder.Write(kResultsFileName, ReadBadFile("keisan", "lf_line_ends.txt"));
  KeisanFile(kFileModeRead, clean, conditions, folder.path());
  ASSERT_FALSE(clean.empty());
  for (const char* name : {"blanks_in_fields.txt", "fields_with_units.txt"}) {
    SCOPED_TRACE(name);
    Candidates decorated;
    folder.Write(kResultsFileName, ReadBadFile("keisan", name));
    KeisanFile(kFileModeRead, decorated, conditions, folder.path());
    ASSERT_EQ(decorated.size(), 1u);
    EXPECT_EQ(decorated[0], clean[0]);
  }
}

TEST(BadResultsFile, TooManyLinesAreRefusedByName) {
  const std::string text = ReadBadFile("keisan", "lf_line_ends.txt");
  const std::string good = text.substr(0, text.find('\n'));
  ReadResults(RepeatedLines(good, kMaxCandidates), kMaxCandidates);
  ReadResults(RepeatedLines(good, kMaxCandidates + 1), -1);
}

TEST(BadResultsFile, LinesOf100000CharactersLoadOrAreRefusedByName) {
  const std::size_t length = 100000;
  const std::string text = ReadBadFile("keisan", "lf_line_ends.txt");
  const std::string good = text.substr(0, text.find('\n'));
  // Blanks after the last field are ignored.
  ReadResults(good + std::string(length - good.size(), ' ') + "\r\n", 1);
  // A 26th field of digits.
  ReadResults(good + "," + std::string(length - good.size() - 1, '9') + "\r\n", -1);
  // Nothing but commas.
  ReadResults(std::string(length, ',') + "\r\n", -1);
}

}  // namespace
}  // namespace sekora
