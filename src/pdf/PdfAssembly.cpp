#include "PdfAssembly.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "PdfReader.h"
#include "PdfSyntax.h"

namespace sekora {
namespace {

// The document's own objects come first, the parts' objects after them.
constexpr int kCatalog = 1;
constexpr int kPageTree = 2;
constexpr int kInfo = 3;
constexpr int kOutlines = 4;

std::string Reference(int number) {
  return std::to_string(number) + " 0 R";
}

// A PDF date holds digits, "D:", a sign, apostrophes and Z only, so it can
// stand in a literal string as it is.
std::string DateString(const std::string& date) {
  if (date.empty()) return "";
  if (date.rfind("D:", 0) != 0 ||
      date.find_first_not_of("0123456789+-'Z", 2) != std::string::npos) {
    throw PdfError("PDF の日付ではありません: " + date);
  }
  return "(" + date + ")";
}

std::string LanguageString(const std::string& language) {
  const bool plain = std::all_of(language.begin(), language.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
  });
  if (!plain) throw PdfError("言語の名前ではありません: " + language);
  return "(" + language + ")";
}

// The file being written, with where each object starts.
class Output {
 public:
  explicit Output(std::size_t expectedSize) {
    bytes_.reserve(expectedSize);
    bytes_ += "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  }

  void Object(int number, std::string_view value) {
    Begin(number);
    bytes_.append(value);
    bytes_ += "\nendobj\n";
  }

  void Stream(int number, std::string_view dictionary, std::string_view data) {
    Begin(number);
    bytes_.append(dictionary);
    bytes_ += "\nstream\n";
    bytes_.append(data);
    bytes_ += "\nendstream\nendobj\n";
  }

  std::string Finish(int size) {
    const std::size_t table = bytes_.size();
    bytes_ += "xref\n0 " + std::to_string(size) + "\n0000000000 65535 f \n";
    for (int n = 1; n < size; ++n) {
      const std::string offset = std::to_string(offsets_.at(static_cast<std::size_t>(n)));
      bytes_.append(10 - std::min<std::size_t>(offset.size(), 10), '0');
      bytes_ += offset + " 00000 n \n";
    }
    bytes_ += "trailer\n<< /Size " + std::to_string(size) + " /Root " + Reference(kCatalog) +
              " /Info " + Reference(kInfo) + " >>\nstartxref\n" + std::to_string(table) +
              "\n%%EOF\n";
    return std::move(bytes_);
  }

 private:
  void Begin(int number) {
    if (offsets_.size() <= static_cast<std::size_t>(number)) offsets_.resize(number + 1, 0);
    offsets_[number] = bytes_.size();
    bytes_ += std::to_string(number) + " 0 obj\n";
  }

  std::string bytes_;
  std::vector<std::size_t> offsets_;
};

// A bookmark with the object number it is written as.
struct NumberedBookmark {
  const PdfBookmark* bookmark;
  int number;
  int parent;
  std::vector<NumberedBookmark> children;
};

std::vector<NumberedBookmark> NumberBookmarks(const std::vector<PdfBookmark>& bookmarks, int parent,
                                              int& next) {
  std::vector<NumberedBookmark> numbered;
  for (const PdfBookmark& bookmark : bookmarks) {
    numbered.push_back({&bookmark, next++, parent, {}});
    numbered.back().children = NumberBookmarks(bookmark.children, numbered.back().number, next);
  }
  return numbered;
}

// The entries that link a list of bookmarks to its parent: the parent's
// first and last one and how many show (negative: folded).
std::string ListEntries(const std::vector<NumberedBookmark>& list, int count) {
  if (list.empty()) return "";
  return " /First " + Reference(list.front().number) + " /Last " + Reference(list.back().number) +
         " /Count " + std::to_string(count);
}

void WriteBookmarks(Output& out, const std::vector<NumberedBookmark>& list,
                    const std::vector<int>& pages) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    const NumberedBookmark& item = list[i];
    const int page = item.bookmark->page;
    if (page < 0 || static_cast<std::size_t>(page) >= pages.size()) {
      throw PdfError("しおりの行き先のページがありません: " + item.bookmark->title);
    }
    std::string value =
        "<< /Title " + PdfTextString(item.bookmark->title) + " /Parent " + Reference(item.parent);
    if (i > 0) value += " /Prev " + Reference(list[i - 1].number);
    if (i + 1 < list.size()) value += " /Next " + Reference(list[i + 1].number);
    value += ListEntries(item.children, -static_cast<int>(item.children.size()));
    value += " /Dest [" + Reference(pages[static_cast<std::size_t>(page)]) + " /Fit] >>";
    out.Object(item.number, value);
    WriteBookmarks(out, item.children, pages);
  }
}

