#include "ResultRow.h"

#include "NumberText.h"

namespace sekora {
namespace {

// Width of the row-number column, in characters.
constexpr std::size_t kNumberWidth = 5;

// The row number right-aligned in five characters; a number of five digits
// or more fills the column.
std::string RowNumberText(int rowNo) {
  std::string text = "      " + std::to_string(rowNo);  // a leading blank before the digits
  return text.substr(text.size() - kNumberWidth);
}

// The size column of a row: a pipe's is padded to the width of a box's.
std::string SizeText(const KeisanRecord& rec) {
  return SectionSizeText(rec) + (rec.Kind == KindBox ? "" : "     ");
}

}  // namespace

std::string SectionSizeText(const KeisanRecord& rec) {
  if (rec.Kind == KindBox) {
    return FormatNumber(rec.B, Pattern::Fixed3) + "×" + FormatNumber(rec.H, Pattern::Fixed3);
  }
  return "φ" + FormatNumber(rec.D, Pattern::Fixed3);
}

std::string StatusText(int status) {
  switch (status) {
    case StatusOk:
      return "ＯＫ";
    case StatusOutletOver:
      return "吐口計算水深がオーバーしました";
    case StatusInletOver:
      return "呑口計算水深がオーバーしました";
    case StatusInletNotFound:
      return "呑口計算水深が求まりません";
    case StatusFreeboardOver:
      return "余裕高考慮にてオーバーしました";
    default:
      return "";
  }
}

std::string ResultRowText(int rowNo, const KeisanRecord& rec) {
  return RowNumberText(rowNo) + "|" + SizeText(rec) + "|" + StatusText(rec.Status);
}

}  // namespace sekora
