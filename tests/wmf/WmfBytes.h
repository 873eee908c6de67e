// Builds metafile bytes record by record for the reader's tests, so each
// test states exactly the bytes it feeds in.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace sekora::test {

// Record functions (META_*) as the file format numbers them.
enum WmfFunction : std::uint16_t {
  kSetBkMode = 0x0102,
  kSetTextAlign = 0x012E,
  kSelectObject = 0x012D,
  kDeleteObject = 0x01F0,
  kSetRop2 = 0x0104,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kCreatePenIndirect = 0x02FA,
  kCreateBrushIndirect = 0x02FC,
  kPolyline = 0x0325,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kArc = 0x0817,
  kExtTextOut = 0x0A32,
};

class WmfBytes {
 public:
  // A placeable header with the given bounding box and units per inch, and
  // a metafile header with `objects` slots.
  WmfBytes(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
           std::uint16_t unitsPerInch, std::uint16_t objects = 8) {
    Put32(0x9AC6CDD7);
    for (int word : {0, int{left}, int{top}, int{right}, int{bottom}, int{unitsPerInch}, 0, 0, 0}) {
      Put16(static_cast<std::uint16_t>(word));
    }
    for (int word : {1, 9, 0x0300, 0, 0, int{objects}, 0, 0, 0}) {
      Put16(static_cast<std::uint16_t>(word));
    }
  }

  // A record of 16-bit parameters.
  WmfBytes& Record(std::uint16_t function, std::initializer_list<int> params) {
    Put32(static_cast<std::uint32_t>(3 + params.size()));
    Put16(function);
    for (int param : params) Put16(static_cast<std::uint16_t>(param));
    return *this;
  }

  // A record of raw parameter bytes, padded to whole words.
  WmfBytes& RawRecord(std::uint16_t function, const std::vector<std::uint8_t>& params) {
    Put32(static_cast<std::uint32_t>(3 + (params.size() + 1) / 2));
    Put16(function);
    bytes_.insert(bytes_.end(), params.begin(), params.end());
    if (params.size() % 2 != 0) bytes_.push_back(0);
    return *this;
  }

  // CreateFontIndirect with a character height, an escapement, a charset
  // and a face name given as raw bytes in that charset.
  WmfBytes& Font(std::int16_t height, std::int16_t escapement, std::uint8_t charset,
                 const std::string& faceBytes) {
    std::vector<std::uint8_t> params;
    for (int word : {int{height}, 0, int{escapement}, 0, 400}) {
      params.push_back(static_cast<std::uint8_t>(word & 0xFF));
      params.push_back(static_cast<std::uint8_t>((word >> 8) & 0xFF));
    }
    for (int byte : {0, 0, 0, int{charset}, 0, 0, 0, 0}) {
      params.push_back(static_cast<std::uint8_t>(byte));
    }
    params.insert(params.end(), faceBytes.begin(), faceBytes.end());
    params.resize(params.size() + 32 - faceBytes.size(), 0);
    return RawRecord(0x02FB, params);
  }

  // TextOut of raw bytes at (x, y).
  WmfBytes& TextOut(std::int16_t x, std::int16_t y, const std::string& textBytes) {
    std::vector<std::uint8_t> params{static_cast<std::uint8_t>(textBytes.size()), 0};
    params.insert(params.end(), textBytes.begin(), textBytes.end());
    if (textBytes.size() % 2 != 0) params.push_back(0);
    for (int word : {int{y}, int{x}}) {
      params.push_back(static_cast<std::uint8_t>(word & 0xFF));
      params.push_back(static_cast<std::uint8_t>((word >> 8) & 0xFF));
    }
    return RawRecord(0x0521, params);
  }

  WmfBytes& Eof() { return Record(0x0000, {}); }

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  void Put16(std::uint16_t value) {
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  void Put32(std::uint32_t value) {
    Put16(static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(static_cast<std::uint16_t>(value >> 16));
  }

  std::vector<std::uint8_t> bytes_;
};

}  // namespace sekora::test
