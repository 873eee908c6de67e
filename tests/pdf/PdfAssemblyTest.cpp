// Joining PDF parts into one document: pages in order under one page tree,
// streams copied byte for byte, references renumbered, and the document's
// bookmarks, information and language, all read back from the result.
#include <gtest/gtest.h>

#include <map>

#include "PdfAssembly.h"
#include "PdfReader.h"

namespace sekora {
namespace {

// A PDF with objects 1..n as given (each the text between "n 0 obj" and
// "endobj"), the catalog 1 and the information dictionary 2, laid out and
// cross-referenced as a page writer does.
std::string MakePdf(const std::vector<std::string>& objects) {
  std::string pdf = "%PDF-1.4\n%\xE2\xE3\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const std::size_t table = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (std::size_t offset : offsets) {
    const std::string digits = std::to_string(offset);
    pdf += std::string(10 - digits.size(), '0') + digits + " 00000 n \n";
  }
  return pdf + "trailer\n<<\n/Size " + std::to_string(objects.size() + 1) +
         "\n/Info 2 0 R\n/Root 1 0 R\n>>\nstartxref\n" + std::to_string(table) + "\n%%EOF\n";
}

std::string Stream(const std::string& data, const std::string& length) {
  return "<<\n/Length " + length + "\n>>\nstream\n" + data + "\nendstream";
}

// A part as Qt writes one: catalog, information, a shared font, then per page
// the page, its content (whose length is an object of its own) and the length.
std::string Part(const std::vector<std::string>& pageTexts) {
  std::vector<std::string> objects = {"<<\n/Type /Catalog\n/Pages 3 0 R\n>>",
                                      "<<\n/Title (part)\n/CreationDate (D:20990101000000Z)\n>>",
                                      "", "<< /Type /Font /Name (font 1 0 R) >>"};
  std::string kids;
  for (const std::string& text : pageTexts) {
    const std::size_t page = objects.size() + 1;
    kids += std::to_string(page) + " 0 R\n";
    objects.push_back("<<\n/Type /Page\n/Parent 3 0 R\n/Contents " + std::to_string(page + 1) +
                      " 0 R\n/Resources << /Font << /F4 4 0 R >> >>\n>>");
    objects.push_back(Stream(text, std::to_string(page + 2) + " 0 R"));
    objects.push_back(std::to_string(text.size()));
  }
  objects[2] = "<<\n/Type /Pages\n/Kids [\n" + kids + "]\n/Count " +
               std::to_string(pageTexts.size()) + "\n>>";
  return MakePdf(objects);
}

// The content of each page of `pdf`, in the order of the document.
std::vector<std::string> PageContents(const PdfReader& reader) {
  std::vector<std::string> contents;
  for (int page : reader.Pages().pages) {
    const std::string_view value = reader.Object(page).value;
    const int content = *PdfReferenceNumber(*PdfDictionaryValue(value, "/Contents"));
    contents.emplace_back(*reader.Object(content).stream);
  }
  return contents;
}

int ReferenceOf(const PdfReader& reader, int object, std::string_view key) {
  const std::optional<std::string_view> value =
      PdfDictionaryValue(reader.Object(object).value, key);
  return value ? PdfReferenceNumber(*value).value_or(-1) : -1;
}

// The font /F4 of a page's resources.
int FontOf(const PdfReader& reader, int page) {
  const std::string_view resources = *PdfDictionaryValue(reader.Object(page).value, "/Resources");
  const std::string_view fonts = *PdfDictionaryValue(resources, "/Font");
  return *PdfReferenceNumber(*PdfDictionaryValue(fonts, "/F4"));
}

PdfDocumentInfo Info() {
  return {"函渠断面の決定",
          "Sekora 1.2.3",
          "Sekora 1.2.3",
          "Sekora 1.2.3 (Qt)",
          "D:20250131093000+09'00'",
          "ja"};
}

TEST(PdfAssembly, PagesOfEveryPartFollowInOrderUnderOnePageTree) {
  // Stream data that looks like the end of an object must not end it.
  const std::string first = Part({"BT (A) Tj ET endobj endstream", "B"});
  const std::string second = Part({"C"});
  const std::string pdf = AssemblePdf({first, second}, {}, Info());
  const PdfReader reader(pdf);
  EXPECT_EQ(PageContents(reader),
            (std::vector<std::string>{"BT (A) Tj ET endobj endstream", "B", "C"}));
  const PdfReader::PageTree tree = reader.Pages();
  ASSERT_EQ(tree.nodes.size(), 1u);
  for (int page : tree.pages) EXPECT_EQ(ReferenceOf(reader, page, "/Parent"), tree.nodes[0]);
  EXPECT_EQ(PdfDictionaryValue(reader.Object(tree.nodes[0]).value, "/Count"), "3");
  // Each part keeps its own font; a string that reads like a reference is kept.
  EXPECT_EQ(FontOf(reader, tree.pages[0]), FontOf(reader, tree.pages[1]));
  EXPECT_NE(FontOf(reader, tree.pages[0]), FontOf(reader, tree.pages[2]));
  EXPECT_EQ(reader.Object(FontOf(reader, tree.pages[2])).value,
            "<< /Type /Font /Name (font 1 0 R) >>");
  // The parts' catalogs, page trees and information are gone.
  EXPECT_EQ(pdf.find("(part)"), std::string::npos);
  EXPECT_EQ(pdf.find("D:2099"), std::string::npos);
}

TEST(PdfAssembly, TheDocumentSaysWhatItIsWhoMadeItWhenAndInWhichLanguage) {
  const std::string part = Part({"A"});
  const std::string pdf = AssemblePdf({part}, {}, Info());
  const PdfReader reader(pdf);
  const std::string_view info = reader.Object(*reader.Info()).value;
  EXPECT_EQ(PdfDictionaryValue(info, "/Title"), PdfTextString("函渠断面の決定"));
  EXPECT_EQ(PdfDictionaryValue(info, "/Author"), PdfTextString("Sekora 1.2.3"));
  EXPECT_EQ(PdfDictionaryValue(info, "/CreationDate"), "(D:20250131093000+09'00')");
  const std::string_view catalog = reader.Object(reader.Root()).value;
  EXPECT_EQ(PdfDictionaryValue(catalog, "/Lang"), "(ja)");
  EXPECT_FALSE(PdfDictionaryValue(catalog, "/Outlines"));  // no bookmarks, no outline

  PdfDocumentInfo badDate = Info();
  badDate.creationDate = "D:2025) /Evil (";
  EXPECT_THROW(AssemblePdf({part}, {}, badDate), PdfError);
  PdfDocumentInfo badLanguage = Info();
  badLanguage.language = "ja) /x (";
  EXPECT_THROW(AssemblePdf({part}, {}, badLanguage), PdfError);
}

TEST(PdfAssembly, BookmarksLeadToTheirPagesChildrenFolded) {
  const std::string first = Part({"summary", "sheet 1"});
  const std::string second = Part({"sheet 2"});
  const std::vector<PdfBookmark> bookmarks = {
      {"計算結果一覧", 0, {}},
      {"No.1 東", 1, {{"No.11 1.200×1.000 ＯＫ", 1, {}}, {"No.55 φ1.100 ＯＫ", 2, {}}}}};
  const std::string pdf = AssemblePdf({first, second}, bookmarks, Info());
  const PdfReader reader(pdf);
  const std::vector<int> pages = reader.Pages().pages;
  const std::string_view catalog = reader.Object(reader.Root()).value;
  EXPECT_EQ(PdfDictionaryValue(catalog, "/PageMode"), "/UseOutlines");
  const int outlines = *PdfReferenceNumber(*PdfDictionaryValue(catalog, "/Outlines"));
  EXPECT_EQ(PdfDictionaryValue(reader.Object(outlines).value, "/Count"), "2");

  const int summary = ReferenceOf(reader, outlines, "/First");
  const int culvert = ReferenceOf(reader, outlines, "/Last");
  EXPECT_EQ(ReferenceOf(reader, summary, "/Next"), culvert);
  EXPECT_EQ(ReferenceOf(reader, culvert, "/Prev"), summary);
  EXPECT_EQ(ReferenceOf(reader, summary, "/Parent"), outlines);
  EXPECT_EQ(PdfDictionaryValue(reader.Object(summary).value, "/Title"),
            PdfTextString("計算結果一覧"));
  EXPECT_EQ(PdfDictionaryValue(reader.Object(summary).value, "/Dest"),
            "[" + std::to_string(pages[0]) + " 0 R /Fit]");
  EXPECT_EQ(PdfDictionaryValue(reader.Object(culvert).value, "/Count"), "-2");

  const int pipeSheet = ReferenceOf(reader, culvert, "/Last");
  EXPECT_EQ(ReferenceOf(reader, pipeSheet, "/Parent"), culvert);
  EXPECT_EQ(PdfDictionaryValue(reader.Object(pipeSheet).value, "/Title"),
            PdfTextString("No.55 φ1.100 ＯＫ"));
  EXPECT_EQ(PdfDictionaryValue(reader.Object(pipeSheet).value, "/Dest"),
            "[" + std::to_string(pages[2]) + " 0 R /Fit]");

  EXPECT_THROW(AssemblePdf({first}, {{"beyond", 2, {}}}, Info()), PdfError);
}

TEST(PdfAssembly, APartThatIsNoPlainPdfIsRefused) {
  EXPECT_THROW(AssemblePdf({"not a pdf"}, {}, Info()), PdfError);
  std::string updated = Part({"A"});
  updated.replace(updated.find("/Root"), 0, "/Prev 9\n");
  EXPECT_THROW(AssemblePdf({updated}, {}, Info()), PdfError);
  std::string shortStream = Part({"ABC"});
  shortStream.replace(shortStream.rfind("3\nendobj"), 1, "9");  // the length object
  EXPECT_THROW(AssemblePdf({shortStream}, {}, Info()), PdfError);
  std::string dangling = Part({"A"});
  dangling.replace(dangling.find("/F4 4 0 R"), 9, "/F4 9 0 R");  // no object 9
  EXPECT_THROW(AssemblePdf({dangling}, {}, Info()), PdfError);
}

}  // namespace
}  // namespace sekora
