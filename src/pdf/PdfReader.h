// Reading a PDF as a PDF writer such as Qt's leaves it: one cross-reference
// table at the end, every object written out in full. Its objects can be
// looked up by number and its pages listed in order.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "PdfSyntax.h"

namespace sekora {

// One object of the file, as written.
struct PdfObject {
  // The value after "n g obj": for a stream, its dictionary.
  std::string_view value;
  // A stream's data, exactly /Length bytes; nothing for other objects.
  std::optional<std::string_view> stream;
};

class PdfReader {
 public:
  // Reads the cross-reference table and the trailer of `pdf`, which must
  // stay alive as long as the reader. Throws PdfError for a file that is no
  // PDF, or that was updated or compressed in ways this reader does not take
  // apart (a cross-reference stream, an incremental update).
  explicit PdfReader(std::string_view pdf);

  // The numbers of the objects in use, in increasing order.
  const std::vector<int>& ObjectNumbers() const { return inUse_; }

  // Object `number`. Throws PdfError when it is not in the file or cannot
  // be read.
  PdfObject Object(int number) const;

  // The object numbers of the document catalog and of the information
  // dictionary (none when the file has none).
  int Root() const { return root_; }
  std::optional<int> Info() const { return info_; }

  struct PageTree {
    std::vector<int> pages;  // the page objects, in the order of the document
    std::vector<int> nodes;  // the page-tree nodes above them
  };
  // Throws PdfError for a page tree that is not one.
  PageTree Pages() const;

 private:
  void ReadCrossReferences(std::size_t tablePos);
  void CollectPages(int node, int depth, PageTree& tree) const;

  std::string_view pdf_;
  std::vector<long long> offsets_;  // by object number; -1 for an object not in use
  std::vector<int> inUse_;
  int root_ = 0;
  std::optional<int> info_;
};

}  // namespace sekora
