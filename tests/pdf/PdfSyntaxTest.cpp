// Taking PDF values apart: whole values skipped, dictionary entries found,
// references renumbered and nothing else, text written as PDF strings.
#include <gtest/gtest.h>

#include "PdfSyntax.h"

namespace sekora {
namespace {

int PlusHundred(int number) {
  return number + 100;
}

TEST(PdfSyntax, ValuesAreSkippedWholeWhateverTheyHold) {
  const std::string_view nested =
      "<< /A [1 0 R (a \\) in (nested) string) <3E3E>] /B << /C /D >> >> tail";
  EXPECT_EQ(nested.substr(SkipPdfValue(nested, 0)), " tail");
  EXPECT_EQ(SkipPdfValue("  12 0 R next", 0), 8u);  // a reference is one value
  EXPECT_EQ(SkipPdfValue("12 0 obj", 0), 2u);       // two numbers are two
  EXPECT_EQ(SkipPdfValue("% comment\n/Name rest", 0), 15u);
  EXPECT_THROW(SkipPdfValue("<< /A (open", 0), PdfError);
  EXPECT_THROW(SkipPdfValue("[1 2", 0), PdfError);
  EXPECT_THROW(SkipPdfValue("]", 0), PdfError);
}

TEST(PdfSyntax, DictionaryEntriesAreFoundAtTheTopLevelOnly) {
  const std::string_view page =
      "<<\n/Type /Page\n/Note (/Parent 9 0 R)\n/Inner << /Parent 8 0 R >>\n/Parent 3 0 R\n>>";
  EXPECT_EQ(PdfDictionaryValue(page, "/Parent"), "3 0 R");
  EXPECT_EQ(PdfDictionaryValue(page, "/Type"), "/Page");
  EXPECT_EQ(PdfDictionaryValue(page, "/Inner"), "<< /Parent 8 0 R >>");
  EXPECT_FALSE(PdfDictionaryValue(page, "/Kids"));
  EXPECT_FALSE(PdfDictionaryValue(page, "/Typ"));
  EXPECT_THROW(PdfDictionaryValue("[1 2]", "/A"), PdfError);
}

TEST(PdfSyntax, OnlyReferencesAreRenumbered) {
  EXPECT_EQ(RenumberPdfReferences("<< /Kids [3 0 R 14 0 R]\n/Count 2 >>", PlusHundred),
            "<< /Kids [103 0 R 114 0 R]\n/Count 2 >>");
  // Numbers that make no reference, and references in strings, stay as written.
  EXPECT_EQ(RenumberPdfReferences("[0 0 612 792] (see 1 0 R) <31> /F1 1 0 R", PlusHundred),
            "[0 0 612 792] (see 1 0 R) <31> /F1 101 0 R");
  EXPECT_EQ(RenumberPdfReferences("1 0 R", PlusHundred), "101 0 R");
  EXPECT_EQ(PdfReferenceNumber(" 12 0 R "), 12);
  EXPECT_FALSE(PdfReferenceNumber("12 0 R 13"));
  EXPECT_FALSE(PdfReferenceNumber("12"));
  EXPECT_EQ(PdfInteger(" 345\n"), 345);
  EXPECT_FALSE(PdfInteger("-3"));
  EXPECT_FALSE(PdfInteger("3.5"));
}

TEST(PdfSyntax, TextBecomesUtf16WithAByteOrderMark) {
  EXPECT_EQ(PdfTextString("No.1"), "<FEFF004E006F002E0031>");
  EXPECT_EQ(PdfTextString("函渠 ＯＫ"), "<FEFF51FD6E200020FF2FFF2B>");
  EXPECT_EQ(PdfTextString("\xF0\x9F\x98\x80"), "<FEFFD83DDE00>");  // U+1F600, a surrogate pair
  EXPECT_EQ(PdfTextString(""), "<FEFF>");
  EXPECT_THROW(PdfTextString("\xE5\x87"), PdfError);
  EXPECT_THROW(PdfTextString("\xFF"), PdfError);
}

}  // namespace
}  // namespace sekora
