// One PDF document made of the pages of several: a report's pages are drawn
// into parts side by side and joined here, and the document gets what a
// filed report needs and a page writer does not give it: bookmarks, the
// document's title, author and date, and its language.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sekora {

// A bookmark: its title, the page it leads to (from 0, counted over the
// whole document) and the bookmarks under it, which start folded.
struct PdfBookmark {
  std::string title;
  int page = 0;
  std::vector<PdfBookmark> children;
};

struct PdfDocumentInfo {
  std::string title;   // UTF-8
  std::string author;  // UTF-8
  std::string creator;
  std::string producer;
  // When the document was made, as a PDF date: "D:20250131093000+09'00'".
  std::string creationDate;
  // The language of its text, as a language tag ("ja").
  std::string language;
};

// The document made of the pages of `parts` in order (each part a whole
// PDF as PdfReader reads it), with `bookmarks` and `info`. Every object of
// a part is copied unchanged but for its number; the parts' own catalogs,
// page trees and information dictionaries give way to the document's.
// Throws PdfError for a part that cannot be read, a bookmark that leads to
// no page, or information that is not text.
std::string AssemblePdf(const std::vector<std::string_view>& parts,
                        const std::vector<PdfBookmark>& bookmarks, const PdfDocumentInfo& info);

}  // namespace sekora
