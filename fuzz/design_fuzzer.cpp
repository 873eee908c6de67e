// The calculation on fuzzed design conditions and candidate sections: every
// candidate ends with a status 0 to 4, every quantity is finite, every
// number the results file would carry is a number, a passing candidate
// really passed its usable-height check with finite numbers, and the records
// read back from the results text are the ones written.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "KeisanFile.h"
#include "NumberText.h"
#include "RunDesign.h"

namespace {

using sekora::fuzz::Require;

// The pipe's critical-depth search makes one trial per millimetre of depth,
// so wide sections cost many trials: most sections stay within the sizes of
// real culverts, and only some reach the largest size tried here.
constexpr std::int32_t kUsualLargestMm = 10000;
constexpr std::int32_t kLargestMm = 100000;

// Mostly values in the range a designer types, in steps of 1 mm; sometimes
// any double at all (zero, negative, huge, NaN, infinite).
double ConditionValue(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange(0, 7) == 0) return in.ConsumeFloatingPoint<double>();
  return in.ConsumeIntegralInRange<std::int32_t>(-1000, 200000) / 1000.0;
}

// A section size as a catalogue reader can give it, in steps of 1 mm,
// occasionally zero or negative.
double SectionSize(FuzzedDataProvider& in) {
  const std::int32_t largest = in.ConsumeIntegralInRange(0, 7) == 0 ? kLargestMm : kUsualLargestMm;
  return in.ConsumeIntegralInRange<std::int32_t>(-100, largest) / 1000.0;
}

sekora::DesignConditions Conditions(FuzzedDataProvider& in) {
  sekora::DesignConditions c;
  c.ExcludeNg = in.ConsumeBool() ? 1 : 0;
  for (double* value : {&c.Q, &c.L, &c.g, &c.Alpha, &c.Z1, &c.Z2, &c.BoxRatio, &c.CircleRatio}) {
    if (in.ConsumeBool()) *value = ConditionValue(in);
  }
  return c;
}

sekora::Candidates Sections(FuzzedDataProvider& in) {
  sekora::Candidates candidates(in.ConsumeIntegralInRange(1, 4));
  for (sekora::KeisanRecord& rec : candidates) {
    if (in.ConsumeBool()) {
      rec.Kind = sekora::KindBox;
      rec.B = SectionSize(in);
      rec.H = SectionSize(in);
    } else {
      rec.Kind = sekora::KindPipe;
      rec.D = SectionSize(in);
    }
  }
  return candidates;
}

// A passing candidate balanced its energies, and its required height,
// computed again from the conditions on the depth the check stands on (the
// critical depth h2 for an inlet that balanced below it), is finite and lies
// below the section height as the results file writes both: no overflow was
// hidden by clearing the record.
void CheckPassed(const sekora::KeisanRecord& rec, const sekora::DesignConditions& c) {
  if (rec.Status != sekora::StatusOk) return;
  const bool box = rec.Kind == sekora::KindBox;
  const double height = box ? rec.H : rec.D;
  const double ratio = box ? c.BoxRatio : c.CircleRatio;
  const auto written = [](double v) { return sekora::FormatRound(v, sekora::Pattern::Fixed3); };
  const double depth = written(rec.h1) < written(rec.h2) ? rec.h2 : rec.h1;
  const double required = (1.0 - ratio) * height + depth;
  Require(std::isfinite(required) && required == rec.hReq && written(rec.hReq) < written(height),
          "a passing candidate has a finite required height below its height");
  Require(rec.E1 == rec.E2, "a passing candidate balanced its energies");
}

// What the results file holds reads back line for line as it was written.
void CheckReadBack(const sekora::Candidates& candidates, sekora::DesignConditions c) {
  c.CandidateCount = static_cast<std::int16_t>(candidates.size());
  const std::string text = sekora::ResultsText(candidates, c);
  const sekora::Candidates read = sekora::ParseResultsText(text, "Keisan.txt");
  std::size_t next = 0;
  for (const sekora::KeisanRecord& rec : candidates) {
    if (c.ExcludeNg == 1 && rec.Status != sekora::StatusOk) continue;
    Require(next < read.size(), "every written record reads back");
    Require(sekora::ResultsLine(read[next++]) == sekora::ResultsLine(rec),
            "a record reads back as it was written", sekora::ResultsLine(rec));
  }
  Require(next == read.size(), "no record reads back that was not written");
}

void CheckCandidate(const sekora::KeisanRecord& rec) {
  Require(rec.Status >= sekora::StatusOk && rec.Status <= sekora::StatusFreeboardOver,
          "status is 0 to 4", std::to_string(rec.Status));
  for (const double* q : sekora::Quantities(rec)) {
    Require(std::isfinite(*q), "quantity is finite");
  }
  const std::string line = sekora::ResultsLine(rec);
  Require(line.find("NaN") == std::string::npos && line.find("Infinity") == std::string::npos,
          "results line holds only numbers", line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const sekora::DesignConditions conditions = Conditions(in);
  sekora::Candidates candidates = Sections(in);
  sekora::DesignCandidates(candidates, conditions);
  for (const sekora::KeisanRecord& rec : candidates) {
    CheckCandidate(rec);
    CheckPassed(rec, conditions);
  }
  CheckReadBack(candidates, conditions);
  return 0;
}
