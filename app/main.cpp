// Sekora: sizes a culvert for a design discharge and length. The program
// opens the main window and lives until End closes it.
#include <QApplication>

#include "MainForm.h"
#include "QtTranslation.h"
#include "Session.h"
#include "WindowSetup.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sekora"));
  QApplication::setFont(sekora::DialogFont());
  sekora::InstallQtJapanese(app, sekora::QtTranslationsFolder());

  sekora::Session session;
  session.quitApplication = [] { QCoreApplication::quit(); };
  sekora::MainForm mainForm(session);
  mainForm.show();
  return QApplication::exec();
}
