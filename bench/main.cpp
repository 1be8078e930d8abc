// make bench: the plugin's tick against its floor, the simulator's speed, and a mode that runs
// a path's ticks for callgrind to count.
//
// Times are the median CPU time per iteration over the repetitions of each benchmark, the
// repetitions of all benchmarks run in random interleaved order. Ratios are measured apart
// (--ratios), in pairs of short batches (paired.h) that a shared machine's slow spells cannot
// skew.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "bench/tick_paths.h"

namespace bench {
namespace {

constexpr int kRepetitions = 15;

// Shows what the console reporter shows and keeps each benchmark's median.
class MedianKeeper : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" &&
          !run.error_occurred) {
        medians_[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  // Nanoseconds, or 0 when the benchmark did not run.
  double median(const std::string& name) const {
    const auto found = medians_.find(name);
    return found != medians_.end() ? found->second : 0;
  }

 private:
  std::map<std::string, double> medians_;
};

void printSummary(const MedianKeeper& results) {
  std::printf("\n");
  for (const PathEntry& entry : tickPaths()) {
    const std::string name = entry.path->name;
    const double tick = results.median("tick/" + name);
    const double floor = results.median("floor/" + name);
    std::printf("tick %s: %.2f ns, floor %.2f ns (%zu native calls)\n", name.c_str(), tick, floor,
                entry.path->callCount);
  }
  const double off = results.median("sim/trace-off");
  const double on = results.median("sim/trace-on");
  const double formatted = results.median("sim/trace-formatted");
  const double roundTrip = results.median("context-switch/round-trip");
  if (off > 0) std::printf("sim ticks/s (trace off): %.0f\n", 1e9 / off);
  if (on > 0) std::printf("sim ticks/s (trace on): %.0f\n", 1e9 / on);
  if (formatted > 0) std::printf("sim ticks/s (trace on, formatted): %.0f\n", 1e9 / formatted);
  if (roundTrip > 0) std::printf("context-switch round trip: %.2f ns\n", roundTrip);
}

void printRatios() {
  for (const PathEntry& entry : tickPaths()) {
    std::printf("ratio tick/floor %s: %.3f\n", entry.path->name, tickToFloorRatio(entry));
  }
  std::printf("ratio sim tick (trace off)/context-switch round trip: %.3f\n",
              simTickToSwitchRatio(KESTOVA_PLUGIN_PATH));
}

}  // namespace

benchmark::internal::Benchmark* configure(benchmark::internal::Benchmark* benchmark) {
  return benchmark->Repetitions(kRepetitions)
      ->ReportAggregatesOnly(true)
      ->MinTime(0.05)
      ->Unit(benchmark::kNanosecond);
}

}  // namespace bench

int main(int argc, char** argv) {
  // kestova_bench --count PATH TICKS, --count-sim TICKS: only the ticks, for callgrind.
  if (argc == 4 && std::strcmp(argv[1], "--count") == 0) {
    bench::countTicks(argv[2], std::atol(argv[3]));
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--count-sim") == 0) {
    bench::countSimTicks(KESTOVA_PLUGIN_PATH, std::atol(argv[2]));
    return 0;
  }
  // Every comparison is void unless the floor replays what the plugin calls.
  for (const bench::PathEntry& entry : bench::tickPaths()) {
    const std::string problem = bench::checkPath(entry);
    if (!problem.empty()) {
      std::fprintf(stderr, "kestova_bench: %s\n", problem.c_str());
      return 1;
    }
  }
  const std::string simProblem = bench::checkSimPath(KESTOVA_PLUGIN_PATH);
  if (!simProblem.empty()) {
    std::fprintf(stderr, "kestova_bench: the simulator's worst case: %s\n", simProblem.c_str());
    return 1;
  }

  // kestova_bench --ratios: only the ratios of this process (bench/run takes several).
  if (argc == 2 && std::strcmp(argv[1], "--ratios") == 0) {
    bench::printRatios();
    return 0;
  }

  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);  // first, so that the command line may override
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

  bench::registerPluginBenchmarks();
  bench::registerSimBenchmarks(KESTOVA_PLUGIN_PATH);
  bench::MedianKeeper results;
  benchmark::RunSpecifiedBenchmarks(&results);
  bench::printSummary(results);
  benchmark::Shutdown();
  return 0;
}
