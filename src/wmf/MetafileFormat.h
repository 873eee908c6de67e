// The numbers of the Windows Metafile format that both the reader and the
// figure generator use.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sekora::wmf {

// First four bytes of a placeable metafile.
inline constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
// Size of the metafile header, in 16-bit words.
inline constexpr std::uint16_t kMetaHeaderWords = 9;
// Size of a record's own header (its size and function), in 16-bit words.
inline constexpr std::uint16_t kRecordHeaderWords = 3;
// Bytes of the face name of a font record.
inline constexpr std::size_t kFaceNameBytes = 32;
// Background mode that leaves the background as it is.
inline constexpr std::uint16_t kTransparentBackground = 1;

// Record functions.
enum Function : std::uint16_t {
  kEof = 0x0000,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSelectObject = 0x012D,
  kSetTextAlign = 0x012E,
  kDibCreatePatternBrush = 0x0142,
  kDeleteObject = 0x01F0,
  kCreatePalette = 0x00F7,
  kCreatePatternBrush = 0x01F9,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePenIndirect = 0x02FA,
  kCreateFontIndirect = 0x02FB,
  kCreateBrushIndirect = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kTextOut = 0x0521,
  kCreateRegion = 0x06FF,
  kArc = 0x0817,
  kExtTextOut = 0x0A32,
};

}  // namespace sekora::wmf
