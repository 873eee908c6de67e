// Worked records, the grid of the recording surface and look-ups of what a
// drawn sheet printed, shared by the sheet's tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "DesignConditions.h"
#include "DrawSheet.h"
#include "KeisanRecord.h"
#include "RecordingSurface.h"

namespace sekora::testing {

// The recording surface's units at 10.5 pt.
inline constexpr double kCharW = 210.0;
inline constexpr double kLineH = 252.0;

// BaseY of each section in LineH: two lines, and one more after each section.
inline constexpr double kSection1Base = 2.0;
inline constexpr double kSection2Base = 3.0;
inline constexpr double kSection3Base = 4.0;
inline constexpr double kSection4Base = 5.0;

inline constexpr char kFigureFolder[] = "figures";

inline double GridX(double a) {
  return 2.0 * kCharW + a * kCharW;
}
inline double GridY(double baseLines, double b) {
  return (baseLines + b) * kLineH;
}

// Width of `text` at `size` points, in surface units.
inline double WidthAt(const std::string& text, double size) {
  return size * 10.0 * RecordingSurface::FullWidthColumns(text);
}

// Q = 1 m³/s, L = 10 m and the initial values of the other conditions.
inline DesignConditions WorkedConditions() {
  DesignConditions conditions;
  conditions.Q = 1.0;
  conditions.L = 10.0;
  return conditions;
}

// Box 1.0 × 1.0 at Q = 1, L = 10 as read back from Keisan.txt: balanced at
// h1 = 0.673 with E1 = E2 = 0.786, hReq 0.773, status ＯＫ.
inline KeisanRecord BoxOneByOne() {
  return {.Kind = KindBox,
          .B = 1.0,
          .H = 1.0,
          .n1 = 0.02,
          .n2 = 0.02,
          .h1 = 0.673,
          .A1 = 0.673,
          .P1 = 2.346,
          .R1 = 0.287,
          .V1 = 1.486,
          .h2 = 0.467,
          .A2 = 0.467,
          .P2 = 1.934,
          .R2 = 0.241,
          .V2 = 2.141,
          .FricQL = 5.0,
          .Fric1 = 0.00467,
          .Fric2 = 0.01223,
          .hf = 0.085,
          .E1 = 0.786,
          .E2 = 0.786,
          .hReq = 0.773};
}

// Box 0.8 × 0.8 at Q = 1, L = 10: balanced at h1 = 0.790, but hReq 0.870
// does not fit under H, status 4.
inline KeisanRecord BoxPointEight() {
  return {.Status = StatusFreeboardOver,
          .Kind = KindBox,
          .B = 0.8,
          .H = 0.8,
          .n1 = 0.02,
          .n2 = 0.02,
          .h1 = 0.79,
          .h2 = 0.542,
          .E1 = 0.918,
          .E2 = 0.918,
          .hReq = 0.87};
}

// Pipe D = 1.0 at Q = 1, L = 10: h2 0.574, balanced at h1 0.663 with
// E1 = E2 = 0.830, hReq 0.853, status ＯＫ.
inline KeisanRecord PipeOne() {
  return {.Kind = KindPipe,
          .D = 1.0,
          .n1 = 0.01,
          .n2 = 0.01,
          .h1 = 0.663,
          .A1 = 0.553,
          .P1 = 1.903,
          .R1 = 0.291,
          .V1 = 1.808,
          .h2 = 0.574,
          .A2 = 0.467,
          .P2 = 1.719,
          .R2 = 0.271,
          .V2 = 2.141,
          .FricQL = 5.0,
          .Fric1 = 0.0017,
          .Fric2 = 0.00261,
          .hf = 0.022,
          .E1 = 0.83,
          .E2 = 0.83,
          .hReq = 0.853};
}

// Box 1.2 × 1.0 of the steep run Q = 3.3224, L = 20.104, Z1 = 0.974,
// Z2 = 0.53 as read back: balanced at h1 = 0.222, below h2 = 0.921, so the
// check stands on h2.
inline KeisanRecord SteepBox() {
  return {.Status = StatusFreeboardOver,
          .Kind = KindBox,
          .B = 1.2,
          .H = 1.0,
          .n1 = 0.02,
          .n2 = 0.02,
          .h1 = 0.222,
          .A1 = 0.266,
          .V1 = 12.49,
          .h2 = 0.921,
          .A2 = 1.105,
          .FricQL = 110.957,
          .E1 = 9.155,
          .E2 = 9.155,
          .hReq = 1.021};
}

inline RecordingSurface DrawnSheet(const KeisanRecord& rec,
                                   const DesignConditions& conditions = WorkedConditions(),
                                   std::int16_t mode = 0) {
  RecordingSurface surface;
  DrawSheet(surface, mode, rec, conditions, kFigureFolder);
  return surface;
}

// The first print of exactly `text`; fails the test when there is none.
inline PrintedText TextNamed(const RecordingSurface& surface, const std::string& text) {
  for (const PrintedText& printed : surface.texts) {
    if (printed.text == text) return printed;
  }
  ADD_FAILURE() << "nothing printed as \"" << text << "\"";
  return {};
}

// Every print of `text`, in drawing order.
inline std::vector<PrintedText> TextsNamed(const RecordingSurface& surface,
                                           const std::string& text) {
  std::vector<PrintedText> found;
  for (const PrintedText& printed : surface.texts) {
    if (printed.text == text) found.push_back(printed);
  }
  return found;
}

// The prints whose top lies at `y`, in drawing order.
inline std::vector<PrintedText> TextsAtY(const RecordingSurface& surface, double y) {
  std::vector<PrintedText> found;
  for (const PrintedText& printed : surface.texts) {
    if (std::abs(printed.y - y) < 1e-6) found.push_back(printed);
  }
  return found;
}

// The texts of `prints` joined in drawing order.
inline std::string Joined(const std::vector<PrintedText>& prints) {
  std::string joined;
  for (const PrintedText& printed : prints) joined += printed.text;
  return joined;
}

// True when `printed` stands at (x, y) in `size` and `italic`.
inline ::testing::AssertionResult PrintedAt(const PrintedText& printed, double x, double y,
                                            double size, bool italic) {
  if (std::abs(printed.x - x) < 1e-6 && std::abs(printed.y - y) < 1e-6 && printed.size == size &&
      printed.italic == italic) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "\"" << printed.text << "\" at (" << printed.x << ", " << printed.y << ") size "
         << printed.size << (printed.italic ? " italic" : " upright") << ", expected (" << x << ", "
         << y << ") size " << size << (italic ? " italic" : " upright");
}

}  // namespace sekora::testing
