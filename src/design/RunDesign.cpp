#include "RunDesign.h"

#include <algorithm>
#include <cmath>

#include "Catalogue.h"
#include "CriticalDepth.h"
#include "DesignError.h"
#include "FlowSection.h"
#include "FreeboardCheck.h"
#include "KeisanFile.h"
#include "NumberText.h"
#include "ParallelFor.h"
#include "Paths.h"

namespace sekora {
namespace {

// Manning roughness coefficients, the same at both ends of the culvert.
constexpr double kBoxRoughness = 0.020;
constexpr double kPipeRoughness = 0.010;

// The inlet depth moves by this much per search step, m.
constexpr double kSearchStep = 0.001;

// The search fails once its step counter passes this limit, so it evaluates
// the balance at most 1002 times.
constexpr int kStepLimit = 1000;

// Exponent of the hydraulic radius in Manning's friction slope.
constexpr double kRadiusExponent = 4.0 / 3.0;

double Round3(double v) {
  return FormatRound(v, Pattern::Fixed3);
}
double Round5(double v) {
  return FormatRound(v, Pattern::Fixed5);
}

bool IsUsableSection(double A, double P, double R) {
  return A > 0.0 && P > 0.0 && R > 0.0 && std::isfinite(A) && std::isfinite(P) && std::isfinite(R);
}

// Velocity head alpha Q^2 / (2 g A^2), m, for flow area A (m2).
double VelocityHead(double A, const DesignConditions& c) {
  return c.Alpha * std::pow(c.Q, 2.0) / (2.0 * c.g * std::pow(A, 2.0));
}

// Manning friction factor n^2 / (A^2 R^(4/3)), s2/m6, rounded to 5 decimals.
double FrictionFactor(double n, double A, double R) {
  return Round5(std::pow(n, 2.0) / (std::pow(A, 2.0) * std::pow(R, kRadiusExponent)));
}

// The terms of the balance that stay fixed while the inlet depth moves.
struct OutletTerms {
  double FricQL = 0.0;      // Q^2 L / 2, rounded
  double Fric2 = 0.0;       // outlet friction factor, rounded
  double energyBase = 0.0;  // outlet velocity head + h2 + Z2, m (before hf)
};

OutletTerms ComputeOutletTerms(const KeisanRecord& rec, const DesignConditions& c) {
  OutletTerms t;
  t.FricQL = Round3(std::pow(c.Q, 2.0) * c.L / 2.0);
  t.Fric2 = FrictionFactor(rec.n2, rec.A2, rec.R2);
  t.energyBase = VelocityHead(rec.A2, c) + rec.h2 + c.Z2;
  return t;
}

// Everything one search step computes from the inlet depth h1 (m).
struct InletStep {
  double h1 = 0.0;
  double A1 = 0.0, P1 = 0.0, R1 = 0.0, V1 = 0.0;
  double Fric1 = 0.0, hf = 0.0, E1 = 0.0, E2 = 0.0;
  bool usable = false;  // false when the section or the arithmetic breaks down
};

InletStep EvaluateInlet(KeisanRecord& rec, const OutletTerms& t, const DesignConditions& c) {
  CalcFlowSection(kSideInlet, rec, c);
  InletStep s;
  s.h1 = rec.h1;
  s.A1 = rec.A1;
  s.P1 = rec.P1;
  s.R1 = rec.R1;
  s.V1 = rec.V1;
  s.usable = IsUsableSection(s.A1, s.P1, s.R1);
  if (!s.usable) return s;
  s.Fric1 = FrictionFactor(rec.n1, s.A1, s.R1);
  s.hf = Round3((t.Fric2 + s.Fric1) * t.FricQL);
  s.E1 = Round3(VelocityHead(s.A1, c) + s.h1 + c.Z1);
  s.E2 = Round3(t.energyBase + s.hf);
  s.usable =
      std::isfinite(s.Fric1) && std::isfinite(s.hf) && std::isfinite(s.E1) && std::isfinite(s.E2);
  return s;
}

// Stores a usable step in the record. (An unusable step leaves the inlet
// geometry CalcFlowSection wrote and the energies of the step before.)
void StoreStep(KeisanRecord& rec, const InletStep& s, const OutletTerms& t) {
  rec.A1 = s.A1;
  rec.P1 = s.P1;
  rec.R1 = s.R1;
  rec.V1 = s.V1;
  rec.FricQL = t.FricQL;
  rec.Fric1 = s.Fric1;
  rec.Fric2 = t.Fric2;
  rec.hf = s.hf;
  rec.E1 = s.E1;
  rec.E2 = s.E2;
}

// The iteration a swinging search ends on. A step depends on nothing but
// h1, so once h1 is back at its value of two iterations ago the search
// repeats those two iterations until the step limit: it can go on from the
// last iteration with the same parity, where the record ends up the same.
int LastIterationOfSwing(int k) {
  return k + 2 * ((kStepLimit + 1 - k) / 2);
}

double SectionHeight(const KeisanRecord& rec) {
  return rec.Kind == KindBox ? rec.H : rec.D;
}

// Steps h1 by 1 mm from h2 until the rounded energies of both ends are equal.
// Too much energy at the inlet lowers h1, too little raises it.
void SearchInletDepth(KeisanRecord& rec, const DesignConditions& c) {
  const OutletTerms terms = ComputeOutletTerms(rec, c);
  double depthOf[2] = {0.0, 0.0};  // h1 of the last two iterations, by parity
  rec.h1 = rec.h2;
  for (int k = 0;; ++k) {
    if (!(rec.h1 > 0.0)) {
      rec.Status = StatusInletNotFound;
      return;
    }
    if (k >= 2 && rec.h1 == depthOf[k % 2]) k = LastIterationOfSwing(k);
    depthOf[k % 2] = rec.h1;
    const InletStep step = EvaluateInlet(rec, terms, c);
    if (!step.usable) {
      rec.Status = StatusInletNotFound;
      return;
    }
    StoreStep(rec, step, terms);
    if (rec.E1 > rec.E2) {
      rec.h1 = rec.h1 - kSearchStep;
    } else if (rec.E1 < rec.E2) {
      rec.h1 = rec.h1 + kSearchStep;
    } else {
      rec.dE = rec.E1 - rec.E2;
      return;
    }
    if (rec.h1 > SectionHeight(rec)) {
      rec.Status = StatusInletOver;
      return;
    }
    if (k > kStepLimit) {
      rec.Status = StatusInletNotFound;
      return;
    }
  }
}

// Inlet depth plus the freeboard (1 - ratio) of the section height must stay
// below the section height. An inlet that balanced below the critical depth
// would be supercritical; the water enters at the critical depth instead, so
// the check adds the freeboard to h2 (which can only turn ＯＫ into NG).
void CheckFreeboard(KeisanRecord& rec, const DesignConditions& c) {
  rec.hReq = Freeboard(rec, c) + CheckedInletDepth(rec);
  if (!FitsUsableHeight(rec.hReq, SectionHeight(rec))) rec.Status = StatusFreeboardOver;
}

// A candidate can only pass with every quantity a real number: a freeboard
// that is not finite (a ratio that overflowed) fails the freeboard check,
// any other quantity that is not finite means the inlet depth was not found.
void FailNonFinite(KeisanRecord& rec) {
  if (rec.Status != StatusOk) return;
  for (const double* q : Quantities(rec)) {
    if (std::isfinite(*q)) continue;
    rec.Status = std::isfinite(rec.hReq) ? StatusInletNotFound : StatusFreeboardOver;
    return;
  }
}

// A candidate whose arithmetic broke down is NG already; the quantities it
// was left with must not carry a NaN or an infinity into the results file.
void ClearNonFinite(KeisanRecord& rec) {
  for (double* q : Quantities(rec)) {
    if (!std::isfinite(*q)) *q = 0.0;
  }
}

// Threads pay for themselves only when each has a good number of candidates:
// starting one costs about as much as designing a few.
constexpr std::size_t kCandidatesPerThread = 16;

unsigned CalculationThreads(std::size_t candidates, unsigned requested) {
  const std::size_t worthwhile = std::max<std::size_t>(1, candidates / kCandidatesPerThread);
  return static_cast<unsigned>(std::min<std::size_t>(std::max(requested, 1u), worthwhile));
}

// Candidates differ in cost (a pipe's critical depth, a long search), so
// each thread takes many small chunks rather than one large share.
std::size_t HandOutChunk(std::size_t candidates, unsigned threads) {
  constexpr std::size_t kChunksPerThread = 64;
  return std::max<std::size_t>(1, candidates / (std::max(threads, 1u) * kChunksPerThread));
}

constexpr const char* kCancelledMessage = "計算を中止しました";

void DesignCandidate(KeisanRecord& rec, const DesignConditions& c) {
  CalcCriticalDepth(rec, c);
  if (rec.Status != StatusOk) return;
  CalcFlowSection(kSideOutlet, rec, c);
  if (!IsUsableSection(rec.A2, rec.P2, rec.R2)) {
    rec.Status = StatusOutletOver;
    return;
  }
  SearchInletDepth(rec, c);
  if (rec.Status != StatusOk) return;
  CheckFreeboard(rec, c);
}

}  // namespace

void DesignCandidates(Candidates& candidates, const DesignConditions& conditions,
                      const RunOptions& options) {
  for (KeisanRecord& rec : candidates) {
    const double n = rec.Kind == KindBox ? kBoxRoughness : kPipeRoughness;
    rec.n1 = n;
    rec.n2 = n;
  }
  ParallelFor(candidates.size(), CalculationThreads(candidates.size(), options.threads),
              HandOutChunk(candidates.size(), options.threads), [&](std::size_t i) {
                if (options.cancel != nullptr && options.cancel->load(std::memory_order_relaxed)) {
                  throw RunCancelledError(kCancelledMessage);
                }
                DesignCandidate(candidates[i], conditions);
                FailNonFinite(candidates[i]);
                ClearNonFinite(candidates[i]);
                if (options.candidatesDone != nullptr) {
                  options.candidatesDone->fetch_add(1, std::memory_order_relaxed);
                }
              });
}

DesignRun CalculateRun(const std::string& folder, const DesignConditions& conditions,
                       const RunOptions& options) {
  DesignRun run;
  run.conditions = conditions;
  run.conditions.CandidateCount = 0;
  Candidates candidates;
  LoadSections(folder, run.conditions, candidates);
  if (options.candidatesTotal != nullptr) {
    options.candidatesTotal->store(static_cast<int>(candidates.size()));
  }
  DesignCandidates(candidates, run.conditions, options);
  run.resultsText = ResultsText(candidates, run.conditions, options.threads);
  // The records go through the text of the file, so that every output of
  // the run shows the numbers Keisan.txt holds.
  run.records =
      ParseResultsText(run.resultsText, JoinPath(folder, kResultsFileName), options.threads);
  run.conditions.CandidateCount = static_cast<std::int16_t>(run.records.size());
  run.designedCount = candidates.size();
  return run;
}

DesignRun RunDesign(const std::string& folder, const DesignConditions& conditions,
                    const RunOptions& options) {
  DesignRun run = CalculateRun(folder, conditions, options);
  StagedFile staged;
  StageResultsFile(staged, folder, run.resultsText);
  CommitResultsFile(staged, folder);
  return run;
}

}  // namespace sekora
