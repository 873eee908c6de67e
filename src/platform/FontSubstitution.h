// The Japanese typefaces the windows and the sheet ask for, and the
// metric-compatible IPA faces that stand in for them where they are missing.
#pragma once

#include <QFont>
#include <QString>

namespace sekora {

// The family to use for `typeface`: the face itself when it is installed,
// else "IPAMincho" for "ＭＳ 明朝", "IPAPMincho" for "ＭＳ Ｐ明朝",
// "IPAGothic" for "ＭＳ ゴシック" and "IPAPGothic" for "ＭＳ Ｐゴシック"
// (or their romanised names, "MS Mincho" ...). Any other face is returned
// unchanged and left to the font matcher.
QString FontSubstitution(const QString& typeface);

// A font of `typeface` (substituted as above) at `points`.
QFont SubstitutedFont(const QString& typeface, double points);

}  // namespace sekora
