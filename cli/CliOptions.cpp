#include "CliOptions.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <map>

#include "ConditionLimits.h"
#include "Messages.h"
#include "NumberText.h"
#include "ParallelFor.h"
#include "Utf8Text.h"

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

// A limit as the messages write it: "0.001", "-99.999", "1".
std::string LimitText(double limit) {
  char buffer[32];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, limit);
  return std::string(buffer, ec == std::errc() ? end : buffer);
}

// The message for a condition's value outside its range.
std::string OutOfRangeMessage(const std::string& option, Condition condition,
                              const std::string& text) {
  const ConditionRange range = AllowedRange(condition);
  const std::string lowest = LimitText(range.lowest);
  const std::string highest = LimitText(range.highest);
  return range.lowestIncluded
             ? Tr("{1} の値は {2} 以上 {3} 以下にしてください: {4}", option, lowest, highest, text)
             : Tr("{1} の値は {2} より大きく {3} 以下にしてください: {4}", option, lowest, highest,
                  text);
}

// The value of a condition's option, within the condition's limits.
double ConditionValue(const std::string& option, Condition condition, const std::string& text) {
  const std::optional<double> value = DecimalNumberValue(text);
  if (!value) {
    throw UsageError(Tr("{1} の値が数値ではありません: {2}", option, PrintableText(text)));
  }
  if (!IsAllowedCondition(condition, *value)) {
    throw UsageError(OutOfRangeMessage(option, condition, PrintableText(text)));
  }
  return *value;
}

int WholeValue(const std::string& option, const std::string& text, int smallest, int largest) {
  const bool digitsOnly = !text.empty() && text.size() <= 9 &&
                          text.find_first_not_of("0123456789") == std::string::npos;
  if (!digitsOnly) {
    throw UsageError(Tr("{1} の値が整数ではありません: {2}", option, PrintableText(text)));
  }
  const int value = std::stoi(text);
  if (value < smallest || value > largest) {
    throw UsageError(Tr("{1} の値は {2} から {3} です: {4}", option, std::to_string(smallest),
                        std::to_string(largest), text));
  }
  return value;
}

std::int16_t ShapeValue(const std::string& text) {
  if (text == "both") return ShapeBoth;
  if (text == "box") return ShapeBoxOnly;
  if (text == "pipe") return ShapePipeOnly;
  throw UsageError(Tr("--shape の値は both、box、pipe のいずれかです: {1}", PrintableText(text)));
}

// "N" or "N-M" of a --sheet list, added to `rows`. A list holds at most
// kMaxRow rows, counted before a range is spread out.
void AddSheetRows(const std::string& piece, const std::string& text, std::vector<int>& rows) {
  const std::size_t dash = piece.find('-');
  const int first = WholeValue("--sheet", piece.substr(0, dash), 1, kMaxRow);
  const int last =
      dash == std::string::npos ? first : WholeValue("--sheet", piece.substr(dash + 1), 1, kMaxRow);
  if (last < first) throw UsageError(Tr("--sheet の範囲が逆順です: {1}", PrintableText(text)));
  if (rows.size() + static_cast<std::size_t>(last - first + 1) > kMaxRow) {
    throw UsageError(Tr("--sheet の行は {1} 行までです", std::to_string(kMaxRow)));
  }
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
      throw UsageError(Tr("--batch と {1} は一緒に指定できません", single));
    }
  }
}

// The command lines of --help, the same in every language.
constexpr const char* kUsage =
    "  sekora-cli --q Q --l L [--z1 V] [--z2 V] [--g V] [--alpha V]\n"
    "             [--box-ratio V] [--circle-ratio V] [--shape both|box|pipe]\n"
    "             [--exclude-ng] [--dir DIR] [--json]\n"
    "             [--sheet LIST] [--summary] [--out FILE [--dpi N]] [--jobs N]\n"
    "  sekora-cli --batch TABLE.csv [--dir DIR] [--out FILE.csv] [--json]\n"
    "             [--keisan-dir DIR] [--report FILE.pdf] [--jobs N]\n"
    "  sekora-cli --help\n"
    "  sekora-cli --version\n";

// An option as --help describes it: as typed, and what it does, in lines.
struct HelpOption {
  const char* usage;
  const char* description;
};

