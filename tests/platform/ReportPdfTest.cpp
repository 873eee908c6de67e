// PDF reports as a reader gets them: pages drawn in parts and joined in
// order, bookmarks, title, author, date and language read back with qpdf
// and pdfinfo, and the header of every page above the sheet.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <mutex>
#include <set>

#include "ReportExport.h"
#include "SheetExport.h"

using namespace sekora;

namespace {

// The output of `program` run on `arguments`; empty when it fails.
QString Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

QString PageText(const QString& pdf, int page) {
  const QString number = QString::number(page);
  return Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), number,
                                           QStringLiteral("-l"), number, pdf, QStringLiteral("-")});
}

QString WriteFile(const QTemporaryDir& folder, const QString& name, const std::string& content) {
  const QString path = folder.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  file.write(content.data(), static_cast<qint64>(content.size()));
  return path;
}

void PrintAt(DrawingSurface& surface, double y, const std::string& text) {
  surface.SetFont("ＭＳ 明朝");
  surface.SetFontSize(10.5);
  surface.SetCurrentX(1000);
  surface.SetCurrentY(y);
  surface.Print(text);
}

// A report of `count` pages, page i saying "ページ i"; a bookmark on the
// first page and one on the last, with a child.
ReportDocument Report(int count) {
  ReportDocument report{"試しの報告書", "table.csv", {}, {}};
  for (int i = 0; i < count; ++i) {
    report.pages.push_back({[i](DrawingSurface& surface) {
                              PrintAt(surface, 1000, "ページ " + std::to_string(i + 1));
                            },
                            "No.1\u3000東", i + 1});
  }
  report.bookmarks = {{"一覧", 0, {}},
                      {"No.1 東", count - 1, {{"No.7 1.000×1.000 ＯＫ", count - 1, {}}}}};
  return report;
}

}  // namespace

class ReportPdfTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
    qputenv("SOURCE_DATE_EPOCH", "1738281600");  // 2025-01-31 00:00:00 UTC
    qputenv("TZ", "UTC");
  }
  void pagesDrawnInPartsAreJoinedInOrder();
  void bookmarksTitleAuthorDateAndLanguageReadBack();
  void everyPageHasItsHeader();
};

void ReportPdfTest::pagesDrawnInPartsAreJoinedInOrder() {
  // 1 200 pages make three parts, drawn two at a time; each page exactly once.
  std::mutex mutex;
  std::multiset<int> drawn;
  PdfPages pages{1200,
                 [&](DrawingSurface& surface, int page) {
                   {
                     const std::lock_guard lock(mutex);
                     drawn.insert(page);
                   }
                   PrintAt(surface, 1000, "ページ " + std::to_string(page + 1));
                 },
                 {},
                 {"t", "a", "c", "p", "", "ja"}};
  QTemporaryDir folder;
  const QString pdf =
      WriteFile(folder, QStringLiteral("parts.pdf"), PdfPagesContent("parts.pdf", pages, 2));
  QCOMPARE(drawn.size(), std::size_t{1200});
  QCOMPARE(std::set<int>(drawn.begin(), drawn.end()).size(), std::size_t{1200});
  QVERIFY(Run(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf})
              .contains(QStringLiteral("No syntax or stream encoding errors")));
  QVERIFY(Run(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression("Pages: +1200\n")));
  for (int page : {1, 400, 401, 800, 801, 1200}) {
    QVERIFY2(PageText(pdf, page).contains(QStringLiteral("ページ %1\n").arg(page)),
             qPrintable(QString::number(page)));
  }
  // The same pages on one thread make the same file.
  QCOMPARE(PdfPagesContent("parts.pdf", pages, 1), PdfPagesContent("parts.pdf", pages, 2));

  pages.count = 0;
  QVERIFY_THROWS_EXCEPTION(std::invalid_argument, PdfPagesContent("none.pdf", pages, 1));
  pages.count = 2;
  QVERIFY_THROWS_EXCEPTION(std::invalid_argument, PdfPagesContent("pages.png", pages, 1));
}

void ReportPdfTest::bookmarksTitleAuthorDateAndLanguageReadBack() {
  QTemporaryDir folder;
  const QString pdf = folder.filePath(QStringLiteral("report.pdf"));
  ExportReportDocument(pdf.toStdString(), Report(3), 2);

  const QString info = Run(QStringLiteral("pdfinfo"), {pdf});
  QVERIFY2(info.contains(QStringLiteral("Title:           試しの報告書\n")), qPrintable(info));
  QVERIFY(info.contains(QStringLiteral("Author:          Sekora 9.8.7\n")));
  QVERIFY(info.contains(QStringLiteral("CreationDate:    Fri Jan 31 00:00:00 2025 UTC\n")));

  const QJsonObject json =
      QJsonDocument::fromJson(Run(QStringLiteral("qpdf"), {QStringLiteral("--json"), pdf}).toUtf8())
          .object();
  const QJsonArray outlines = json[QStringLiteral("outlines")].toArray();
  QCOMPARE(outlines.size(), 2);
  QCOMPARE(outlines[0][QStringLiteral("title")].toString(), QStringLiteral("一覧"));
  QCOMPARE(outlines[0][QStringLiteral("destpageposfrom1")].toInt(), 1);
  QCOMPARE(outlines[1][QStringLiteral("title")].toString(), QStringLiteral("No.1 東"));
  QCOMPARE(outlines[1][QStringLiteral("destpageposfrom1")].toInt(), 3);
  const QJsonArray kids = outlines[1][QStringLiteral("kids")].toArray();
  QCOMPARE(kids.size(), 1);
  QCOMPARE(kids[0][QStringLiteral("title")].toString(), QStringLiteral("No.7 1.000×1.000 ＯＫ"));
  // The catalog says the text is Japanese.
  bool japanese = false;
  const QJsonObject objects = json[QStringLiteral("qpdf")].toArray()[1].toObject();
  for (const QJsonValue& object : objects) {
    const QJsonObject value = object[QStringLiteral("value")].toObject();
    if (value[QStringLiteral("/Type")].toString() == QStringLiteral("/Catalog")) {
      japanese = value[QStringLiteral("/Lang")].toString() == QStringLiteral("u:ja");
    }
  }
  QVERIFY(japanese);
}

void ReportPdfTest::everyPageHasItsHeader() {
  QTemporaryDir folder;
  const QString pdf = folder.filePath(QStringLiteral("header.pdf"));
  ExportReportDocument(pdf.toStdString(), Report(2), 1);
  const QStringList lines = PageText(pdf, 2).trimmed().split(QLatin1Char('\n'));
  QVERIFY2(
      lines.first().contains(QRegularExpression("^ *table\\.csv +No\\.1 +東 +計算結果一覧 No\\.2 "
                                                "+2025年1月31日 +Sekora 9\\.8\\.7 +2 / 2$")),
      qPrintable(lines.first()));
}

QTEST_MAIN(ReportPdfTest)
#include "ReportPdfTest.moc"
