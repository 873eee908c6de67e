#include "QtTranslation.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace sekora {

QString QtTranslationsFolder() {
  return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

QTranslator* InstallQtJapanese(QCoreApplication& app, const QString& folder) {
  auto translator = std::make_unique<QTranslator>(&app);
  // qtbase holds the texts of every Qt widget and dialog the program shows.
  if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                        QStringLiteral("_"), folder)) {
    return nullptr;
  }
  QCoreApplication::installTranslator(translator.get());
  return translator.release();
}

}  // namespace sekora
