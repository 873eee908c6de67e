#include "MetafileWriter.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "CharsetText.h"
#include "MetafileFormat.h"

namespace sekora::wmfgen {

namespace {

constexpr std::uint16_t kTwipsPerInch = 1440;
constexpr std::uint16_t kMetafileVersion = 0x0300;
constexpr std::uint16_t kAnisotropic = 8;
constexpr std::int16_t kNormalWeight = 400;
constexpr std::uint8_t kShiftJisCharset = 128;
constexpr std::uint8_t kFixedPitchModern = 0x31;

using namespace wmf;

void Put16(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
  bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  Put16(bytes, static_cast<std::uint16_t>(value & 0xFFFF));
  Put16(bytes, static_cast<std::uint16_t>(value >> 16));
}

std::string ShiftJis(const std::string& utf8) {
  auto encoded = EncodeText(utf8, kShiftJisCodePage);
  if (!encoded) throw std::invalid_argument("no Shift-JIS form for the text " + utf8);
  return *encoded;
}

std::int16_t Coordinate(int value) {
  if (value < INT16_MIN || value > INT16_MAX) throw std::out_of_range("coordinate out of range");
  return static_cast<std::int16_t>(value);
}

std::vector<std::int16_t> PointList(const std::vector<Point>& points) {
  std::vector<std::int16_t> params{Coordinate(static_cast<int>(points.size()))};
  for (const Point& point : points) {
    params.push_back(Coordinate(point.x));
    params.push_back(Coordinate(point.y));
  }
  return params;
}

std::vector<std::uint8_t> PlaceableHeader(int width, int height) {
  std::vector<std::uint8_t> header;
  Put32(header, kPlaceableKey);
  Put16(header, 0);  // handle
  for (int edge : {0, 0, width, height}) Put16(header, static_cast<std::uint16_t>(edge));
  Put16(header, kTwipsPerInch);
  Put32(header, 0);  // reserved
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i < header.size(); i += 2) {
    checksum ^= static_cast<std::uint16_t>(header[i] | (header[i + 1] << 8));
  }
  Put16(header, checksum);
  return header;
}

}  // namespace

MetafileWriter::MetafileWriter(int width, int height) : width_(width), height_(height) {
  Record(kSetMapMode, std::vector<std::int16_t>{kAnisotropic});
  Record(kSetWindowOrg, std::vector<std::int16_t>{0, 0});
  Record(kSetWindowExt, std::vector<std::int16_t>{Coordinate(height), Coordinate(width)});
}

int MetafileWriter::CreatePen(std::uint16_t style, int width) {
  // Style, width as a point (x used), black COLORREF.
  Record(kCreatePenIndirect,
         std::vector<std::int16_t>{static_cast<std::int16_t>(style), Coordinate(width), 0, 0, 0});
  return objectCount_++;
}

int MetafileWriter::CreateBrush(std::uint16_t style) {
  // Style, black COLORREF, no hatch.
  Record(kCreateBrushIndirect,
         std::vector<std::int16_t>{static_cast<std::int16_t>(style), 0, 0, 0});
  return objectCount_++;
}

int MetafileWriter::CreateFont(const std::string& typeface, int height) {
  std::vector<std::uint8_t> params;
  Put16(params, static_cast<std::uint16_t>(-Coordinate(height)));  // negative: character height
  for (int i = 0; i < 3; ++i) Put16(params, 0);                    // width, escapement, orientation
  Put16(params, kNormalWeight);
  for (std::uint8_t flag : {0, 0, 0}) params.push_back(flag);  // italic, underline, strike-out
  params.push_back(kShiftJisCharset);
  for (std::uint8_t precision : {0, 0, 0}) params.push_back(precision);  // out, clip, quality
  params.push_back(kFixedPitchModern);
  std::string face = ShiftJis(typeface);
  face.resize(kFaceNameBytes, '\0');
  params.insert(params.end(), face.begin(), face.end());
  Record(kCreateFontIndirect, params);
  return objectCount_++;
}

