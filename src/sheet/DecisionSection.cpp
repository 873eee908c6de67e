// Section 4: the freeboard check in one line. The freeboard (1 − ratio) times
// the section height, plus the inlet depth, against the section height,
// ending in ＯＫ or ＮＧ. An inlet that balanced below the critical depth is
// checked on the critical depth h2, with a line that says why; where the
// rounded friction factors can move hf by half a centimetre or more, a note
// below the decision says by how much.
#include "FreeboardCheck.h"
#include "SheetSections.h"

namespace sekora {

namespace {

constexpr char kCriticalDepthReason[] = "h1 ＜ h2（射流）のため、呑口水深は限界水深 h2 とする";

// What differs between a box and a pipe in the decision line.
struct DecisionTerms {
  const char* sizeSymbol;
  std::string factorText;
  double size;
};

// The factor is the only number the sheet computes: it is shown, never stored.
// A box prints it with three decimals, a pipe with two.
DecisionTerms TermsOf(const KeisanRecord& rec, const DesignConditions& c) {
  if (rec.Kind == KindBox) {
    return {"H×", ValueField(1.0 - c.BoxRatio, 5, Pattern::Fixed3), rec.H};
  }
  return {"φ×", ValueField(1.0 - c.CircleRatio, 5, Pattern::Fixed2), rec.D};
}

// The required height must stay below the section as both are printed:
// equality is NG.
std::string DecisionLine(const KeisanRecord& rec, const DesignConditions& c) {
  const DecisionTerms terms = TermsOf(rec, c);
  const bool fits = FitsUsableHeight(rec.hReq, terms.size);
  const char* depthSymbol = ChecksOnCriticalDepth(rec) ? " + H2 = " : " + H1 = ";
  const std::string size = ValueField(terms.size, 6);
  std::string line = terms.sizeSymbol;
  line += terms.factorText + depthSymbol + size + "×" + terms.factorText + " + " +
          ValueField(CheckedInletDepth(rec), 6) + " = " + ValueField(rec.hReq, 6);
  line += fits ? "　＜　　設計断面高 H = " : "　≧　　設計断面高 H = ";
  line += size;
  line += fits ? "m・・・ＯＫ" : "m・・・ＮＧ";
  return line;
}

// The five-decimal friction factors the sheet multiplies can move hf by up
// to FricQL × 0.00001; the note gives that product as the sheet's hf line
// gives FricQL.
std::string FrictionRoundingNote(const KeisanRecord& rec) {
  return "注）hf は係数を小数5桁に丸めて求めたため、最大 " +
         FormatNumber(rec.FricQL, Pattern::Fixed3) +
         "×0.00001 = " + FormatNumber(FrictionRoundingBound(rec), Pattern::Fixed3) +
         "m の誤差を含む";
}

}  // namespace

void DrawDecisionSection(SheetLayout& sheet, const KeisanRecord& rec,
                         const DesignConditions& conditions) {
  sheet.MoveBaseDown();
  sheet.PutText(2.0, sheet.RowBase + 34.0, "４．断面の決定");
  // The reason and the note stand on the rows right above and below the
  // decision, so that a pipe's sheet still ends well inside the page.
  double row = sheet.RowBase + 36.0;
  if (ChecksOnCriticalDepth(rec)) {
    sheet.PutText(3.0, row, kCriticalDepthReason);
    row += 1.0;
  }
  sheet.PutText(3.0, row, DecisionLine(rec, conditions));
  if (HasFrictionRoundingNote(rec)) sheet.PutText(3.0, row + 1.0, FrictionRoundingNote(rec));
}

}  // namespace sekora
