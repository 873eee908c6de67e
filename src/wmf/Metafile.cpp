#include "Metafile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <optional>
#include <stdexcept>
#include <utility>

#include "CharsetText.h"
#include "FigureError.h"
#include "MetafileFormat.h"
#include "Paths.h"

namespace sekora {

namespace {

constexpr std::size_t kRecordHeaderBytes = 2 * wmf::kRecordHeaderWords;
constexpr std::uint16_t kExtTextOutOpaque = 0x0002;
constexpr std::uint16_t kExtTextOutClipped = 0x0004;

using namespace wmf;

// Why the bytes are not a readable picture; ParseMetafile names the file.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Little-endian reading that never passes the end of its bytes.
class ByteReader {
 public:
  ByteReader(std::span<const std::uint8_t> bytes, const char* whatIsShort)
      : bytes_(bytes), whatIsShort_(whatIsShort) {}

  std::size_t Remaining() const { return bytes_.size() - offset_; }

  std::span<const std::uint8_t> Take(std::size_t count) {
    if (count > Remaining()) throw FormatError(whatIsShort_);
    const auto taken = bytes_.subspan(offset_, count);
    offset_ += count;
    return taken;
  }

  std::uint8_t U8() { return Take(1)[0]; }
  std::uint16_t U16() {
    const auto b = Take(2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
  }
  std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
  std::uint32_t U32() {
    const std::uint32_t low = U16();
    return low | (static_cast<std::uint32_t>(U16()) << 16);
  }
  MetafileColor Color() {
    MetafileColor color{U8(), U8(), U8()};
    U8();  // reserved
    return color;
  }
  // A point stored y first, as most records store their coordinates.
  MetafilePoint PointYX() {
    const std::int16_t y = I16();
    return {I16(), y};
  }
  MetafilePoint PointXY() {
    const std::int16_t x = I16();
    return {x, I16()};
  }
  // A rectangle stored bottom, right, top, left.
  MetafileRect RectBRTL() {
    MetafileRect rect;
    rect.bottom = I16();
    rect.right = I16();
    rect.top = I16();
    rect.left = I16();
    return rect;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t offset_ = 0;
  const char* whatIsShort_;
};

struct PlaceableHeader {
  MetafileRect bounds;
  std::uint16_t unitsPerInch = 0;
};

PlaceableHeader ReadPlaceableHeader(ByteReader& reader) {
  if (reader.U32() != kPlaceableKey) throw FormatError("プレースブルヘッダーがありません");
  reader.U16();  // handle, always 0 in a file
  PlaceableHeader header;
  header.bounds.left = reader.I16();
  header.bounds.top = reader.I16();
  header.bounds.right = reader.I16();
  header.bounds.bottom = reader.I16();
  header.unitsPerInch = reader.U16();
  reader.U32();  // reserved
  reader.U16();  // checksum: many writers get it wrong, and nothing depends on it
  if (header.bounds.right <= header.bounds.left || header.bounds.bottom <= header.bounds.top) {
    throw FormatError("図の範囲の大きさが０です");
  }
  if (header.unitsPerInch == 0) throw FormatError("１インチあたりの単位数が０です");
  return header;
}

// Reads the metafile header and returns the size of its object table.
std::uint16_t ReadMetaHeader(ByteReader& reader) {
  const std::uint16_t type = reader.U16();
  const std::uint16_t headerWords = reader.U16();
  if ((type != 1 && type != 2) || headerWords != kMetaHeaderWords) {
    throw FormatError("メタファイルヘッダーが正しくありません");
  }
  reader.U16();  // version
  reader.U32();  // size of the file in words: the records are checked one by one instead
  const std::uint16_t objectCount = reader.U16();
  reader.U32();  // largest record
  reader.U16();  // unused
  return objectCount;
}

// The pens, brushes and fonts a file creates; other objects (palettes,
// regions, pattern brushes) only hold their slot.
using GdiObject = std::variant<std::monostate, MetafilePen, MetafileBrush, MetafileFont>;

// GDI's object table: a new object takes the lowest free slot. It grows only
// as objects are created, so a large declared size costs nothing.
class ObjectTable {
 public:
  explicit ObjectTable(std::uint16_t capacity) : capacity_(capacity) {}

  void Add(GdiObject object) {
    for (auto& slot : slots_) {
      if (!slot) {
        slot = std::move(object);
        return;
      }
    }
    if (slots_.size() >= capacity_)
      throw FormatError("オブジェクトの数がヘッダーの数を超えています");
    slots_.emplace_back(std::move(object));
  }

  const GdiObject& At(std::uint16_t index) const {
    if (index >= slots_.size() || !slots_[index])
      throw FormatError("存在しないオブジェクトを使っています");
    return *slots_[index];
  }

  void Remove(std::uint16_t index) {
    At(index);
    slots_[index].reset();
  }

 private:
  std::uint16_t capacity_;
  std::vector<std::optional<GdiObject>> slots_;
};

std::string TextOfFigure(std::span<const std::uint8_t> bytes, std::uint8_t charset) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  text = text.substr(0, text.find('\0'));
  auto decoded = DecodeText(text, CharsetCodePage(charset));
  if (!decoded) throw FormatError("文字列を文字コード変換できません");
  return std::move(*decoded);
}

MetafilePenStyle PenStyleOf(std::uint16_t style) {
  // The low bits hold the dash pattern; the high bits, end caps and joins,
  // are of no matter for the thin lines of a figure.
  const std::uint16_t pattern = style & 0x000F;
  if (pattern > static_cast<std::uint16_t>(MetafilePenStyle::kInsideFrame)) {
    return MetafilePenStyle::kSolid;
  }
  return static_cast<MetafilePenStyle>(pattern);
}

MetafileBrushStyle BrushStyleOf(std::uint16_t style) {
  if (style > static_cast<std::uint16_t>(MetafileBrushStyle::kHatched)) {
    return MetafileBrushStyle::kSolid;
  }
  return static_cast<MetafileBrushStyle>(style);
}

MetafilePen ReadPen(ByteReader& params) {
  MetafilePen pen;
  pen.style = PenStyleOf(params.U16());
  pen.width = params.I16();
  params.I16();  // the height of the width point is unused
  pen.color = params.Color();
  return pen;
}

MetafileBrush ReadBrush(ByteReader& params) {
  MetafileBrush brush;
  brush.style = BrushStyleOf(params.U16());
  brush.color = params.Color();
  brush.hatch = params.U16();
  return brush;
}

MetafileFont ReadFont(ByteReader& params) {
  MetafileFont font;
  font.height = params.I16();
  font.width = params.I16();
  font.escapement = params.I16();
  params.I16();  // orientation: GDI draws by the escapement
  font.weight = params.I16();
  font.italic = params.U8() != 0;
  font.underline = params.U8() != 0;
  font.strikeOut = params.U8() != 0;
  font.charset = params.U8();
  params.Take(4);  // precisions, quality, pitch and family
  // Writers may shorten the record after the face name's terminating zero.
  const std::size_t nameBytes = std::min(kFaceNameBytes, params.Remaining());
  font.faceName = TextOfFigure(params.Take(nameBytes), font.charset);
  return font;
}

std::vector<MetafilePoint> ReadPoints(ByteReader& params) {
  const std::int16_t count = params.I16();
  if (count < 0 || static_cast<std::size_t>(count) * 4 > params.Remaining()) {
    throw FormatError("点の数がレコードの大きさを超えています");
  }
  std::vector<MetafilePoint> points;
  points.reserve(static_cast<std::size_t>(count));
  for (std::int16_t i = 0; i < count; ++i) points.push_back(params.PointXY());
  return points;
}

std::span<const std::uint8_t> TakeString(ByteReader& params, std::int16_t length) {
  if (length < 0) throw FormatError("文字列の長さが負です");
  return params.Take(static_cast<std::size_t>(length));
}

// Turns the records of one file into MetafileRecords, keeping the object
// table and the charset of the selected font as GDI would.
class RecordParser {
 public:
  explicit RecordParser(std::uint16_t objectCount) : objects_(objectCount) {}

