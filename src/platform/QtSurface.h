// The sheet's drawing surface over a QPainter: the screen picture of the
// preview, the printer page and the exported files all draw through it.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>

#include "DrawingSurface.h"
#include "Metafile.h"

namespace sekora {

// One unit of the sheet's pen on paper: a dot of a 600-dpi printer, the
// printer the pen widths are made for.
inline constexpr double kPaperPenUnitTwips = 1440.0 / 600.0;

// Logical units are twips: the painter is scaled by dpi / 1440, so the sheet
// lays out the same on every device. Font sizes in points become pixel sizes
// in twips (points x 20), which keeps all text metrics in twips as well and
// independent of the device's resolution.
class QtSurface : public DrawingSurface {
 public:
  // `dpi` is the resolution of the painter's device; the painter must stay
  // active while the surface is used.
  QtSurface(QPainter& painter, double dpi);

  // From now on one unit of DrawWidth is `twips` long on paper instead of one
  // device pixel, and no pen is thinner than `thinnestTwips`. A file has no
  // pixels of its own: it is viewed and printed at any scale, so its pens
  // are given as lengths; a printer draws the same lengths, but never less
  // than the one dot it can print.
  void UsePaperPenUnit(double twips, double thinnestTwips = 0.0);

  void SetFont(const std::string& typeface) override;
  void SetFontSize(double points) override;
  double FontSize() const override { return points_; }
  void SetFontItalic(bool italic) override;
  bool FontItalic() const override { return italic_; }

  double TextWidth(const std::string& text) const override;
  double TextHeight(const std::string& text) const override;

  void SetDrawWidth(int width) override;
  int DrawWidth() const override { return drawWidth_; }

  void SetCurrentX(double x) override { currentX_ = x; }
  void SetCurrentY(double y) override { currentY_ = y; }
  double CurrentX() const override { return currentX_; }
  double CurrentY() const override { return currentY_; }

  void Print(const std::string& text) override;
  void Line(double x1, double y1, double x2, double y2) override;
  void PaintPicture(const std::string& path, double x, double y) override;

  // The font in effect, with the family actually used.
  const QFont& CurrentFont() const { return font_->font; }

 private:
  // One font state of the sheet with what has been measured and laid out in
  // it. A sheet switches between a handful of states and prints the same
  // texts on every page, so each text is shaped only once, for its width and
  // for its glyphs.
  struct MeasuredFont {
    QFont font;
    QFontMetricsF metrics;
    std::unordered_map<std::string, double> widths;
    std::unordered_map<std::string, std::unique_ptr<QTextLayout>> layouts;
  };
  using FontKey = std::tuple<std::string, double, bool>;

  void ApplyFont();
  double Width(const std::string& text) const;
  const QTextLayout& LayoutOf(const std::string& text);
  void DrawLaidOut(const std::string& text, double baseline);

  QPainter& painter_;
  // Whether texts are drawn from layouts kept for them (PDF), or anew.
  bool drawsLayouts_;
  std::map<FontKey, MeasuredFont> fonts_;
  MeasuredFont* font_ = nullptr;
  std::string typeface_;
  double points_ = 9.0;
  bool italic_ = false;
  int drawWidth_ = 1;
  double paperPenUnit_ = 0.0;  // twips per unit; 0: one device pixel
  double thinnestTwips_ = 0.0;
  double currentX_ = 0.0;
  double currentY_ = 0.0;
  // Figures already read, by path: a report draws the same few on many pages.
  std::map<std::string, Metafile> pictures_;
};

}  // namespace sekora
