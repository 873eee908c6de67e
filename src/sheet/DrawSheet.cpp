#include "DrawSheet.h"

#include "Paths.h"
#include "SheetLayout.h"
#include "SheetSections.h"

namespace sekora {

namespace {

constexpr std::int16_t kPrinterMode = 1;

// The printer's pen unit is much finer than the screen's.
int PenWidth(std::int16_t mode) {
  return mode == kPrinterMode ? 3 : 1;
}

}  // namespace

void DrawSheet(DrawingSurface& target, std::int16_t mode, const KeisanRecord& rec,
               const DesignConditions& conditions, const std::string& figureFolder) {
  SheetLayout sheet(target);
  target.SetDrawWidth(PenWidth(mode));
  DrawTitleAndConditions(sheet, rec, conditions);
  sheet.MoveBaseDown();
  DrawCriticalDepthSection(sheet, rec, conditions, figureFolder);
  sheet.MoveBaseDown();
  DrawInletDepthSection(sheet, rec, conditions, figureFolder);
  DrawDecisionSection(sheet, rec, conditions);
}

std::vector<std::string> SheetFigurePaths(const KeisanRecord& rec,
                                          const std::string& figureFolder) {
  const char* outletFigure = rec.Kind == KindBox ? kBoxFigure : kPipeFigure;
  return {JoinPath(figureFolder, outletFigure), JoinPath(figureFolder, kInletFigure)};
}

}  // namespace sekora