  void Parse(std::uint16_t function, ByteReader& params) {
    switch (function) {
      case kSetWindowOrg:
        records_.push_back(SetWindowOrgRecord{params.PointYX()});
        break;
      case kSetWindowExt:
        ParseWindowExt(params);
        break;
      case kSetMapMode:
        records_.push_back(SetMapModeRecord{params.U16()});
        break;
      case kSetBkMode:
        records_.push_back(SetBackgroundModeRecord{params.U16() != kTransparentBackground});
        break;
      case kSetTextAlign:
        records_.push_back(SetTextAlignRecord{params.U16()});
        break;
      case kSetTextColor:
        records_.push_back(SetTextColorRecord{params.Color()});
        break;
      case kCreatePenIndirect:
        objects_.Add(ReadPen(params));
        break;
      case kCreateBrushIndirect:
        objects_.Add(ReadBrush(params));
        break;
      case kCreateFontIndirect:
        objects_.Add(ReadFont(params));
        break;
      case kCreatePalette:
      case kCreatePatternBrush:
      case kDibCreatePatternBrush:
      case kCreateRegion:
        objects_.Add(std::monostate{});
        break;
      case kSelectObject:
        Select(objects_.At(params.U16()));
        break;
      case kDeleteObject:
        objects_.Remove(params.U16());
        break;
      default:
        ParseDrawing(function, params);
    }
  }

