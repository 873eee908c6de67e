// The catalogue reader on any bytes, read as BOX.TXT or as KAN.TXT: it loads
// or fails with a typed error that names the file, and every candidate it
// loads is one the calculation can work on.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "Catalogue.h"
#include "DesignError.h"
#include "FuzzCheck.h"

namespace {

using sekora::fuzz::Require;

void CheckCandidates(const sekora::Candidates& candidates,
                     const sekora::DesignConditions& conditions, bool boxes) {
  Require(static_cast<std::size_t>(conditions.CandidateCount) == candidates.size(),
          "CandidateCount counts the candidates");
  for (const sekora::KeisanRecord& rec : candidates) {
    Require(rec.Status == sekora::StatusOk, "a loaded candidate starts with status 0");
    if (boxes) {
      Require(rec.Kind == sekora::KindBox && rec.D == 0.0, "a box has no diameter");
      Require(rec.B > 0.0 && std::isfinite(rec.B) && std::isfinite(rec.H),
              "a box has a positive finite width");
    } else {
      Require(rec.Kind == sekora::KindPipe && rec.B == 0.0 && rec.H == 0.0,
              "a pipe has no width or height");
      Require(rec.D > 0.0 && std::isfinite(rec.D), "a pipe has a positive finite diameter");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool boxes = (data[0] & 1) == 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string fileName = boxes ? sekora::kBoxCatalogueName : sekora::kPipeCatalogueName;
  sekora::DesignConditions conditions;
  sekora::Candidates candidates;
  try {
    if (boxes) {
      sekora::AppendBoxSections(text, fileName, conditions, candidates);
    } else {
      sekora::AppendPipeSections(text, fileName, conditions, candidates);
    }
  } catch (const sekora::CatalogueError& e) {
    sekora::fuzz::RequireMessageNames(e.what(), fileName);
    return 0;
  } catch (const sekora::TooManyCandidatesError& e) {
    sekora::fuzz::RequireMessageNames(e.what(), fileName);
    return 0;
  }
  CheckCandidates(candidates, conditions, boxes);
  return 0;
}
