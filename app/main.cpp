// Sekora: sizes a culvert for a design discharge and length. The program
// opens the main window and lives until End closes it.
#include <QApplication>
#include <cstring>
#include <iostream>

#include "InstallLayout.h"
#include "MainForm.h"
#include "QtTranslation.h"
#include "Session.h"
#include "WindowSetup.h"

namespace {

// --version is answered before any window system is needed.
bool AsksForVersion(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (AsksForVersion(argc, argv)) {
    std::cout << "sekora " << SEKORA_VERSION << '\n';
    return 0;
  }
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Sekora"));
  QApplication::setApplicationVersion(QStringLiteral(SEKORA_VERSION));
  QGuiApplication::setDesktopFileName(QString::fromUtf8(sekora::kDesktopEntryName));
  QApplication::setFont(sekora::DialogFont());
  sekora::InstallQtJapanese(app, sekora::QtTranslationsFolder());

  sekora::Session session;
  session.quitApplication = [] { QCoreApplication::quit(); };
  sekora::MainForm mainForm(session);
  mainForm.show();
  return QApplication::exec();
}
