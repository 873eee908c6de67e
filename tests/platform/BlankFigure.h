// Writes the smallest well-formed figure file: a placeable Windows Metafile
// with a header, a bounding box and the end record, and nothing to draw.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace sekora::testing {

inline void WriteBlankFigure(const std::string& path) {
  std::vector<std::uint16_t> words = {
      0xCDD7, 0x9AC6,               // placeable key
      0,                            // handle
      0,      0,      1440,   720,  // bounds: 1 inch x 0.5 inch
      1440,                         // units per inch
      0,      0,                    // reserved
      0,                            // checksum (not checked)
      1,      9,      0x0300,       // metafile header: memory file, 9 words, version 3
      12,     0,                    // file size in words
      0,                            // objects
      3,      0,                    // largest record
      0,                            // unused
      3,      0,      0x0000,       // the end record
  };
  std::ofstream out(path, std::ios::binary);
  for (std::uint16_t word : words) {
    out.put(static_cast<char>(word & 0xFF));
    out.put(static_cast<char>(word >> 8));
  }
}

}  // namespace sekora::testing
