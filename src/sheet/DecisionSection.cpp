// Section 4: the freeboard check in one line. The freeboard (1 − ratio) times
// the section height, plus the inlet depth, against the section height,
// ending in ＯＫ or ＮＧ.
#include "SheetSections.h"

namespace sekora {

namespace {

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

// The required height must stay strictly below the section: equality is NG.
std::string DecisionLine(const KeisanRecord& rec, const DesignConditions& c) {
  const DecisionTerms terms = TermsOf(rec, c);
  const bool fits = rec.hReq < terms.size;
  const std::string size = ValueField(terms.size, 6);
  std::string line = terms.sizeSymbol;
  line += terms.factorText + " + H1 = " + size + "×" + terms.factorText + " + " +
          ValueField(rec.h1, 6) + " = " + ValueField(rec.hReq, 6);
  line += fits ? "　＜　　設計断面高 H = " : "　≧　　設計断面高 H = ";
  line += size;
  line += fits ? "m・・・ＯＫ" : "m・・・ＮＧ";
  return line;
}

}  // namespace

void DrawDecisionSection(SheetLayout& sheet, const KeisanRecord& rec,
                         const DesignConditions& conditions) {
  sheet.MoveBaseDown();
  sheet.PutText(2.0, sheet.RowBase + 34.0, "４．断面の決定");
  sheet.PutText(3.0, sheet.RowBase + 36.0, DecisionLine(rec, conditions));
}

}  // namespace sekora
