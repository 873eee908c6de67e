// A Windows Metafile picture (a placeable WMF), read into the records the
// sheet's figures use. Coordinates stay in the picture's logical units;
// ReplayMetafile (MetafileReplay.h) maps them onto a page in twips.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace sekora {

struct MetafilePoint {
  std::int16_t x = 0;
  std::int16_t y = 0;
  bool operator==(const MetafilePoint&) const = default;
};

// A rectangle as GDI gives it: the right and bottom edges may lie left of or
// above the left and top edges.
struct MetafileRect {
  std::int16_t left = 0;
  std::int16_t top = 0;
  std::int16_t right = 0;
  std::int16_t bottom = 0;
  bool operator==(const MetafileRect&) const = default;
};

struct MetafileColor {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const MetafileColor&) const = default;
};

// GDI pen styles (PS_*), brush styles (BS_*) and character sets that matter
// to the reader.
enum class MetafilePenStyle : std::uint16_t {
  kSolid = 0,
  kDash = 1,
  kDot = 2,
  kDashDot = 3,
  kDashDotDot = 4,
  kNull = 5,
  kInsideFrame = 6,
};

enum class MetafileBrushStyle : std::uint16_t {
  kSolid = 0,
  kNull = 1,
  kHatched = 2,
};

inline constexpr std::uint8_t kAnsiCharset = 0;
inline constexpr std::uint8_t kShiftJisCharset = 128;

struct MetafilePen {
  MetafilePenStyle style = MetafilePenStyle::kSolid;
  std::int16_t width = 0;  // logical units; 0 is the thinnest line of the device
  MetafileColor color;
  bool operator==(const MetafilePen&) const = default;
};

struct MetafileBrush {
  MetafileBrushStyle style = MetafileBrushStyle::kSolid;
  MetafileColor color{255, 255, 255};
  std::uint16_t hatch = 0;
  bool operator==(const MetafileBrush&) const = default;
};

struct MetafileFont {
  // Negative: the character (em) height; positive: the cell height; 0: the
  // device's default size. Logical units.
  std::int16_t height = 0;
  std::int16_t width = 0;
  std::int16_t escapement = 0;  // tenths of a degree, counterclockwise
  std::int16_t weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint8_t charset = kAnsiCharset;
  std::string faceName;  // UTF-8
  bool operator==(const MetafileFont&) const = default;
};

// Text alignment flags of SetTextAlign (TA_*).
inline constexpr std::uint16_t kTextAlignUpdateCurrentPosition = 0x0001;
inline constexpr std::uint16_t kTextAlignRight = 0x0002;
inline constexpr std::uint16_t kTextAlignCenter = 0x0006;
inline constexpr std::uint16_t kTextAlignBottom = 0x0008;
inline constexpr std::uint16_t kTextAlignBaseline = 0x0018;

// The records, with objects already resolved: selecting a pen, brush or font
// from the object table becomes a record carrying that object.
struct SetWindowOrgRecord {
  MetafilePoint origin;
};
struct SetWindowExtRecord {
  MetafilePoint extent;
};
struct SetMapModeRecord {
  std::uint16_t mode = 0;
};
struct SelectPenRecord {
  MetafilePen pen;
};
struct SelectBrushRecord {
  MetafileBrush brush;
};
struct SelectFontRecord {
  MetafileFont font;
};
struct MoveToRecord {
  MetafilePoint to;
};
struct LineToRecord {
  MetafilePoint to;
};
struct PolylineRecord {
  std::vector<MetafilePoint> points;
};
struct PolygonRecord {
  std::vector<MetafilePoint> points;
};
struct RectangleRecord {
  MetafileRect rect;
};
struct EllipseRecord {
  MetafileRect rect;
};
// An elliptic arc drawn counterclockwise from the ray through `start` to the
// ray through `end`, both rays from the centre of `rect`.
struct ArcRecord {
  MetafileRect rect;
  MetafilePoint start;
  MetafilePoint end;
};
// TextOut and ExtTextOut alike: the text decoded to UTF-8 from the charset
// of the font selected when it was drawn.
struct TextRecord {
  MetafilePoint at;
  std::string text;
};
struct SetTextAlignRecord {
  std::uint16_t flags = 0;
};
struct SetTextColorRecord {
  MetafileColor color;
};
struct SetBackgroundModeRecord {
  bool opaque = true;
};

using MetafileRecord =
    std::variant<SetWindowOrgRecord, SetWindowExtRecord, SetMapModeRecord, SelectPenRecord,
                 SelectBrushRecord, SelectFontRecord, MoveToRecord, LineToRecord, PolylineRecord,
                 PolygonRecord, RectangleRecord, EllipseRecord, ArcRecord, TextRecord,
                 SetTextAlignRecord, SetTextColorRecord, SetBackgroundModeRecord>;

class Metafile {
 public:
  Metafile(std::string name, MetafileRect bounds, std::uint16_t unitsPerInch,
           std::vector<MetafileRecord> records);

  const std::string& Name() const { return name_; }
  // The bounding box of the placeable header, in logical units; its left is
  // below its right and its top below its bottom.
  const MetafileRect& Bounds() const { return bounds_; }
  std::uint16_t UnitsPerInch() const { return unitsPerInch_; }
  const std::vector<MetafileRecord>& Records() const { return records_; }

  // The natural size of the picture: the bounding box at its units per inch.
  double WidthTwips() const;
  double HeightTwips() const;

 private:
  std::string name_;
  MetafileRect bounds_;
  std::uint16_t unitsPerInch_;
  std::vector<MetafileRecord> records_;
};

// Reads a placeable metafile from its bytes; `name` only labels the error
// messages. Throws FigureError when the bytes are not such a picture.
Metafile ParseMetafile(std::span<const std::uint8_t> bytes, const std::string& name);

// Reads the placeable metafile at `path`. Throws FigureError when the file
// cannot be read or is not such a picture.
Metafile LoadMetafile(const std::string& path);

}  // namespace sekora
