#include "FontSubstitution.h"

#include <QFontDatabase>
#include <array>
#include <utility>

namespace sekora {

namespace {

// Each stand-in has the same cell widths as the face it replaces: full-width
// characters one em wide and, in the fixed-pitch faces, half-width ones half
// an em, which the sheet's column layout relies on.
const std::array<std::pair<const char*, const char*>, 3> kStandIns = {{
    {"ＭＳ 明朝", "IPAMincho"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
}};

}  // namespace

QString FontSubstitution(const QString& typeface) {
  if (QFontDatabase::hasFamily(typeface)) return typeface;
  for (const auto& [wanted, standIn] : kStandIns) {
    if (typeface == QString::fromUtf8(wanted)) return QString::fromUtf8(standIn);
  }
  return typeface;
}

QFont SubstitutedFont(const QString& typeface, double points) {
  QFont font(FontSubstitution(typeface));
  font.setPointSizeF(points);
  return font;
}

}  // namespace sekora