  std::vector<MetafileRecord> TakeRecords() { return std::move(records_); }

 private:
  void ParseWindowExt(ByteReader& params) {
    const MetafilePoint extent = params.PointYX();
    if (extent.x == 0 || extent.y == 0) throw FormatError("ウィンドウの大きさが０です");
    records_.push_back(SetWindowExtRecord{extent});
  }

  void ParseDrawing(std::uint16_t function, ByteReader& params) {
    switch (function) {
      case kMoveTo:
        records_.push_back(MoveToRecord{params.PointYX()});
        break;
      case kLineTo:
        records_.push_back(LineToRecord{params.PointYX()});
        break;
      case kPolyline:
        records_.push_back(PolylineRecord{ReadPoints(params)});
        break;
      case kPolygon:
        records_.push_back(PolygonRecord{ReadPoints(params)});
        break;
      case kRectangle:
        records_.push_back(RectangleRecord{params.RectBRTL()});
        break;
      case kEllipse:
        records_.push_back(EllipseRecord{params.RectBRTL()});
        break;
      case kArc:
        ParseArc(params);
        break;
      case kTextOut:
        ParseTextOut(params);
        break;
      case kExtTextOut:
        ParseExtTextOut(params);
        break;
      default:
        break;  // records that do not draw what the figures need are skipped
    }
  }

  void ParseArc(ByteReader& params) {
    ArcRecord arc;
    arc.end = params.PointYX();
    arc.start = params.PointYX();
    arc.rect = params.RectBRTL();
    records_.push_back(arc);
  }

  void ParseTextOut(ByteReader& params) {
    const std::int16_t length = params.I16();
    const auto bytes = TakeString(params, length);
    params.Take(static_cast<std::size_t>(length) % 2);  // padding to a whole word
    const MetafilePoint at = params.PointYX();
    records_.push_back(TextRecord{at, TextOfFigure(bytes, charset_)});
  }

  void ParseExtTextOut(ByteReader& params) {
    const MetafilePoint at = params.PointYX();
    const std::int16_t length = params.I16();
    const std::uint16_t options = params.U16();
    if (options & (kExtTextOutOpaque | kExtTextOutClipped)) params.Take(8);  // clipping rectangle
    records_.push_back(TextRecord{at, TextOfFigure(TakeString(params, length), charset_)});
  }

  void Select(const GdiObject& object) {
    if (const auto* pen = std::get_if<MetafilePen>(&object)) {
      records_.push_back(SelectPenRecord{*pen});
    } else if (const auto* brush = std::get_if<MetafileBrush>(&object)) {
      records_.push_back(SelectBrushRecord{*brush});
    } else if (const auto* font = std::get_if<MetafileFont>(&object)) {
      charset_ = font->charset;
      records_.push_back(SelectFontRecord{*font});
    }
  }

