#include <gtest/gtest.h>

#include "CsvReader.h"

namespace sekora {
namespace {

// Every record of the table `bytes`.
std::vector<CsvRecord> ParseCsv(std::string_view bytes) {
  CsvReader reader(bytes);
  std::vector<CsvRecord> records;
  CsvRecord record;
  while (reader.Next(record)) records.push_back(record);
  return records;
}

std::vector<std::vector<std::string>> Cells(const std::vector<CsvRecord>& records) {
  std::vector<std::vector<std::string>> cells;
  for (const CsvRecord& r : records) {
    cells.emplace_back();
    for (const CsvCell& c : r.cells) cells.back().push_back(c.text);
  }
  return cells;
}

std::vector<std::size_t> Lines(const std::vector<CsvRecord>& records) {
  std::vector<std::size_t> lines;
  for (const CsvRecord& r : records) lines.push_back(r.line);
  return lines;
}

using Place = std::pair<std::size_t, std::size_t>;  // line and column

// The line and column of the CsvError that parsing `bytes` throws.
Place ErrorPlace(std::string_view bytes) {
  try {
    ParseCsv(bytes);
  } catch (const CsvError& e) {
    return {e.line(), e.column()};
  }
  ADD_FAILURE() << "no error for: " << bytes;
  return {0, 0};
}

using Table = std::vector<std::vector<std::string>>;

TEST(CsvReader, QuotedFieldsHoldCommasQuotesAndLineBreaks) {
  const auto records =
      ParseCsv("name,q\n\"A, north\",\"say \"\"hi\"\"\"\n\"two\r\nlines\",\"\"\nlast,1\n");
  EXPECT_EQ(Cells(records),
            (Table{{"name", "q"}, {"A, north", "say \"hi\""}, {"two\nlines", ""}, {"last", "1"}}));
  // A record begins on the line where its first field starts.
  EXPECT_EQ(Lines(records), (std::vector<std::size_t>{1, 2, 3, 5}));
  EXPECT_EQ(records[2].cells[1].line, 4u);
}

TEST(CsvReader, LineEndsAndEmptyCells) {
  EXPECT_EQ(Cells(ParseCsv("a,,b\r\n,\rc\n\nd")),
            (Table{{"a", "", "b"}, {"", ""}, {"c"}, {""}, {"d"}}));
  EXPECT_EQ(Lines(ParseCsv("a\r\nb\rc\nd")), (std::vector<std::size_t>{1, 2, 3, 4}));
  EXPECT_EQ(Cells(ParseCsv("a,\n")), (Table{{"a", ""}}));
  EXPECT_TRUE(ParseCsv("").empty());
}

TEST(CsvReader, Utf8WithAndWithoutByteOrderMark) {
  const Table expected{{"name"}, {"函渠①"}};
  EXPECT_EQ(Cells(ParseCsv("name\n函渠①\n")), expected);
  EXPECT_EQ(Cells(ParseCsv("\xEF\xBB\xBFname\n函渠①\n")), expected);
}

TEST(CsvReader, ShiftJisIsDecoded) {
  // 函渠 and 表 (whose second byte is a backslash), half-width katakana and
  // a circled digit of code page 932, one with a quoted comma.
  const auto records = ParseCsv("name,q\r\n\x94\x9F\x8B\x94,1\r\n\"\x95\\,\xB6\xD9\",\x87\x40\r\n");
  EXPECT_EQ(Cells(records), (Table{{"name", "q"}, {"函渠", "1"}, {"表,ｶﾙ", "①"}}));
}

TEST(CsvReader, BadQuotingIsRefusedAtItsLineAndColumn) {
  EXPECT_EQ(ErrorPlace("a,b\n1,\"open\nstill open"), Place(2, 2));
  EXPECT_EQ(ErrorPlace("a,b\n1,x\"y\n"), Place(2, 2));
  EXPECT_EQ(ErrorPlace("a,b,c\n\"x\ny\",1,\"z\"w\n"), Place(3, 3));
  try {
    ParseCsv("a\n\"b");
    FAIL();
  } catch (const CsvError& e) {
    EXPECT_STREQ(e.what(), "2 行目 1 列目: 引用符が閉じていません");
  }
}

TEST(CsvReader, TextInNeitherEncodingIsRefusedAtItsCell) {
  // 0x81 0x20 is no character of code page 932; 0x94 alone is half a one.
  EXPECT_EQ(ErrorPlace("a,b\n1,\x81 \n"), Place(2, 2));
  EXPECT_EQ(ErrorPlace("a,b\n\"x\ny\",z\x94\n"), Place(3, 2));
  // After a byte-order mark the file must be UTF-8 throughout.
  EXPECT_EQ(ErrorPlace("\xEF\xBB\xBF"
                       "a,b\n1,2\n3,\x94\x9F\n"),
            Place(3, 2));
}

// A table is read in one encoding. Rows saved by two programs, one UTF-8
// and one Shift-JIS, are refused at the first cell that does not fit,
// whichever comes first; so is a cell that is neither.
TEST(CsvReader, OneTableIsOneEncoding) {
  const std::string utf8Row = "函渠,1\n";                  // E5 87 BD E6 B8 A0 in UTF-8
  const std::string shiftJisRow = "\x94\x9F\x8B\x94,2\n";  // 函渠 in Shift-JIS
  EXPECT_EQ(ErrorPlace("name,q\n" + utf8Row + shiftJisRow), Place(2, 1));
  EXPECT_EQ(ErrorPlace("name,q\n" + shiftJisRow + utf8Row), Place(3, 1));
  try {
    ParseCsv("name,q\n" + shiftJisRow + utf8Row);
    FAIL();
  } catch (const CsvError& e) {
    EXPECT_NE(std::string(e.what()).find("混ざっています"), std::string::npos) << e.what();
  }
  EXPECT_EQ(Cells(ParseCsv("name,q\n" + shiftJisRow)), (Table{{"name", "q"}, {"函渠", "2"}}));
}

// Half-width katakana pairs such as ﾃｽ (C3 BD) and ﾅｶ (C5 B6) are also valid
// UTF-8 (ý, Ŷ): a table with no kana or kanji in UTF-8 that reads as
// Shift-JIS is Shift-JIS. Kana or kanji anywhere keep a table UTF-8, and a
// table that is not Shift-JIS stays UTF-8.
TEST(CsvReader, HalfWidthKatakanaAreNotReadAsLatinLetters) {
  EXPECT_EQ(EncodingOf("name\n\xC3\xBD\xC5\xB6\n"), TableEncoding::ShiftJis);
  EXPECT_EQ(Cells(ParseCsv("name\n\xC3\xBD\xC5\xB6\n")), (Table{{"name"}, {"ﾃｽﾅｶ"}}));
  EXPECT_EQ(EncodingOf("name\nCafé 函渠\n"), TableEncoding::Utf8);
  EXPECT_EQ(EncodingOf("name\n2×3\n"), TableEncoding::Utf8);  // C3 97 0A is no Shift-JIS
  EXPECT_EQ(EncodingOf("\xEF\xBB\xBFname\n\xC3\xBD\n"), TableEncoding::Utf8);
  EXPECT_EQ(EncodingOf("name,q\nA,1\n"), TableEncoding::Utf8);
}

}  // namespace
}  // namespace sekora
