// Designing every culvert of a batch table, each exactly as a single run of
// its conditions would, with the sections to recommend.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "BatchTable.h"
#include "KeisanRecord.h"

namespace sekora {

// The catalogue sections of a batch, read once for all culverts.
struct BatchSections {
  Candidates sections;       // the boxes of BOX.TXT, then the pipes of KAN.TXT
  std::size_t boxCount = 0;  // how many of them are boxes
};

// Reads from `folder` the catalogues that the culverts' shapes ask for.
// Throws DesignError as a single run of one of the culverts would, and
// CatalogueError when the catalogues hold no section for a culvert's shape.
BatchSections LoadBatchSections(const std::string& folder, const std::vector<Culvert>& culverts);

// A recommended section of one culvert.
struct RecommendedSection {
  KeisanRecord record;         // as the culvert's results file gives it back
  std::size_t row = 0;         // its line in the culvert's results file, from 1
  double margin = 0.0;         // section height less hReq, m (3 decimals)
  double marginPercent = 0.0;  // the margin over the section height, % (2 decimals)
};

struct CulvertResult {
  std::size_t candidateCount = 0;
  std::size_t okCount = 0;
  std::optional<RecommendedSection> box;   // none when no box passes
  std::optional<RecommendedSection> pipe;  // none when no pipe passes
  // hf of some candidate can be off by half a centimetre or more through the
  // five-decimal friction factors.
  bool frictionRoundingNote = false;
  std::string resultsText;  // the culvert's Keisan.txt, when asked for
  Candidates records;       // every candidate as the results file gives it back, when asked for
};

// What a batch keeps of each culvert's run besides its summary.
struct BatchKeep {
  bool resultsText = false;  // the text of the culvert's results file
  bool records = false;      // every candidate as the results file gives it back
};

// Called on its calculation thread as soon as culvert `index` is designed,
// with its result: a caller writes the culvert's results file while the
// other culverts are designed, and may then let go of its text.
using CulvertDone = std::function<void(std::size_t index, CulvertResult& result)>;

// Designs every culvert, on up to `threads` threads (the calling thread is
// one of them); result i belongs to culvert i. `done`, when given, is called
// for each culvert; what it throws stops the batch and passes on.
std::vector<CulvertResult> RunBatch(const BatchSections& sections,
                                    const std::vector<Culvert>& culverts, const BatchKeep& keep,
                                    unsigned threads, const CulvertDone& done = {});

}  // namespace sekora