  ObjectTable objects_;
  std::uint8_t charset_ = kAnsiCharset;
  std::vector<MetafileRecord> records_;
};

std::vector<MetafileRecord> ReadRecords(ByteReader& reader, std::uint16_t objectCount) {
  RecordParser parser(objectCount);
  while (reader.Remaining() > 0) {
    ByteReader header(reader.Take(std::min(kRecordHeaderBytes, reader.Remaining())),
                      "レコードが途中で切れています");
    const std::uint64_t bytes = static_cast<std::uint64_t>(header.U32()) * 2;
    const std::uint16_t function = header.U16();
    if (bytes < kRecordHeaderBytes) throw FormatError("レコードの大きさが正しくありません");
    if (bytes - kRecordHeaderBytes > reader.Remaining()) {
      throw FormatError("レコードの大きさがファイルの残りを超えています");
    }
    ByteReader params(reader.Take(static_cast<std::size_t>(bytes - kRecordHeaderBytes)),
                      "レコードが短すぎます");
    if (function == kEof) return parser.TakeRecords();
    parser.Parse(function, params);
  }
  throw FormatError("終わりのレコードがありません");
}

}  // namespace

Metafile::Metafile(std::string name, MetafileRect bounds, std::uint16_t unitsPerInch,
                   std::vector<MetafileRecord> records)
    : name_(std::move(name)),
      bounds_(bounds),
      unitsPerInch_(unitsPerInch),
      records_(std::move(records)) {}

double Metafile::WidthTwips() const {
  return (static_cast<double>(bounds_.right) - bounds_.left) / unitsPerInch_ * 1440.0;
}

double Metafile::HeightTwips() const {
  return (static_cast<double>(bounds_.bottom) - bounds_.top) / unitsPerInch_ * 1440.0;
}

namespace {

// The three figures of the sheet are a few kilobytes each.
constexpr std::uintmax_t kLargestFigureBytes = 16u * 1024u * 1024u;

// Refuses, before anything is read, a figure that is a folder, a device or a
// pipe (which could block for ever or never end) or is far too large.
void CheckFigureFile(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path file = PathFromUtf8(path);
  const std::filesystem::file_status status = std::filesystem::status(file, ec);
  if (!std::filesystem::exists(status)) return;  // opening it will tell
  if (!std::filesystem::is_regular_file(status)) {
    throw FigureError("図ファイル " + path + " は通常のファイルではありません");
  }
  if (std::filesystem::file_size(file, ec) > kLargestFigureBytes && !ec) {
    throw FigureError("図ファイル " + path + " が大きすぎます（16 MiB まで）");
  }
}

}  // namespace

Metafile ParseMetafile(std::span<const std::uint8_t> bytes, const std::string& name) {
  try {
    ByteReader reader(bytes, "ヘッダーが途中で切れています");
    const PlaceableHeader placeable = ReadPlaceableHeader(reader);
    const std::uint16_t objectCount = ReadMetaHeader(reader);
    return Metafile(name, placeable.bounds, placeable.unitsPerInch,
                    ReadRecords(reader, objectCount));
  } catch (const FormatError& error) {
    throw FigureError("図ファイル " + name + " を読み込めません: " + error.what());
  }
}

Metafile LoadMetafile(const std::string& path) {
  CheckFigureFile(path);
  std::ifstream file(PathFromUtf8(path), std::ios::binary);
  if (!file) throw FigureError("図ファイル " + path + " を開けません");
  const std::string unreadable = "図ファイル " + path + " を読み込めません: 読み取りに失敗しました";
  try {
    std::vector<std::uint8_t> bytes;
    // A read that fails part way (a failing disk) throws from the stream
    // buffer.
    try {
      bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } catch (const std::ios_base::failure&) {
      throw FigureError(unreadable);
    }
    if (file.bad()) throw FigureError(unreadable);
    return ParseMetafile(bytes, path);
  } catch (const std::bad_alloc&) {
    throw FigureError("図ファイル " + path + " を読み込むためのメモリが足りません");
  }
}

}  // namespace sekora