constexpr HelpOption kHelpOptions[] = {
    {"--q Q", TrLater("計画流量 Q (m3/s)、0.001〜999.999")},
    {"--l L", TrLater("延長 L (m)、0.001〜999.999")},
    {"--z1 V", TrLater("呑口部敷高 Z1 (m)、既定 0、-99.999〜999.999")},
    {"--z2 V", TrLater("吐口部敷高 Z2 (m)、既定 0、-99.999〜999.999")},
    {"--g V", TrLater("重力加速度 g (m/s2)、既定 9.8、0.001〜99.999")},
    {"--alpha V", TrLater("エネルギー補正係数 α、既定 1、0.001〜99.999")},
    {"--box-ratio V", TrLater("ボックスの余裕率、既定 0.9、0 より大きく 1 以下")},
    {"--circle-ratio V", TrLater("円形管の余裕率、既定 0.81、0 より大きく 1 以下")},
    {"--shape S", TrLater("読む断面表: both (既定)、box、pipe")},
    {"--exclude-ng", TrLater("ＮＧ結果は除く (ＯＫの断面だけを書く)")},
    {"--dir DIR", TrLater("BOX.TXT、KAN.TXT、Keisan.txt と図のフォルダ (既定: 下記)")},
    {"--json", TrLater("一覧の代わりに JSON 配列で出力 (25 項目、\"No\"、\n"
                       "\"StatusText\"、\"hReqFrom\"、\"FrictionNote\")。--batch では\n"
                       "函渠ごとの結果")},
    {"--sheet LIST", TrLater("LIST の行の計算書を --out のファイルに出力。LIST は行番号と\n"
                             "範囲 (7,12,55-58) または ok (ＯＫのすべての行)、32767 行\n"
                             "まで。PDF は 1 行 1 ページ、PNG と SVG は 1 行だけ")},
    {"--summary", TrLater("計算結果一覧表 (推奨断面付き) を PDF の先頭に付ける。\n"
                          "--sheet なしでは一覧表だけを出力")},
    {"--out FILE", TrLater("計算書のファイル。拡張子で PDF、PNG、SVG")},
    {"--dpi N", TrLater("PNG の解像度 (既定 150)")},
    {"--jobs N", TrLater("計算に使うスレッド数 (既定: CPU のコア数)")},
    {"--batch TABLE.csv", TrLater("一覧表の函渠をすべて計算 (Keisan.txt は書きません)。\n"
                                  "1 行 1 函渠: name、q、l は必須、z1、z2、g、alpha、\n"
                                  "box_ratio、circle_ratio、shape は省略可 (日本語の列名\n"
                                  "も可: 名前、計画流量、延長 …)。UTF-8 または Shift-JIS")},
    {"--out FILE.csv", TrLater("--batch の結果一覧 (UTF-8、BOM 付き)")},
    {"--keisan-dir DIR", TrLater("函渠ごとの計算結果を DIR/<番号>_<名前>.txt に出力\n"
                                 "(DIR は中身ごと置き換えます)")},
    {"--report FILE.pdf", TrLater("一括計算の報告書: 結果一覧、函渠ごとの計算結果一覧と\n"
                                  "推奨断面の計算書")},
    {"-h, --help", TrLater("この説明")},
    {"--version", TrLater("版を表示")},
};

// "  --q Q             description", the description's further lines under
// its first.
std::string OptionHelp(const HelpOption& option) {
  constexpr std::size_t kDescriptionColumn = 20;
  std::string text = "  " + std::string(option.usage);
  text += text.size() < kDescriptionColumn ? std::string(kDescriptionColumn - text.size(), ' ')
                                           : "\n" + std::string(kDescriptionColumn, ' ');
  for (const char c : Tr(option.description)) {
    text += c;
    if (c == '\n') text += std::string(kDescriptionColumn, ' ');
  }
  return text + "\n";
}

}  // namespace

