// Reading placeable metafiles: the header, the records the figures use,
// the object table and the charsets of texts.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>

#include "FigureError.h"
#include "Metafile.h"
#include "WmfBytes.h"

namespace sekora {
namespace {

using test::WmfBytes;

const std::string kMsMinchoSjis = "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9";  // ＭＳ 明朝
const std::string kInletSjis = "\x93\xDB\x8C\xFB";                         // 呑口

template <typename T>
const T& RecordAt(const Metafile& picture, std::size_t index) {
  return std::get<T>(picture.Records().at(index));
}

TEST(MetafileHeader, NaturalSizeIsTheBoundingBoxAtItsUnitsPerInch) {
  const Metafile twips = ParseMetafile(WmfBytes(0, 0, 2950, 2050, 1440).Eof().Bytes(), "t");
  EXPECT_DOUBLE_EQ(twips.WidthTwips(), 2950);
  EXPECT_DOUBLE_EQ(twips.HeightTwips(), 2050);

  // 576 units per inch (a common writer's choice): 2.5 twips per unit.
  const Metafile offset = ParseMetafile(WmfBytes(-100, 40, 476, 328, 576).Eof().Bytes(), "o");
  EXPECT_DOUBLE_EQ(offset.WidthTwips(), 1440);
  EXPECT_DOUBLE_EQ(offset.HeightTwips(), 720);
  EXPECT_EQ(offset.Bounds(), (MetafileRect{-100, 40, 476, 328}));
  EXPECT_EQ(offset.UnitsPerInch(), 576);
  EXPECT_EQ(offset.Name(), "o");
}

TEST(MetafileRecords, CoordinatesAreReadInTheirStoredOrder) {
  WmfBytes bytes(0, 0, 1000, 1000, 1440);
  bytes
      .Record(test::kSetWindowOrg, {20, 10})  // y, x
      .Record(test::kSetWindowExt, {500, 800})
      .Record(test::kMoveTo, {2, 1})
      .Record(test::kLineTo, {4, 3})
      .Record(test::kRectangle, {40, 30, 20, 10})  // bottom, right, top, left
      .Record(test::kEllipse, {8, 7, 6, 5})
      .Record(test::kArc, {1, 2, 3, 4, 40, 30, 20, 10})  // end y x, start y x, rect
      .Record(test::kPolyline, {3, 1, 2, 3, 4, 5, 6})
      .Eof();
  const Metafile picture = ParseMetafile(bytes.Bytes(), "order");
  ASSERT_EQ(picture.Records().size(), 8u);
  EXPECT_EQ(RecordAt<SetWindowOrgRecord>(picture, 0).origin, (MetafilePoint{10, 20}));
  EXPECT_EQ(RecordAt<SetWindowExtRecord>(picture, 1).extent, (MetafilePoint{800, 500}));
  EXPECT_EQ(RecordAt<MoveToRecord>(picture, 2).to, (MetafilePoint{1, 2}));
  EXPECT_EQ(RecordAt<LineToRecord>(picture, 3).to, (MetafilePoint{3, 4}));
  EXPECT_EQ(RecordAt<RectangleRecord>(picture, 4).rect, (MetafileRect{10, 20, 30, 40}));
  EXPECT_EQ(RecordAt<EllipseRecord>(picture, 5).rect, (MetafileRect{5, 6, 7, 8}));
  const auto& arc = RecordAt<ArcRecord>(picture, 6);
  EXPECT_EQ(arc.end, (MetafilePoint{2, 1}));
  EXPECT_EQ(arc.start, (MetafilePoint{4, 3}));
  EXPECT_EQ(arc.rect, (MetafileRect{10, 20, 30, 40}));
  EXPECT_EQ(RecordAt<PolylineRecord>(picture, 7).points,
            (std::vector<MetafilePoint>{{1, 2}, {3, 4}, {5, 6}}));
}

TEST(MetafileRecords, UnknownRecordsAndDataAfterTheEndAreSkipped) {
  WmfBytes bytes(0, 0, 100, 100, 1440);
  bytes.Record(test::kSetRop2, {13})
      .Record(0x7777, {1, 2, 3})
      .Record(test::kMoveTo, {5, 6})
      .Eof()
      .Record(test::kLineTo, {7, 8});
  const Metafile picture = ParseMetafile(bytes.Bytes(), "skip");
  ASSERT_EQ(picture.Records().size(), 1u);
  EXPECT_EQ(RecordAt<MoveToRecord>(picture, 0).to, (MetafilePoint{6, 5}));
}

TEST(MetafileObjects, SelectingResolvesTheObjectInItsSlot) {
  WmfBytes bytes(0, 0, 100, 100, 1440, 2);
  bytes
      .Record(test::kCreatePenIndirect, {1, 15, 0, 0x2010, 0x0030})  // dash, 15 wide
      .Record(test::kCreateBrushIndirect, {1, 0, 0, 0})              // null brush
      .Record(test::kSelectObject, {1})
      .Record(test::kSelectObject, {0})
      // Deleting the pen frees slot 0, which the next object takes.
      .Record(test::kDeleteObject, {0})
      .Font(-190, 0, kShiftJisCharset, kMsMinchoSjis)
      .Record(test::kSelectObject, {0})
      .Eof();
  const Metafile picture = ParseMetafile(bytes.Bytes(), "objects");
  ASSERT_EQ(picture.Records().size(), 3u);
  EXPECT_EQ(RecordAt<SelectBrushRecord>(picture, 0).brush.style, MetafileBrushStyle::kNull);
  const MetafilePen& pen = RecordAt<SelectPenRecord>(picture, 1).pen;
  EXPECT_EQ(pen.style, MetafilePenStyle::kDash);
  EXPECT_EQ(pen.width, 15);
  EXPECT_EQ(pen.color, (MetafileColor{0x10, 0x20, 0x30}));
  const MetafileFont& font = RecordAt<SelectFontRecord>(picture, 2).font;
  EXPECT_EQ(font.height, -190);
  EXPECT_EQ(font.charset, kShiftJisCharset);
  EXPECT_EQ(font.faceName, "ＭＳ 明朝");
}

TEST(MetafileText, TextIsDecodedFromTheCharsetOfTheSelectedFont) {
  WmfBytes bytes(0, 0, 100, 100, 1440);
  bytes
      .TextOut(1, 2, "e\xE9\x80")  // before any font: ANSI
      .Font(-190, 0, kShiftJisCharset, kMsMinchoSjis)
      .Record(test::kSelectObject, {0})
      .TextOut(3, 4, kInletSjis)
      .TextOut(5, 6, "h")  // odd length: one byte of padding
      .Eof();
  const Metafile picture = ParseMetafile(bytes.Bytes(), "text");
  ASSERT_EQ(picture.Records().size(), 4u);
  EXPECT_EQ(RecordAt<TextRecord>(picture, 0).text, "eé€");
  EXPECT_EQ(RecordAt<TextRecord>(picture, 0).at, (MetafilePoint{1, 2}));
  EXPECT_EQ(RecordAt<TextRecord>(picture, 2).text, "呑口");
  EXPECT_EQ(RecordAt<TextRecord>(picture, 3).text, "h");
  EXPECT_EQ(RecordAt<TextRecord>(picture, 3).at, (MetafilePoint{5, 6}));
}

TEST(MetafileText, ExtTextOutSkipsItsClippingRectangleWhenItHasOne) {
  WmfBytes bytes(0, 0, 100, 100, 1440);
  // y, x, length, options, then the text ("AB").
  bytes
      .Record(test::kExtTextOut, {20, 10, 2, 0, 0x4241})
      // ETO_CLIPPED: a rectangle of four words comes before the text.
      .Record(test::kExtTextOut, {40, 30, 2, 4, 0, 0, 9, 9, 0x4443})
      .Eof();
  const Metafile picture = ParseMetafile(bytes.Bytes(), "ext");
  ASSERT_EQ(picture.Records().size(), 2u);
  EXPECT_EQ(RecordAt<TextRecord>(picture, 0).text, "AB");
  EXPECT_EQ(RecordAt<TextRecord>(picture, 0).at, (MetafilePoint{10, 20}));
  EXPECT_EQ(RecordAt<TextRecord>(picture, 1).text, "CD");
}

TEST(MetafileErrors, MessagesNameTheFigureFile) {
  try {
    ParseMetafile(std::vector<std::uint8_t>(10, 0), "\\寸法.wmf");
    FAIL() << "a ten-byte file was read";
  } catch (const FigureError& error) {
    EXPECT_NE(std::string(error.what()).find("図ファイル \\寸法.wmf を読み込めません"),
              std::string::npos)
        << error.what();
  }
  EXPECT_THROW(LoadMetafile("/nonexistent/矩寸法.wmf"), FigureError);
}

TEST(MetafileErrors, AFolderInPlaceOfAFigureIsReportedByName) {
  const std::string folder = ::testing::TempDir() + "/寸法.wmf";
  std::filesystem::create_directories(folder);
  try {
    LoadMetafile(folder);
    FAIL() << "a folder was read as a figure";
  } catch (const FigureError& error) {
    EXPECT_NE(std::string(error.what()).find(folder), std::string::npos) << error.what();
  }
  std::filesystem::remove(folder);
}

// Pipes and /dev/zero are POSIX files.
#ifndef _WIN32
TEST(MetafileErrors, APipeADeviceOrAHugeFileIsRefusedByNameBeforeReading) {
  const std::string folder = ::testing::TempDir() + "/figures";
  std::filesystem::create_directories(folder);
  const std::string pipe = folder + "/寸法.wmf";
  const std::string device = folder + "/円寸法.wmf";
  const std::string huge = folder + "/矩寸法.wmf";
  // Nobody writes to the pipe, and the device never ends: a read of either
  // would never return.
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", device);
  std::ofstream(huge, std::ios::binary).close();
  std::filesystem::resize_file(huge, 17u * 1024u * 1024u);  // sparse: no disk space
  const std::pair<std::string, const char*> cases[] = {
      {pipe, "通常のファイルではありません"},
      {device, "通常のファイルではありません"},
      {huge, "大きすぎます"},
  };
  for (const auto& [path, reason] : cases) {
    try {
      LoadMetafile(path);
      ADD_FAILURE() << path << " was read as a figure";
    } catch (const FigureError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(path), std::string::npos) << message;
      EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
  }
  std::filesystem::remove_all(folder);
}
#endif

}  // namespace
}  // namespace sekora
