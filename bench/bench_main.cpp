// Benchmarks of the number formatting, of whole calculation runs and of a
// batch design of a project, on the shipped catalogues.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "BatchOutput.h"
#include "BatchRun.h"
#include "BatchTable.h"
#include "Catalogue.h"
#include "NumberText.h"
#include "ParallelFor.h"
#include "Paths.h"
#include "RoundedValue.h"
#include "RunDesign.h"

#ifndef SEKORA_DATA_DIR
#error "SEKORA_DATA_DIR must name the folder of the shipped catalogues"
#endif
#ifndef SEKORA_STANDARD_RUN_ROUNDS
#error "SEKORA_STANDARD_RUN_ROUNDS must name the recording of a standard run's roundings"
#endif

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<sekora::bench::RoundedValue> StandardRunRounds() {
  const std::string bytes = ReadFile(SEKORA_STANDARD_RUN_ROUNDS);
  std::vector<sekora::bench::RoundedValue> values(bytes.size() /
                                                  sizeof(sekora::bench::RoundedValue));
  std::memcpy(values.data(), bytes.data(), values.size() * sizeof(values[0]));
  return values;
}

// Replays every rounding of a standard run (Q = 1.5, L = 20, the shipped
// catalogues) in the order the calculation made them.
void BM_FormatRound(benchmark::State& state) {
  const std::vector<sekora::bench::RoundedValue> values = StandardRunRounds();
  if (values.empty()) {
    state.SkipWithError("no recording of a standard run");
    return;
  }
  for (auto _ : state) {
    for (const sekora::bench::RoundedValue& v : values) {
      benchmark::DoNotOptimize(
          sekora::FormatRound(v.value, static_cast<sekora::Pattern>(v.pattern)));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
  state.counters["ns_per_call"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * static_cast<double>(values.size()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FormatRound)->Unit(benchmark::kMillisecond);

void BM_FormatNumberForTheFile(benchmark::State& state) {
  std::string line;
  double value = 0.123456789;
  for (auto _ : state) {
    line.clear();
    sekora::AppendNumber(line, value, sekora::Pattern::Fixed5);
    benchmark::DoNotOptimize(line.data());
    value += 0.000731;
  }
}
BENCHMARK(BM_FormatNumberForTheFile);

// The shipped catalogues, loaded once; each iteration designs a fresh copy.
sekora::Candidates ShippedCandidates() {
  sekora::DesignConditions c;
  sekora::Candidates candidates;
  sekora::AppendBoxSections(ReadFile(std::string(SEKORA_DATA_DIR) + "/BOX.TXT"), "BOX.TXT", c,
                            candidates);
  sekora::AppendPipeSections(ReadFile(std::string(SEKORA_DATA_DIR) + "/KAN.TXT"), "KAN.TXT", c,
                             candidates);
  return candidates;
}

void DesignShipped(benchmark::State& state, const sekora::DesignConditions& c) {
  const sekora::Candidates shipped = ShippedCandidates();
  for (auto _ : state) {
    sekora::Candidates candidates = shipped;
    sekora::DesignCandidates(candidates, c,
                             sekora::RunOptions{.threads = static_cast<unsigned>(state.range(0))});
    benchmark::DoNotOptimize(candidates.data());
  }
  state.counters["candidates"] = static_cast<double>(shipped.size());
}

void BM_RunDesign_Q1_5_L20(benchmark::State& state) {
  sekora::DesignConditions c;
  c.Q = 1.5;
  c.L = 20.0;
  DesignShipped(state, c);
}
// The argument is the number of threads: the shipped 66 candidates are worth
// two threads only when starting one costs less than it saves.
BENCHMARK(BM_RunDesign_Q1_5_L20)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RunDesign_Q0_5_L10_Z1_0_5(benchmark::State& state) {
  sekora::DesignConditions c;
  c.Q = 0.5;
  c.L = 10.0;
  c.Z1 = 0.5;
  DesignShipped(state, c);
}
BENCHMARK(BM_RunDesign_Q0_5_L10_Z1_0_5)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A project table of `count` culverts of every size: Q from 0.1 to 15 m3/s,
// L from 5 to 80 m, some with raised inverts, all three shapes.
std::string ProjectTable(int count) {
  std::string csv = "name,q,l,z1,z2,shape\r\n";
  const char* const shapes[] = {"", "both", "box", "pipe"};
  for (int i = 0; i < count; ++i) {
    const int spread = i * 7919 % 1000;
    csv +=
        "K-" + std::to_string(i + 1) + "," +
        sekora::FormatNumber(0.1 + 14.9 * spread / 1000.0, sekora::Pattern::Fixed3) + "," +
        sekora::FormatNumber(5.0 + 75.0 * (i * 104729 % 1000) / 1000.0, sekora::Pattern::Fixed2) +
        "," + (i % 5 == 0 ? "0.2" : "") + "," + (i % 7 == 0 ? "0.1" : "") + "," + shapes[i % 4] +
        "\r\n";
  }
  return csv;
}

// The whole batch without the report: read the table and the catalogues,
// design every culvert on every core, build the summary CSV.
void BM_Batch1000Culverts(benchmark::State& state) {
  const std::string table = ProjectTable(1000);
  for (auto _ : state) {
    const std::vector<sekora::Culvert> culverts = sekora::ReadBatchTable(table);
    const sekora::BatchSections sections = sekora::LoadBatchSections(SEKORA_DATA_DIR, culverts);
    const std::vector<sekora::CulvertResult> results =
        sekora::RunBatch(sections, culverts, {}, sekora::MachineThreads());
    benchmark::DoNotOptimize(sekora::SummaryCsv(culverts, results, false));
  }
  state.counters["culverts"] = 1000;
}
BENCHMARK(BM_Batch1000Culverts)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

// A batch of 10 000 culverts, as --keisan-dir writes it when `withFiles`:
// every culvert's results file in a new folder put in place of the last
// one. The files should add at most a fifth to the time of the batch.
void Batch10000Culverts(benchmark::State& state, bool withFiles) {
  const std::string table = ProjectTable(10000);
  const std::string folder =
      sekora::PathToUtf8(std::filesystem::temp_directory_path() / "sekora-bench-keisan");
  for (auto _ : state) {
    const std::vector<sekora::Culvert> culverts = sekora::ReadBatchTable(table);
    const sekora::BatchSections sections = sekora::LoadBatchSections(SEKORA_DATA_DIR, culverts);
    sekora::StagedFolder staged;
    std::string error;
    if (withFiles && !staged.Open(folder, error)) state.SkipWithError(error.c_str());
    sekora::CulvertDone writeFile;
    if (withFiles) {
      writeFile = [&](std::size_t i, sekora::CulvertResult& result) {
        sekora::WriteResultsFile(staged, folder, culverts[i], result.resultsText);
        std::string().swap(result.resultsText);  // lets go of its memory too
      };
    }
    const std::vector<sekora::CulvertResult> results = sekora::RunBatch(
        sections, culverts, {.resultsText = withFiles}, sekora::MachineThreads(), writeFile);
    benchmark::DoNotOptimize(sekora::SummaryCsv(culverts, results, withFiles));
    if (withFiles && !staged.Commit(error)) state.SkipWithError(error.c_str());
  }
  std::error_code ec;
  std::filesystem::remove_all(sekora::PathFromUtf8(folder), ec);
  state.counters["culverts"] = 10000;
}

void BM_Batch10000Culverts(benchmark::State& state) {
  Batch10000Culverts(state, false);
}
void BM_Batch10000CulvertsWithResultsFiles(benchmark::State& state) {
  Batch10000Culverts(state, true);
}
BENCHMARK(BM_Batch10000Culverts)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);
BENCHMARK(BM_Batch10000CulvertsWithResultsFiles)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