void MetafileWriter::Select(int object) {
  Record(kSelectObject, std::vector<std::int16_t>{Coordinate(object)});
}

void MetafileWriter::SetTextAlign(std::uint16_t align) {
  Record(kSetTextAlign, std::vector<std::int16_t>{static_cast<std::int16_t>(align)});
}

void MetafileWriter::SetTransparentBackground() {
  Record(kSetBkMode, std::vector<std::int16_t>{kTransparentBackground});
}

void MetafileWriter::Line(Point from, Point to) {
  Record(kMoveTo, std::vector<std::int16_t>{Coordinate(from.y), Coordinate(from.x)});
  Record(kLineTo, std::vector<std::int16_t>{Coordinate(to.y), Coordinate(to.x)});
}

void MetafileWriter::Polyline(const std::vector<Point>& points) {
  Record(kPolyline, PointList(points));
}

void MetafileWriter::Polygon(const std::vector<Point>& points) {
  Record(kPolygon, PointList(points));
}

void MetafileWriter::Ellipse(Point centre, int radius) {
  Record(kEllipse,
         std::vector<std::int16_t>{Coordinate(centre.y + radius), Coordinate(centre.x + radius),
                                   Coordinate(centre.y - radius), Coordinate(centre.x - radius)});
}

void MetafileWriter::Arc(Point centre, int radius, Point start, Point end) {
  Record(kArc, std::vector<std::int16_t>{
                   Coordinate(end.y), Coordinate(end.x), Coordinate(start.y), Coordinate(start.x),
                   Coordinate(centre.y + radius), Coordinate(centre.x + radius),
                   Coordinate(centre.y - radius), Coordinate(centre.x - radius)});
}

void MetafileWriter::Text(Point at, const std::string& text) {
  const std::string encoded = ShiftJis(text);
  std::vector<std::uint8_t> params;
  Put16(params, static_cast<std::uint16_t>(encoded.size()));
  params.insert(params.end(), encoded.begin(), encoded.end());
  if (encoded.size() % 2 != 0) params.push_back(0);
  Put16(params, static_cast<std::uint16_t>(Coordinate(at.y)));
  Put16(params, static_cast<std::uint16_t>(Coordinate(at.x)));
  Record(kTextOut, params);
}

void MetafileWriter::Record(std::uint16_t function, const std::vector<std::int16_t>& params) {
  std::vector<std::uint8_t> bytes;
  for (std::int16_t param : params) Put16(bytes, static_cast<std::uint16_t>(param));
  Record(function, bytes);
}

void MetafileWriter::Record(std::uint16_t function, const std::vector<std::uint8_t>& params) {
  const auto words = static_cast<std::uint32_t>(kRecordHeaderWords + (params.size() + 1) / 2);
  Put32(records_, words);
  Put16(records_, function);
  records_.insert(records_.end(), params.begin(), params.end());
  if (params.size() % 2 != 0) records_.push_back(0);
  largestRecordWords_ = std::max(largestRecordWords_, words);
}

std::vector<std::uint8_t> MetafileWriter::Finish() const {
  std::vector<std::uint8_t> file = PlaceableHeader(width_, height_);
  const auto recordWords = static_cast<std::uint32_t>(records_.size() / 2);
  Put16(file, 1);  // in memory
  Put16(file, kMetaHeaderWords);
  Put16(file, kMetafileVersion);
  Put32(file, kMetaHeaderWords + recordWords + kRecordHeaderWords);
  Put16(file, static_cast<std::uint16_t>(objectCount_));
  Put32(file, largestRecordWords_);
  Put16(file, 0);  // unused
  file.insert(file.end(), records_.begin(), records_.end());
  Put32(file, kRecordHeaderWords);
  Put16(file, kEof);
  return file;
}

}  // namespace sekora::wmfgen