// One part's objects, numbered for the document.
class PartCopy {
 public:
  PartCopy(std::string_view pdf, int firstNumber) : reader_(pdf) {
    const PdfReader::PageTree tree = reader_.Pages();
    pages_ = tree.pages;
    nodes_.insert(tree.nodes.begin(), tree.nodes.end());
    int next = firstNumber;
    const int highest = reader_.ObjectNumbers().empty() ? 0 : reader_.ObjectNumbers().back();
    numbers_.assign(static_cast<std::size_t>(highest) + 1, 0);
    for (int number : reader_.ObjectNumbers()) {
      if (IsReplaced(number)) continue;
      numbers_[static_cast<std::size_t>(number)] = next++;
    }
    nextNumber_ = next;
  }

  int NextNumber() const { return nextNumber_; }

  // The document's numbers of the part's pages, in order.
  std::vector<int> PageNumbers() const {
    std::vector<int> numbers;
    for (int page : pages_) numbers.push_back(numbers_[static_cast<std::size_t>(page)]);
    return numbers;
  }

  // Writes every object the document keeps. A reference to a node of the
  // part's page tree, as each page's /Parent is, becomes one to the
  // document's page tree.
  void Write(Output& out) const {
    for (int number : reader_.ObjectNumbers()) {
      if (IsReplaced(number)) continue;
      const PdfObject object = reader_.Object(number);
      const std::string value =
          RenumberPdfReferences(object.value, [this](int n) { return NewNumber(n); });
      const int newNumber = numbers_[static_cast<std::size_t>(number)];
      if (object.stream) {
        out.Stream(newNumber, value, *object.stream);
      } else {
        out.Object(newNumber, value);
      }
    }
  }

 private:
  bool IsReplaced(int number) const {
    return number == reader_.Root() || number == reader_.Info() || nodes_.count(number) != 0;
  }

  int NewNumber(int number) const {
    if (nodes_.count(number) != 0) return kPageTree;
    const bool known = number >= 0 && static_cast<std::size_t>(number) < numbers_.size() &&
                       numbers_[static_cast<std::size_t>(number)] != 0;
    if (!known) {
      throw PdfError("PDF のオブジェクト " + std::to_string(number) + " への参照が解けません");
    }
    return numbers_[static_cast<std::size_t>(number)];
  }

  PdfReader reader_;
  std::vector<int> pages_;
  std::unordered_set<int> nodes_;
  std::vector<int> numbers_;  // the document's number of each object; 0 when not kept
  int nextNumber_ = 0;
};

std::string InfoDictionary(const PdfDocumentInfo& info) {
  std::string value = "<< /Title " + PdfTextString(info.title) + " /Author " +
                      PdfTextString(info.author) + " /Creator " + PdfTextString(info.creator) +
                      " /Producer " + PdfTextString(info.producer);
  const std::string date = DateString(info.creationDate);
  if (!date.empty()) value += " /CreationDate " + date;
  return value + " >>";
}

std::string Catalog(const PdfDocumentInfo& info, bool hasBookmarks) {
  std::string value = "<< /Type /Catalog /Pages " + Reference(kPageTree);
  if (hasBookmarks) value += " /Outlines " + Reference(kOutlines) + " /PageMode /UseOutlines";
  if (!info.language.empty()) value += " /Lang " + LanguageString(info.language);
  return value + " /ViewerPreferences << /DisplayDocTitle true >> >>";
}

std::string PageTreeNode(const std::vector<int>& pages) {
  std::string value = "<< /Type /Pages /Count " + std::to_string(pages.size()) + " /Kids [";
  for (int page : pages) value += Reference(page) + " ";
  return value + "] >>";
}

}  // namespace

std::string AssemblePdf(const std::vector<std::string_view>& parts,
                        const std::vector<PdfBookmark>& bookmarks, const PdfDocumentInfo& info) {
  int next = kOutlines + (bookmarks.empty() ? 0 : 1);
  const std::vector<NumberedBookmark> numbered = NumberBookmarks(bookmarks, kOutlines, next);
  std::vector<PartCopy> copies;
  copies.reserve(parts.size());
  std::size_t size = 4096;
  std::vector<int> pages;
  for (std::string_view part : parts) {
    copies.emplace_back(part, next);
    next = copies.back().NextNumber();
    size += part.size();
    for (int page : copies.back().PageNumbers()) pages.push_back(page);
  }

  Output out(size);
  out.Object(kCatalog, Catalog(info, !bookmarks.empty()));
  out.Object(kPageTree, PageTreeNode(pages));
  out.Object(kInfo, InfoDictionary(info));
  if (!bookmarks.empty()) {
    out.Object(kOutlines, "<< /Type /Outlines" +
                              ListEntries(numbered, static_cast<int>(numbered.size())) + " >>");
    WriteBookmarks(out, numbered, pages);
  }
  for (const PartCopy& copy : copies) copy.Write(out);
  return out.Finish(next);
}

}  // namespace sekora