std::string HelpText() {
  std::string text =
      Tr("使い方:") + "\n" + kUsage + "\n" +
      Tr("函渠断面の決定: DIR/BOX.TXT と DIR/KAN.TXT のすべての断面について、計画流量 Q\n"
         "(m3/s) と延長 L (m) で計算し、DIR/Keisan.txt を書き、その各行を計算結果\n"
         "一覧の行 (\"番号|寸法|判定\"、UTF-8) として出力します。") +
      "\n\n";
  for (const HelpOption& option : kHelpOptions) text += OptionHelp(option);
  text += "\n";
  text +=
      Tr("既定のフォルダ (--dir なし):\n"
         "  プログラムのフォルダに BOX.TXT があり書き込めるときは、そのフォルダを\n"
         "  使います。そうでないとき (インストールした場合など) は、ユーザーの\n"
         "  データフォルダ $XDG_DATA_HOME/sekora (既定 ~/.local/share/sekora、\n"
         "  Windows では %LOCALAPPDATA%\\Sekora) に Keisan.txt を書きます。初回に\n"
         "  BOX.TXT と KAN.TXT をそこへコピーします (既にあるファイルは上書き\n"
         "  しません。編集はそちらへ)。図はインストール先のデータフォルダ\n"
         "  (/usr/share/sekora など) から読みます。");
  text += "\n\n";
  text +=
      Tr("数値は 10 進数で省略せずに書きます (\"1.5\"、\".5\"、\"-0.25\")。エラーは\n"
         "すべて標準エラーに 1 行で出し、終了コード 2 で終わります。このとき\n"
         "Keisan.txt と出力ファイルはそのまま残ります。");
  return text + "\n";
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
  struct ConditionOption {
    double* target;
    Condition condition;
  };
  const std::map<std::string, ConditionOption> numbers = {
      {"--q", {&c.Q, Condition::Q}},
      {"--l", {&c.L, Condition::L}},
      {"--z1", {&c.Z1, Condition::Z1}},
      {"--z2", {&c.Z2, Condition::Z2}},
      {"--g", {&c.g, Condition::G}},
      {"--alpha", {&c.Alpha, Condition::Alpha}},
      {"--box-ratio", {&c.BoxRatio, Condition::BoxRatio}},
      {"--circle-ratio", {&c.CircleRatio, Condition::CircleRatio}}};
  OptionTexts texts;
  bool excludeNg = false;

  CLI::App app("sekora-cli");
  app.set_help_flag();  // the help text is the tool's own, in Japanese and English
  app.allow_extras();   // unknown options get the tool's own message below
  // As in most command lines, an option given twice takes its last value.
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  for (const auto& [name, option] : numbers) app.add_option(name, texts.numbers[name]);
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
    throw UsageError(Tr("{1} に値がありません", OptionOfMessage(e.what())));
  } catch (const CLI::ParseError& e) {
    throw UsageError(Tr("コマンドラインが正しくありません: {1}", e.what()));
  }
  // A value option directly before another option takes that option as its
  // value, so the message names the option whose value is wrong.
  for (const auto& [name, option] : numbers) {
    if (const auto& text = texts.numbers[name]) {
      *option.target = ConditionValue(name, option.condition, *text);
    }
  }
  if (const std::string extra = FirstExtra(app); !extra.empty()) {
    throw UsageError(Tr("不明なオプションです: {1}", PrintableText(extra)));
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
      throw UsageError(Tr("{1} は --batch と一緒に指定してください", batchOnly));
    }
  }

  o.qGiven = texts.numbers["--q"].has_value();
  o.lGiven = texts.numbers["--l"].has_value();
  if (texts.shape) c.ShapeOption = ShapeValue(*texts.shape);
  if (excludeNg) c.ExcludeNg = 1;
  if (texts.sheet) o.sheets = ParseSheetRows(*texts.sheet);
  if (texts.dpi) o.dpi = WholeValue("--dpi", *texts.dpi, kMinDpi, kMaxDpi);

  if (!o.qGiven) throw UsageError(Tr("--q（計画流量）を指定してください"));
  if (!o.lGiven) throw UsageError(Tr("--l（延長）を指定してください"));
  if ((o.sheets.has_value() || o.summary) != o.out.has_value()) {
    throw UsageError(o.summary ? Tr("--summary には --out を指定してください")
                               : Tr("--sheet と --out は一緒に指定してください"));
  }
  return o;
}

}  // namespace sekora::cli
