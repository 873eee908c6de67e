#include "DrawSheet.h"

#include "Paths.h"
#include "SheetLayout.h"
#include "SheetSections.h"

namespace sekora {

int SheetPenWidth(std::int16_t mode) {
  constexpr std::int16_t kPrinterMode = 1;
  return mode == kPrinterMode ? 3 : 1;
}

void DrawSheet(DrawingSurface& target, std::int16_t mode, const KeisanRecord& rec,
               const DesignConditions& conditions, const std::string& figureFolder) {
  SheetLayout sheet(target);
  target.SetDrawWidth(SheetPenWidth(mode));
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
