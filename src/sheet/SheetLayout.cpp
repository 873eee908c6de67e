#include "SheetLayout.h"

#include <algorithm>

namespace sekora {

namespace {

// The units are measured on characters that are never drawn: "函" is as wide
// as any full-width character, "体" as tall as any line.
constexpr char kWidthProbe[] = "函";
constexpr char kHeightProbe[] = "体";

// Sets the body font, upright whatever state the surface was left in.
double MeasureCharW(DrawingSurface& target) {
  target.SetFont(kSheetTypeface);
  target.SetFontSize(kBodySize);
  target.SetFontItalic(false);
  return target.TextWidth(kWidthProbe);
}

}  // namespace

std::string ValueField(double value, int width, Pattern pattern) {
  std::string text = FormatNumber(value, pattern);
  const auto length = static_cast<int>(text.size());
  if (length < width) text.insert(0, static_cast<std::size_t>(width - length), ' ');
  return text;
}

std::string FittedText(const DrawingSurface& target, const std::string& text, double width) {
  static constexpr char kCut[] = "…";
  if (target.TextWidth(text) <= width) return text;
  std::string cut = text;
  while (!cut.empty() && target.TextWidth(cut + kCut) > width) {
    std::size_t end = cut.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(cut[end]) & 0xC0) == 0x80) --end;
    cut.resize(end);
  }
  return cut + kCut;
}

std::string RightAligned(const std::string& text, int width) {
  const auto length = static_cast<int>(text.size());
  return length < width ? std::string(static_cast<std::size_t>(width - length), ' ') + text : text;
}

std::vector<double> ColumnLefts(const std::vector<double>& places,
                                const std::vector<double>& widest, double gap) {
  std::vector<double> lefts;
  for (std::size_t i = 0; i < places.size(); ++i) {
    lefts.push_back(i == 0 ? places[0] : std::max(places[i], lefts[i - 1] + widest[i - 1] + gap));
  }
  return lefts;
}

SheetLayout::SheetLayout(DrawingSurface& target)
    : target_(target),
      charW_(MeasureCharW(target)),
      lineH_(target.TextHeight(kHeightProbe)),
      baseX_(2.0 * charW_),
      baseY_(2.0 * lineH_) {}

double SheetLayout::WidthInChars(const std::string& text) const {
  return target_.TextWidth(text) / charW_;
}

double SheetLayout::WidthInCharsAt(const std::string& text, double size) {
  const double surrounding = target_.FontSize();
  target_.SetFontSize(size);
  const double width = WidthInChars(text);
  target_.SetFontSize(surrounding);
  return width;
}

void SheetLayout::UseBodyFont() {
  target_.SetFontItalic(false);
  target_.SetFontSize(kBodySize);
}

void SheetLayout::UseFormulaFont() {
  target_.SetFontItalic(true);
  target_.SetFontSize(kFormulaSize);
}

void SheetLayout::PutText(double a, double b, const std::string& text) {
  target_.SetCurrentX(X(a));
  target_.SetCurrentY(Y(b));
  target_.Print(text);
}

double SheetLayout::PutRaised(double a, double b, const std::string& text, double size) {
  const double surrounding = target_.FontSize();
  target_.SetFontSize(size);
  PutText(a, b, text);
  const double width = WidthInChars(text);
  target_.SetFontSize(surrounding);
  return width;
}

void SheetLayout::UnitSuperscript(double a, double b, const std::string& textBeforeDigit,
                                  const std::string& digit, double size) {
  PutRaised(a + WidthInChars(textBeforeDigit), b, digit, size);
}

void SheetLayout::StepLine(double x, double y, double dx, double dy) {
  target_.Line(x, y, x + dx, y + dy);
}

void SheetLayout::FractionBar(double a, double b, double length) {
  StepLine(X(a), Y(b), length * charW_, 0.0);
}

void SheetLayout::RadicalSign(double a, double b, double w) {
  double x = X(a);
  double y = Y(b + 0.5);
  const auto stroke = [&](double dx, double dy) {
    StepLine(x, y, dx, dy);
    x += dx;
    y += dy;
  };
  stroke(0.1 * charW_, -0.5 * lineH_);
  stroke(0.2 * charW_, 1.5 * lineH_);
  stroke(0.2 * charW_, -2.0 * lineH_);
  stroke(w * charW_, 0.0);
}

void SheetLayout::DrawnBracket(double a, double b, double h, BracketSide side) {
  const double x = X(a);
  const double top = Y(b);
  const double bottom = top + h * lineH_;
  const double serif = (side == BracketSide::Opening ? 0.25 : -0.25) * charW_;
  StepLine(x, top, 0.0, h * lineH_);
  StepLine(x, top, serif, 0.0);
  StepLine(x, bottom, serif, 0.0);
}

void SheetLayout::SlantExponent(const std::string& upper, GridPoint upperAt,
                                const std::string& lower, GridPoint lowerAt, GridPoint strokeFrom) {
  PutRaised(upperAt.a, upperAt.b, upper, kExponentSize);
  PutRaised(lowerAt.a, lowerAt.b, lower, kExponentSize);
  StepLine(X(strokeFrom.a), Y(strokeFrom.b), -0.5 * charW_, 0.5 * lineH_);
}

void SheetLayout::PaintFigure(const std::string& path, double a, double b) {
  target_.SetCurrentX(X(a));
  target_.SetCurrentY(Y(b));
  target_.PaintPicture(path, X(a), Y(b));
}

void DrawTableRule(SheetLayout& sheet, const TableColumns& columns, double b) {
  const double left = columns.lefts.front();
  sheet.StepLine(sheet.X(left), sheet.Y(b), (columns.right - left) * sheet.CharW(), 0.0);
}

void DrawTableHeadings(SheetLayout& sheet, const TableColumns& columns,
                       std::span<const char* const> headings, std::span<const double> indents,
                       double b) {
  DrawTableRule(sheet, columns, b);
  for (std::size_t c = 0; c < headings.size(); ++c) {
    sheet.PutText(columns.lefts[c] + indents[c], b, headings[c]);
  }
  DrawTableRule(sheet, columns, b + 1.0);
}

}  // namespace sekora
