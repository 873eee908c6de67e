// The catalogue reader on any bytes, read as BOX.TXT or as KAN.TXT: it loads
// or fails with a typed error that names the file, every candidate it loads
// is one the calculation can work on (a box with a positive width and
// height) and no larger than 100 m, and a UTF-8 byte-order mark before the
// text changes nothing.
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
      Require(rec.B > 0.0 && rec.B <= 100.0 && rec.H > 0.0 && rec.H <= 100.0,
              "a box has a positive width and height and no size over 100 m");
    } else {
      Require(rec.Kind == sekora::KindPipe && rec.B == 0.0 && rec.H == 0.0,
              "a pipe has no width or height");
      Require(rec.D > 0.0 && rec.D <= 100.0, "a pipe has a positive diameter up to 100 m");
    }
  }
}

// The candidates of `text`, or the message of the error that refused it.
struct Loaded {
  sekora::DesignConditions conditions;
  sekora::Candidates candidates;
  std::string error;
};

Loaded Load(std::string_view text, const std::string& fileName, bool boxes) {
  Loaded loaded;
  try {
    if (boxes) {
      sekora::AppendBoxSections(text, fileName, loaded.conditions, loaded.candidates);
    } else {
      sekora::AppendPipeSections(text, fileName, loaded.conditions, loaded.candidates);
    }
  } catch (const sekora::DesignError& e) {
    loaded.error = e.what();
  }
  return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool boxes = (data[0] & 1) == 0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string fileName = boxes ? sekora::kBoxCatalogueName : sekora::kPipeCatalogueName;
  const Loaded loaded = Load(text, fileName, boxes);
  if (text.starts_with("\xEF\xBB\xBF")) return 0;
  const Loaded marked = Load("\xEF\xBB\xBF" + std::string(text), fileName, boxes);
  Require(marked.error == loaded.error && marked.candidates.size() == loaded.candidates.size(),
          "a byte-order mark changes nothing", loaded.error);
  if (!loaded.error.empty()) {
    sekora::fuzz::RequireMessageNames(loaded.error, fileName);
    return 0;
  }
  CheckCandidates(loaded.candidates, loaded.conditions, boxes);
  return 0;
}
