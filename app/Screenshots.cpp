// Renders the three windows for the documentation: the main window with a
// discharge and a length typed in, the results list of that run, and the
// preview of its first passing section. Usage: sekora-screenshots OUTPUT_DIR
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <cstdio>

#include "FormPrv.h"
#include "KeisanListForm.h"
#include "MainForm.h"
#include "Session.h"
#include "WindowSetup.h"

namespace {

// Lets the windows lay out and paint before they are grabbed.
void Settle() {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

bool Save(QWidget& window, const QDir& folder, const char* name) {
  Settle();
  const QString path = folder.filePath(QString::fromUtf8(name));
  if (window.grab().save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

int FirstPassingRow(const QListWidget& rows) {
  for (int i = 0; i < rows.count(); ++i) {
    if (rows.item(i)->text().endsWith(QString::fromUtf8("ＯＫ"))) return i;
  }
  return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: sekora-screenshots OUTPUT_DIR\n");
    return 2;
  }
  QApplication::setFont(sekora::DialogFont());
  const QDir folder(QString::fromLocal8Bit(argv[1]));

  sekora::Session session;
  sekora::MainForm mainForm(session);
  mainForm.show();
  mainForm.Jyouken(0)->setText(QStringLiteral("2.000"));
  mainForm.Jyouken(1)->setText(QStringLiteral("30.000"));
  if (!Save(mainForm, folder, "main.png")) return 1;

  mainForm.Calculate();
  sekora::KeisanListForm* list = session.resultsList;
  if (list == nullptr) return 1;
  if (!Save(*list, folder, "list.png")) return 1;

  const int row = FirstPassingRow(*list->List1());
  if (row < 0) return 1;
  list->List1()->setCurrentRow(row);
  list->DoubleClickSelectedRow();
  if (session.preview == nullptr) return 1;
  if (!Save(*session.preview, folder, "preview.png")) return 1;
  QApplication::closeAllWindows();
  return 0;
}
