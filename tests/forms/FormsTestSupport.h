// A folder of its own for every window test: small catalogues, blank figures
// and a Keisan.txt written line by line, plus a printer that records jobs.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <vector>

#include "AppFolder.h"
#include "BlankFigure.h"
#include "DrawingSurface.h"
#include "KeisanFile.h"
#include "KeisanRecord.h"
#include "PrintTarget.h"

namespace sekora::testing {

inline const char* const kFigureNames[] = {"矩寸法.wmf", "円寸法.wmf", "寸法.wmf"};

// Two boxes and two pipes: for Q 1.5 m3/s the small ones fail and the big
// ones pass.
inline const char* const kBoxCatalogue = "' boxes\r\n0.300 0.300\r\n2.000 2.000\r\n";
inline const char* const kPipeCatalogue = "' pipes\r\n0.300\r\n2.000\r\n";

class TestFolder {
 public:
  TestFolder() {
    SetAppFolder(Path());
    WriteFile("BOX.TXT", kBoxCatalogue);
    WriteFile("KAN.TXT", kPipeCatalogue);
    for (const char* name : kFigureNames) WriteBlankFigure(File(name));
  }
  ~TestFolder() { SetAppFolder(""); }

  std::string Path() const { return dir_.path().toStdString(); }
  std::string File(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  void WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(File(name), std::ios::binary) << text;
  }
  void Remove(const std::string& name) const { QFile::remove(QString::fromStdString(File(name))); }
  QByteArray Read(const std::string& name) const {
    QFile file(QString::fromStdString(File(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  // Writes Keisan.txt holding `records` and returns its content.
  std::string WriteResults(const std::vector<KeisanRecord>& records) const {
    std::string text;
    for (const KeisanRecord& rec : records) text += ResultsLine(rec) + "\r\n";
    WriteFile(kResultsFileName, text);
    return text;
  }

 private:
  QTemporaryDir dir_;
};

inline KeisanRecord BoxRecord(double b, double h, std::int16_t status) {
  KeisanRecord rec;
  rec.Status = status;
  rec.Kind = KindBox;
  rec.B = b;
  rec.H = h;
  rec.n1 = rec.n2 = 0.02;
  return rec;
}

// Keeps what a printed page was given: its texts and its pen.
class RecordingSurface : public DrawingSurface {
 public:
  void SetFont(const std::string&) override {}
  void SetFontSize(double points) override { points_ = points; }
  double FontSize() const override { return points_; }
  void SetFontItalic(bool italic) override { italic_ = italic; }
  bool FontItalic() const override { return italic_; }
  double TextWidth(const std::string& text) const override { return 100.0 * text.size(); }
  double TextHeight(const std::string&) const override { return 240.0; }
  void SetDrawWidth(int width) override { drawWidth_ = width; }
  int DrawWidth() const override { return drawWidth_; }
  void SetCurrentX(double x) override { x_ = x; }
  void SetCurrentY(double y) override { y_ = y; }
  double CurrentX() const override { return x_; }
  double CurrentY() const override { return y_; }
  void Print(const std::string& text) override { texts += text + "\n"; }
  void Line(double, double, double, double) override { ++lines; }
  void PaintPicture(const std::string&, double, double) override { ++pictures; }

  std::string texts;
  int lines = 0;
  int pictures = 0;

 private:
  double points_ = 9;
  bool italic_ = false;
  int drawWidth_ = 1;
  double x_ = 0;
  double y_ = 0;
};

// A printer that keeps every ended document instead of printing it.
class FakePrinter : public PrintTarget {
 public:
  std::string PrinterName() const override { return "経理室のプリンタ"; }
  DrawingSurface& BeginDocument(const std::string& name) override {
    if (refuse) throw PrintError("プリンタに接続できません");
    ++begun;
    names.push_back(name);
    current_ = RecordingSurface();
    return current_;
  }
  void EndDocument() override { jobs.push_back(current_); }
  void AbortDocument() override { ++aborted; }

  bool refuse = false;
  int begun = 0;
  int aborted = 0;
  std::vector<std::string> names;  // of the documents begun, in order
  std::vector<RecordingSurface> jobs;

 private:
  RecordingSurface current_;
};

}  // namespace sekora::testing
