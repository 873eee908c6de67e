// Qt's own texts (message box buttons, the printer dialog, the context menu
// of text boxes) in Japanese, like the rest of the program.
#pragma once

#include <QCoreApplication>
#include <QString>

class QTranslator;

namespace sekora {

// The folder Qt's translations are installed in.
QString QtTranslationsFolder();

// Loads Qt's Japanese translation from `folder` and installs it in `app`,
// which owns it. Returns the translator, or null, changing nothing, when the
// translation is not there: the program then goes on with Qt's English.
QTranslator* InstallQtJapanese(QCoreApplication& app, const QString& folder);

}  // namespace sekora
