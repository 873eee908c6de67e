#include "CliOptions.h"

#include <cctype>
#include <functional>
#include <map>

#include "NumberText.h"

namespace sekora::cli {
namespace {

// Consumes the value of `option` from `args` at `i`.
const std::string& OptionValue(const std::vector<std::string>& args, std::size_t& i,
                               const std::string& option) {
  if (i + 1 >= args.size()) throw UsageError(option + " に値がありません");
  return args[++i];
}

double NumberValue(const std::vector<std::string>& args, std::size_t& i,
                   const std::string& option) {
  const std::string& text = OptionValue(args, i, option);
  const std::optional<double> value = ParseStrictNumber(text);
  if (!value) throw UsageError(option + " の値が数値ではありません: " + text);
  return *value;
}

int WholeValue(const std::vector<std::string>& args, std::size_t& i, const std::string& option,
               int smallest, int largest) {
  const std::string& text = OptionValue(args, i, option);
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

std::int16_t ShapeValue(const std::vector<std::string>& args, std::size_t& i) {
  const std::string& text = OptionValue(args, i, "--shape");
  if (text == "both") return ShapeBoth;
  if (text == "box") return ShapeBoxOnly;
  if (text == "pipe") return ShapePipeOnly;
  throw UsageError("--shape の値は both、box、pipe のいずれかです: " + text);
}

}  // namespace

std::optional<double> ParseStrictNumber(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0 || i != text.size()) return std::nullopt;
  return NumericValue(text);
}

std::string HelpText() {
  return R"(使い方 / Usage:
  sekora-cli --q Q --l L [--z1 V] [--z2 V] [--g V] [--alpha V]
             [--box-ratio V] [--circle-ratio V] [--shape both|box|pipe]
             [--exclude-ng] [--dir DIR] [--json]
             [--sheet N --out FILE [--dpi N]]

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
  --dir DIR         BOX.TXT, KAN.TXT, Keisan.txt のフォルダ (既定: プログラムのフォルダ)
  --json            JSON 配列で出力 (25 項目, "No", "StatusText")
  --sheet N --out FILE
                    N 行目の計算書を FILE (.pdf, .png, .svg) に出力
                    draw the calculation sheet of row N to FILE
  --dpi N           PNG の解像度 (既定 150)
  --help            この説明

Values are whole decimal numbers ("1.5", ".5", "-0.25"). Every error is one
line on stderr with exit status 2; Keisan.txt is then left as it was.
)";
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
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (auto n = numbers.find(a); n != numbers.end()) {
      *n->second = NumberValue(args, i, a);
      o.qGiven |= a == "--q";
      o.lGiven |= a == "--l";
    } else if (a == "--shape") {
      c.ShapeOption = ShapeValue(args, i);
    } else if (a == "--exclude-ng") {
      c.ExcludeNg = 1;
    } else if (a == "--dir") {
      o.folder = OptionValue(args, i, a);
    } else if (a == "--json") {
      o.json = true;
    } else if (a == "--sheet") {
      o.sheetRow = WholeValue(args, i, a, 1, kMaxRow);
    } else if (a == "--out") {
      o.sheetOut = OptionValue(args, i, a);
    } else if (a == "--dpi") {
      o.dpi = WholeValue(args, i, a, kMinDpi, kMaxDpi);
    } else if (a == "--help" || a == "-h") {
      o.help = true;
    } else {
      throw UsageError("不明なオプションです: " + a);
    }
  }
  if (o.help) return o;
  if (!o.qGiven) throw UsageError("--q（計画流量）を指定してください");
  if (!o.lGiven) throw UsageError("--l（延長）を指定してください");
  if (o.sheetRow.has_value() != o.sheetOut.has_value()) {
    throw UsageError("--sheet と --out は一緒に指定してください");
  }
  return o;
}

}  // namespace sekora::cli
