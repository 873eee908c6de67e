// A drawing surface that draws nothing and records everything, with simple
// fixed-pitch metrics so that every position on the sheet can be predicted.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "DrawingSurface.h"
#include "FigureError.h"

namespace sekora::testing {

struct PrintedText {
  std::string text;
  double x;
  double y;
  double size;
  bool italic;
};

struct DrawnLine {
  double x1;
  double y1;
  double x2;
  double y2;
  int width;
};

struct PaintedPicture {
  std::string path;
  double x;
  double y;
};

// Metrics: a full-width character (three or more UTF-8 bytes, except the
// half-width katakana U+FF61 to U+FF9F) is size × 20 units wide, every other
// character size × 10; a line is size × 24 units tall. At 10.5 pt CharW is
// therefore 210 and LineH 252.
class RecordingSurface : public DrawingSurface {
 public:
  static constexpr double kUnitsPerPoint = 20.0;
  static constexpr double kLineUnitsPerPoint = 24.0;

  void SetFont(const std::string& typeface) override { typefaces.push_back(typeface); }
  void SetFontSize(double points) override { size_ = points; }
  double FontSize() const override { return size_; }
  void SetFontItalic(bool italic) override { italic_ = italic; }
  bool FontItalic() const override { return italic_; }

  double TextWidth(const std::string& text) const override {
    return size_ * kUnitsPerPoint * FullWidthColumns(text) / 2.0;
  }
  double TextHeight(const std::string&) const override { return size_ * kLineUnitsPerPoint; }

  void SetDrawWidth(int width) override { drawWidth_ = width; }
  int DrawWidth() const override { return drawWidth_; }

  void SetCurrentX(double x) override { x_ = x; }
  void SetCurrentY(double y) override { y_ = y; }
  double CurrentX() const override { return x_; }
  double CurrentY() const override { return y_; }

  void Print(const std::string& text) override {
    texts.push_back({text, x_, y_, size_, italic_});
    x_ += TextWidth(text);
  }

  void Line(double x1, double y1, double x2, double y2) override {
    lines.push_back({x1, y1, x2, y2, drawWidth_});
  }

  void PaintPicture(const std::string& path, double x, double y) override {
    if (missingFigures.count(path) != 0) throw FigureError("cannot load " + path);
    pictures.push_back({path, x, y});
  }

  // Half-width columns a UTF-8 text takes: 2 per full-width character, 1 per other.
  static int FullWidthColumns(const std::string& text) {
    int columns = 0;
    for (std::size_t i = 0; i < text.size();) {
      const auto lead = static_cast<unsigned char>(text[i]);
      const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
      columns += length >= 3 && !IsHalfWidthKatakana(text, i) ? 2 : 1;
      i += length;
    }
    return columns;
  }

  std::vector<std::string> typefaces;
  std::vector<PrintedText> texts;
  std::vector<DrawnLine> lines;
  std::vector<PaintedPicture> pictures;
  std::set<std::string> missingFigures;  // paths whose picture fails to load

 private:
  // U+FF61 to U+FF9F are EF BD A1 to EF BE 9F in UTF-8.
  static bool IsHalfWidthKatakana(const std::string& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    if (i + 2 >= text.size()) return false;
    const unsigned code = (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
    return code >= 0xFF61 && code <= 0xFF9F;
  }

  double size_ = 12.0;
  bool italic_ = false;
  int drawWidth_ = 1;
  double x_ = 0.0;
  double y_ = 0.0;
};

}  // namespace sekora::testing
