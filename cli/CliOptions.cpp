#include "CliOptions.h"

#include <CLI/CLI.hpp>
#include <map>

#include "NumberText.h"
#include "ParallelFor.h"

namespace sekora::cli {
namespace {

// The texts of the options, as given; converted once the command line has
// been taken apart, so that every message names the option and the text.
struct OptionTexts {
  std::map<std::string, std::optional<std::string>> numbers;
  std::optional<std::string> shape;
  std::optional<std::string> sheet;
  std::optional<std::string> dpi;
  std::optional<std::string> jobs;
};

double NumberValue(const std::string& option, const std::string& text) {
  const std::optional<double> value = DecimalNumberValue(text);
  if (!value) throw UsageError(option + " の値が数値ではありません: " + text);
  return *value;
}

int WholeValue(const std::string& option, const std::string& text, int smallest, int largest) {
  const bool digitsOnly = !text.empty() && text.size() <= 9 &&
                          text.find_first_not_of("0123456789") == std::string::npos;
  if (!digitsOnly) throw UsageError(option + " の値が整数ではありません: " + text);
  const int value = std::stoi(text);
  if (value < smallest || value > largest) {
    throw UsageError(option + " の値は " + std::to_string(smallest) + " から " +
                     std::to_string(largest) + " です: " + text);
  }
  return value;
}

std::int16_t ShapeValue(const std::string& text) {
  if (text == "both") return ShapeBoth;
  if (text == "box") return ShapeBoxOnly;
  if (text == "pipe") return ShapePipeOnly;
  throw UsageError("--shape の値は both、box、pipe のいずれかです: " + text);
}

// "N" or "N-M" of a --sheet list, added to `rows`.
void AddSheetRows(const std::string& piece, const std::string& text, std::vector<int>& rows) {
  const std::size_t dash = piece.find('-');
  if (dash == std::string::npos) {
    rows.push_back(WholeValue("--sheet", piece, 1, kMaxRow));
    return;
  }
  const int first = WholeValue("--sheet", piece.substr(0, dash), 1, kMaxRow);
  const int last = WholeValue("--sheet", piece.substr(dash + 1), 1, kMaxRow);
  if (last < first) throw UsageError("--sheet の範囲が逆順です: " + text);
  for (int row = first; row <= last; ++row) rows.push_back(row);
}

// The option a CLI11 "needs a value" message is about: its first word.
std::string OptionOfMessage(const std::string& message) {
  const std::size_t end = message.find_first_of(": ");
  return message.substr(0, end);
}

// The first argument CLI11 could not place: an unknown option, or a value
// that follows no option.
std::string FirstExtra(const CLI::App& app) {
  const std::vector<std::string> extras = app.remaining();
  return extras.empty() ? std::string() : extras.front();
}

// A batch takes every condition from its table, one culvert per row.
void CheckBatchOptions(const CLI::App& app) {
  for (const char* single :
       {"--q", "--l", "--z1", "--z2", "--g", "--alpha", "--box-ratio", "--circle-ratio", "--shape",
        "--exclude-ng", "--sheet", "--summary", "--dpi"}) {
    if (app.count(single) > 0) {
      throw UsageError(std::string("--batch と ") + single + " は一緒に指定できません");
    }
  }
}

}  // namespace

std::string HelpText() {
  return R"(使い方 / Usage:
  sekora-cli --q Q --l L [--z1 V] [--z2 V] [--g V] [--alpha V]
             [--box-ratio V] [--circle-ratio V] [--shape both|box|pipe]
             [--exclude-ng] [--dir DIR] [--json]
             [--sheet LIST] [--summary] [--out FILE [--dpi N]] [--jobs N]
  sekora-cli --batch TABLE.csv [--dir DIR] [--out FILE.csv] [--json]
             [--keisan-dir DIR] [--report FILE.pdf] [--jobs N]
  sekora-cli --version

函渠断面の決定: BOX.TXT と KAN.TXT のすべての断面について計算し、
DIR/Keisan.txt を書き、その各行を計算結果一覧の行として出力します。
Sizes every section of DIR/BOX.TXT and DIR/KAN.TXT for the discharge Q
(m3/s) and the culvert length L (m), writes DIR/Keisan.txt and prints one
results-list row per line of it ("No|size|status", UTF-8).

  --q Q             計画流量 Q (m3/s), > 0           design discharge
  --l L             延長 L (m), > 0                  culvert length
  --z1 V            呑口部敷高 Z1 (m), 既定 0         inlet invert level
  --z2 V            吐口部敷高 Z2 (m), 既定 0         outlet invert level
  --g V             重力加速度 g (m/s2), 既定 9.8     gravitational acceleration
  --alpha V         エネルギー補正係数 α, 既定 1      energy correction coefficient
  --box-ratio V     ボックス余裕率, 既定 0.9          usable-height ratio of boxes
  --circle-ratio V  円径余裕率, 既定 0.81             usable-height ratio of pipes
  --shape S         both (既定), box, pipe           which catalogues are read
  --exclude-ng      ＮＧ結果は除く                    write only the passing sections
  --dir DIR         BOX.TXT, KAN.TXT, Keisan.txt と図のフォルダ (既定: 下記)
  --json            JSON 配列で出力 (25 項目, "No", "StatusText", "hReqFrom",
                    "FrictionNote")
  --sheet LIST --out FILE
                    LIST の行の計算書を FILE に出力。LIST は行番号と範囲
                    (7,12,55-58) または ok (ＯＫのすべての行)。PDF は 1 行
                    1 ページ、PNG と SVG は 1 行だけ
                    draw the calculation sheets of the rows of LIST (numbers
                    and ranges, or ok for every ＯＫ row) to FILE: one page
                    per row in a PDF; PNG and SVG take a single row
  --summary         計算結果一覧表（推奨断面付き）を PDF の先頭に付ける。
                    --sheet なしでは一覧表だけを出力
                    put the summary of the run (every candidate, the
                    recommended sections marked) first; alone, just it
  --dpi N           PNG の解像度 (既定 150)
  --jobs N          計算に使うスレッド数 (既定: CPU のコア数)
                    calculation threads (default: the machine's cores)
  --batch TABLE.csv 一覧表の函渠をすべて計算 (Keisan.txt は書きません)
                    design every culvert of the table (one row each:
                    name, q, l required; z1, z2, g, alpha, box_ratio,
                    circle_ratio, shape optional; UTF-8 or Shift-JIS)
  --out FILE.csv    --batch の結果一覧 (UTF-8, BOM 付き)  batch summary
  --keisan-dir DIR  函渠ごとの計算結果を DIR/<番号>_<名前>.txt に出力
                    each culvert's results file, in the Keisan.txt format
  --report FILE.pdf 一括計算の報告書: 結果一覧、函渠ごとの計算結果一覧と
                    推奨断面の計算書 / the batch report: project summary,
                    then each culvert's summary and recommended sheets
  --help            この説明
  --version         版を表示                          print the version

既定のフォルダ / Where the files are (without --dir):
  プログラムのフォルダに BOX.TXT があり書き込めるときは、そのフォルダを使います。
  そうでないとき (インストールした場合など) は、ユーザーのデータフォルダ
  $XDG_DATA_HOME/sekora (既定 ~/.local/share/sekora、Windows では
  %LOCALAPPDATA%\Sekora) に Keisan.txt を書きます。初回に BOX.TXT と KAN.TXT を
  そこへコピーします (既にあるファイルは上書きしません。編集はそちらへ)。
  図は ../share/sekora から読みます。
  The program's folder is used when it holds BOX.TXT and is writable.
  Otherwise (an installed program) Keisan.txt is written to the user's data
  folder, $XDG_DATA_HOME/sekora (default ~/.local/share/sekora; on Windows
  %LOCALAPPDATA%\Sekora), into which the first run copies the shipped BOX.TXT
  and KAN.TXT (files already there are never overwritten: edit those); the
  figures are read from ../share/sekora beside the program's folder.

Values are whole decimal numbers ("1.5", ".5", "-0.25"). Every error is one
line on stderr with exit status 2; Keisan.txt is then left as it was.
)";
}

SheetRows ParseSheetRows(const std::string& text) {
  SheetRows sheets;
  if (text == "ok") {
    sheets.everyOk = true;
    return sheets;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    AddSheetRows(text.substr(start, comma - start), text, sheets.rows);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return sheets;
}

CliOptions ParseCliOptions(const std::vector<std::string>& args) {
  CliOptions o;
  DesignConditions& c = o.conditions;
  const std::map<std::string, double*> numbers = {{"--q", &c.Q},
                                                  {"--l", &c.L},
                                                  {"--z1", &c.Z1},
                                                  {"--z2", &c.Z2},
                                                  {"--g", &c.g},
                                                  {"--alpha", &c.Alpha},
                                                  {"--box-ratio", &c.BoxRatio},
                                                  {"--circle-ratio", &c.CircleRatio}};
  OptionTexts texts;
  bool excludeNg = false;

  CLI::App app("sekora-cli");
  app.set_help_flag();  // the help text is the tool's own, in Japanese and English
  app.allow_extras();   // unknown options get the tool's own message below
  // As in most command lines, an option given twice takes its last value.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  for (const auto& [name, target] : numbers) app.add_option(name, texts.numbers[name]);
  app.add_option("--shape", texts.shape);
  app.add_flag("--exclude-ng", excludeNg);
  app.add_option("--dir", o.folder);
  app.add_flag("--json", o.json);
  app.add_option("--sheet", texts.sheet);
  app.add_flag("--summary", o.summary);
  app.add_option("--out", o.out);
  app.add_option("--dpi", texts.dpi);
  app.add_option("--jobs", texts.jobs);
  app.add_option("--batch", o.batch);
  app.add_option("--keisan-dir", o.keisanDir);
  app.add_option("--report", o.report);
  app.add_flag("-h,--help", o.help);
  app.add_flag("--version", o.version);

  // CLI11 wants the arguments last first.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ArgumentMismatch& e) {
    throw UsageError(OptionOfMessage(e.what()) + " に値がありません");
  } catch (const CLI::ParseError& e) {
    throw UsageError(std::string("コマンドラインが正しくありません: ") + e.what());
  }
  // A value option directly before another option takes that option as its
  // value, so the message names the option whose value is wrong.
  for (const auto& [name, target] : numbers) {
    if (const auto& text = texts.numbers[name]) *target = NumberValue(name, *text);
  }
  if (const std::string extra = FirstExtra(app); !extra.empty()) {
    throw UsageError("不明なオプションです: " + extra);
  }
  if (o.help || o.version) return o;

  o.jobs = texts.jobs ? static_cast<unsigned>(WholeValue("--jobs", *texts.jobs, 1, kMaxJobs))
                      : MachineThreads();
  if (o.batch) {
    CheckBatchOptions(app);
    return o;
  }
  for (const char* batchOnly : {"--keisan-dir", "--report"}) {
    if (app.count(batchOnly) > 0) {
      throw UsageError(std::string(batchOnly) + " は --batch と一緒に指定してください");
    }
  }

  o.qGiven = texts.numbers["--q"].has_value();
  o.lGiven = texts.numbers["--l"].has_value();
  if (texts.shape) c.ShapeOption = ShapeValue(*texts.shape);
  if (excludeNg) c.ExcludeNg = 1;
  if (texts.sheet) o.sheets = ParseSheetRows(*texts.sheet);
  if (texts.dpi) o.dpi = WholeValue("--dpi", *texts.dpi, kMinDpi, kMaxDpi);

  if (!o.qGiven) throw UsageError("--q（計画流量）を指定してください");
  if (!o.lGiven) throw UsageError("--l（延長）を指定してください");
  if ((o.sheets.has_value() || o.summary) != o.out.has_value()) {
    throw UsageError(o.summary ? "--summary には --out を指定してください"
                               : "--sheet と --out は一緒に指定してください");
  }
  return o;
}

}  // namespace sekora::cli
