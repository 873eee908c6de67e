#include "BatchRun.h"

#include <algorithm>

#include "Catalogue.h"
#include "DesignError.h"
#include "FreeboardCheck.h"
#include "KeisanFile.h"
#include "NumberText.h"
#include "ParallelFor.h"
#include "Recommendation.h"
#include "RunDesign.h"

namespace sekora {
namespace {

bool AnyShape(const std::vector<Culvert>& culverts, std::int16_t shape) {
  return std::any_of(culverts.begin(), culverts.end(),
                     [&](const Culvert& c) { return c.conditions.ShapeOption == shape; });
}

// The candidates a single run with `conditions` loads, in catalogue order.
Candidates CandidatesFor(const BatchSections& s, const DesignConditions& conditions) {
  const auto boxesEnd = s.sections.begin() + static_cast<std::ptrdiff_t>(s.boxCount);
  switch (conditions.ShapeOption) {
    case ShapeBoxOnly:
      return Candidates(s.sections.begin(), boxesEnd);
    case ShapePipeOnly:
      return Candidates(boxesEnd, s.sections.end());
    default:
      return s.sections;
  }
}

// Height of the section: H of a box, D of a pipe.
double SectionHeight(const KeisanRecord& rec) {
  return rec.Kind == KindBox ? rec.H : rec.D;
}

RecommendedSection Recommended(const Candidates& records, std::size_t index) {
  RecommendedSection s;
  s.record = RecordAsWritten(records[index]);
  s.row = index + 1;
  const double height = SectionHeight(s.record);
  s.margin = FormatRound(height - s.record.hReq, Pattern::Fixed3);
  s.marginPercent = FormatRound((height - s.record.hReq) / height * 100.0, Pattern::Fixed2);
  return s;
}

CulvertResult DesignCulvert(const BatchSections& sections, const Culvert& culvert,
                            const BatchKeep& keep) {
  DesignConditions conditions = culvert.conditions;
  Candidates records = CandidatesFor(sections, conditions);
  conditions.CandidateCount = static_cast<std::int16_t>(records.size());
  DesignCandidates(records, conditions);

  CulvertResult result;
  result.candidateCount = records.size();
  result.okCount = static_cast<std::size_t>(std::count_if(
      records.begin(), records.end(), [](const KeisanRecord& r) { return r.Status == StatusOk; }));
  result.frictionRoundingNote =
      std::any_of(records.begin(), records.end(), HasFrictionRoundingNote);
  const Recommendation chosen = RecommendSections(records);
  if (chosen.box) result.box = Recommended(records, *chosen.box);
  if (chosen.pipe) result.pipe = Recommended(records, *chosen.pipe);
  if (keep.resultsText) result.resultsText = ResultsText(records, conditions);
  if (keep.records) {
    result.records.reserve(records.size());
    for (const KeisanRecord& rec : records) result.records.push_back(RecordAsWritten(rec));
  }
  return result;
}

// The catalogues a culvert of `shape` reads, as messages name them.
const char* CataloguesOf(std::int16_t shape) {
  switch (shape) {
    case ShapeBoxOnly:
      return "BOX.TXT";
    case ShapePipeOnly:
      return "KAN.TXT";
    default:
      return "BOX.TXT、KAN.TXT";
  }
}

// A culvert without a single section to try would be reported as "ＯＫ 0/0":
// a result that says nothing, refused instead.
void CheckEveryCulvertHasSections(const BatchSections& s, const std::vector<Culvert>& culverts) {
  for (const Culvert& culvert : culverts) {
    const std::size_t pipeCount = s.sections.size() - s.boxCount;
    const std::int16_t shape = culvert.conditions.ShapeOption;
    const std::size_t count = shape == ShapeBoxOnly    ? s.boxCount
                              : shape == ShapePipeOnly ? pipeCount
                                                       : s.sections.size();
    if (count > 0) continue;
    throw CatalogueError("断面表（" + std::string(CataloguesOf(culvert.conditions.ShapeOption)) +
                         "）に断面がないため、一覧表 " + std::to_string(culvert.line) +
                         " 行目の函渠は計算できません");
  }
}

}  // namespace

BatchSections LoadBatchSections(const std::string& folder, const std::vector<Culvert>& culverts) {
  const bool both = AnyShape(culverts, ShapeBoth);
  BatchSections s;
  // A culvert of both shapes loads both catalogues at once, so that it meets
  // the limit on the candidate count as its single run would.
  if (both || AnyShape(culverts, ShapeBoxOnly)) {
    DesignConditions c;
    c.ShapeOption = both ? ShapeBoth : ShapeBoxOnly;
    LoadSections(folder, c, s.sections);
  }
  if (!both && AnyShape(culverts, ShapePipeOnly)) {
    DesignConditions c;
    c.ShapeOption = ShapePipeOnly;
    Candidates pipes;
    LoadSections(folder, c, pipes);
    s.sections.insert(s.sections.end(), pipes.begin(), pipes.end());
  }
  s.boxCount = static_cast<std::size_t>(
      std::count_if(s.sections.begin(), s.sections.end(),
                    [](const KeisanRecord& r) { return r.Kind == KindBox; }));
  CheckEveryCulvertHasSections(s, culverts);
  return s;
}

std::vector<CulvertResult> RunBatch(const BatchSections& sections,
                                    const std::vector<Culvert>& culverts, const BatchKeep& keep,
                                    unsigned threads, const CulvertDone& done) {
  std::vector<CulvertResult> results(culverts.size());
  ParallelFor(culverts.size(), threads, 1, [&](std::size_t i) {
    results[i] = DesignCulvert(sections, culverts[i], keep);
    if (done) done(i, results[i]);
  });
  return results;
}

}  // namespace sekora
