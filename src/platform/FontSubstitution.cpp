#include "FontSubstitution.h"

#include <QFontDatabase>
#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <array>

namespace sekora {

namespace {

// Each stand-in has the same cell widths as the face it replaces: full-width
// characters one em wide and, in the fixed-pitch faces, half-width ones half
// an em, which the sheet's column layout relies on. Faces are asked for by
// their Japanese or their romanised names.
struct StandIn {
  const char* japaneseName;
  const char* romanName;
  const char* standIn;
};

const std::array<StandIn, 4> kStandIns = {{
    {"ＭＳ 明朝", "MS Mincho", "IPAMincho"},
    {"ＭＳ Ｐ明朝", "MS PMincho", "IPAPMincho"},
    {"ＭＳ ゴシック", "MS Gothic", "IPAGothic"},
    {"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic"},
}};

QString LookUpSubstitution(const QString& typeface) {
  if (typeface.isEmpty() || QFontDatabase::hasFamily(typeface)) return typeface;
  for (const StandIn& face : kStandIns) {
    if (typeface == QString::fromUtf8(face.japaneseName) ||
        typeface == QString::fromUtf8(face.romanName)) {
      return QString::fromUtf8(face.standIn);
    }
  }
  return typeface;
}

}  // namespace

// Asking the font database whether a family is installed goes through the
// system's font configuration and costs far more than drawing a page of
// text, so each typeface is looked up once. Reports may be drawn on a
// thread of their own, hence the lock.
QString FontSubstitution(const QString& typeface) {
  static QMutex mutex;
  static QHash<QString, QString> known;
  const QMutexLocker lock(&mutex);
  const auto found = known.constFind(typeface);
  if (found != known.constEnd()) return *found;
  return *known.insert(typeface, LookUpSubstitution(typeface));
}

QFont SubstitutedFont(const QString& typeface, double points) {
  QFont font(FontSubstitution(typeface));
  font.setPointSizeF(points);
  return font;
}

}  // namespace sekora
