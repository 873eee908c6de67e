// Damaged and odd metafiles: each either loads or fails with FigureError,
// and never reads past its bytes or allocates by an untrusted count.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "FigureError.h"
#include "Metafile.h"
#include "MetafileReplay.h"
#include "Paths.h"
#include "RecordingCanvas.h"

namespace sekora {
namespace {

std::string BadFile(const std::string& name) {
  return std::string(SEKORA_BAD_WMF_DIR) + "/" + name;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream file(PathFromUtf8(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct BadCase {
  const char* file;
  bool loads;
};

const BadCase kCorpus[] = {
    {"empty.wmf", false},                    // no bytes at all
    {"truncated_header.wmf", false},         // ends inside the metafile header
    {"truncated_record.wmf", false},         // ends inside a text record
    {"record_size_zero.wmf", false},         // a record of 0 words
    {"record_size_huge.wmf", false},         // a record of 0xFFFFFFFF words
    {"polyline_count_huge.wmf", false},      // 32767 points declared, 2 present
    {"polyline_count_negative.wmf", false},  // -1 points
    {"text_length_huge.wmf", false},         // a 32767-byte text in a 2-byte record
    {"zero_size_bbox.wmf", false},           // bounding box 0 wide
    {"zero_units_per_inch.wmf", false},      // 0 units per inch
    {"window_extent_zero.wmf", false},       // a window 0 units high
    {"not_placeable.wmf", false},            // a metafile without the placeable header
    {"bad_object_index.wmf", false},         // selects object 40 of 6
    {"deleted_object_selected.wmf", false},  // selects a pen after deleting it
    {"too_many_objects.wmf", false},         // creates more objects than the header allows
    {"invalid_shift_jis.wmf", false},        // 0x81 0x20 is no Shift-JIS character
    {"missing_eof.wmf", false},              // the records stop without the end record
    {"unknown_records.wmf", true},           // records the reader does not know, skipped
    {"trailing_data.wmf", true},             // bytes after the end record, ignored
};

TEST(MalformedCorpus, EachFileLoadsOrFailsWithFigureError) {
  for (const BadCase& bad : kCorpus) {
    SCOPED_TRACE(bad.file);
    if (bad.loads) {
      EXPECT_NO_THROW(LoadMetafile(BadFile(bad.file)));
    } else {
      EXPECT_THROW(LoadMetafile(BadFile(bad.file)), FigureError);
    }
  }
}

TEST(MalformedCorpus, SkippedRecordsLeaveTheDrawingAsItWas) {
  test::RecordingCanvas plain;
  ReplayMetafile(LoadMetafile(std::string(SEKORA_DATA_DIR) + "/矩寸法.wmf"), plain, 0, 0);
  test::RecordingCanvas withUnknown;
  ReplayMetafile(LoadMetafile(BadFile("unknown_records.wmf")), withUnknown, 0, 0);
  EXPECT_EQ(withUnknown.lines, plain.lines);
  EXPECT_EQ(withUnknown.polygons, plain.polygons);
  ASSERT_EQ(withUnknown.texts.size(), plain.texts.size());
}

// Every prefix of a good file lacks its end record, and every single byte
// changed to 0xFF gives a file that must still load or fail cleanly.
TEST(MalformedMutations, PrefixesFailAndChangedBytesNeverCrash) {
  for (const char* name : {"矩寸法.wmf", "円寸法.wmf", "寸法.wmf"}) {
    SCOPED_TRACE(name);
    const auto bytes = ReadBytes(std::string(SEKORA_DATA_DIR) + "/" + name);
    ASSERT_FALSE(bytes.empty());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
      EXPECT_THROW(ParseMetafile(std::span(bytes.data(), length), name), FigureError) << length;
    }
    for (std::size_t at = 0; at < bytes.size(); ++at) {
      auto changed = bytes;
      changed[at] = 0xFF;
      try {
        test::RecordingCanvas canvas;
        ReplayMetafile(ParseMetafile(changed, name), canvas, 0, 0);
      } catch (const FigureError&) {
      }
    }
  }
}

}  // namespace
}  // namespace sekora
