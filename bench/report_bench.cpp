// Benchmarks of PDF reports, made as sekora-cli makes them from the shipped
// catalogues and figures: a run's summary with the sheet of every ＯＫ row,
// and the batch report of a project of 100 and of 1 000 culverts. Each
// iteration calculates and draws everything and joins the PDF; only writing
// the file is left out. The CPU time counts every thread of the process.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <string>
#include <vector>

#include "BatchReport.h"
#include "BatchRun.h"
#include "BatchTable.h"
#include "Metafile.h"
#include "NumberText.h"
#include "ReportExport.h"
#include "RunDesign.h"
#include "SummarySheet.h"

#ifndef SEKORA_DATA_DIR
#error "SEKORA_DATA_DIR must name the folder of the shipped catalogues and figures"
#endif

namespace {

// The threads of the machine the targets are set for: two cores.
constexpr unsigned kThreads = 2;

// A project of `count` culverts that all pass as box and as pipe, each with
// a different Q (0.2 to 6 m3/s) and L (5 to 80 m), some with a raised
// outlet: every culvert has its two summary pages and two sheets, so 100
// culverts make 402 pages and 1 000 make 4 019.
std::string ProjectTable(int count) {
  std::string csv = "name,q,l,z2\r\n";
  for (int i = 0; i < count; ++i) {
    const int spread = i * 7919 % 1000;
    csv +=
        "K-" + std::to_string(i + 1) + "," +
        sekora::FormatNumber(0.2 + 5.8 * spread / 1000.0, sekora::Pattern::Fixed3) + "," +
        sekora::FormatNumber(5.0 + 75.0 * (i * 104729 % 1000) / 1000.0, sekora::Pattern::Fixed2) +
        "," + (i % 7 == 0 ? "0.1" : "") + "\r\n";
  }
  return csv;
}

// The run Q = 1.5, L = 20: its summary (two pages) and the sheets of its 45
// ＯＫ rows, 47 pages.
void BM_RunReport47Pages(benchmark::State& state) {
  sekora::DesignConditions conditions;
  conditions.Q = 1.5;
  conditions.L = 20.0;
  std::size_t pages = 0;
  for (auto _ : state) {
    const sekora::DesignRun run = sekora::CalculateRun(SEKORA_DATA_DIR, conditions);
    sekora::ReportContent report{run.records, run.conditions, sekora::OkRows(run.records), true,
                                 std::nullopt};
    pages = report.rows.size() + 2;
    benchmark::DoNotOptimize(sekora::ReportPdfContent("report.pdf", report, SEKORA_DATA_DIR));
  }
  state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_RunReport47Pages)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// The batch report of `count` culverts as sekora-cli --batch --report makes
// it on two threads: the table read, every culvert designed, every page
// drawn and the parts joined.
void BatchReportOf(benchmark::State& state, int count) {
  const std::string table = ProjectTable(count);
  int pages = 0;
  for (auto _ : state) {
    const std::vector<sekora::Culvert> culverts = sekora::ReadBatchTable(table);
    const sekora::BatchSections sections = sekora::LoadBatchSections(SEKORA_DATA_DIR, culverts);
    const std::vector<sekora::CulvertResult> results =
        sekora::RunBatch(sections, culverts, {.records = true}, kThreads);
    const sekora::BatchReport report(culverts, results, SEKORA_DATA_DIR, "project.csv");
    for (const std::string& path : report.FigurePaths()) sekora::LoadMetafile(path);
    pages = static_cast<int>(report.Document().pages.size());
    benchmark::DoNotOptimize(sekora::ReportDocumentPdf("report.pdf", report.Document(), kThreads));
  }
  state.counters["pages"] = pages;
}

void BM_BatchReport100Culverts(benchmark::State& state) {
  BatchReportOf(state, 100);
}
BENCHMARK(BM_BatchReport100Culverts)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_BatchReport1000Culverts(benchmark::State& state) {
  BatchReportOf(state, 1000);
}
BENCHMARK(BM_BatchReport1000Culverts)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  // Drawing needs a GUI application, but no display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
