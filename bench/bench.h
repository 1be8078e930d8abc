// The benchmark families and what they share.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

namespace bench {

// Every benchmark the same way: repeated, the repetitions of all of them interleaved at random
// (see main), nanoseconds, only the aggregates shown.
benchmark::internal::Benchmark* configure(benchmark::internal::Benchmark* benchmark);

// "tick/PATH" and "floor/PATH" for each of the four paths.
void registerPluginBenchmarks();
struct PathEntry;
// The tick's time over its floor's on one path, measured in pairs (see paired.h).
double tickToFloorRatio(const PathEntry& entry);

// "sim/trace-off", "sim/trace-on", "sim/trace-formatted" and "context-switch/round-trip".
void registerSimBenchmarks(const std::string& pluginPath);
// A simulator tick, tracing off, over a bare context-switch round trip, measured in pairs.
double simTickToSwitchRatio(const std::string& pluginPath);

// Empty when the simulator, given the worst-case inputs, runs the plugin through the
// worst-case path with no protocol error; else what went wrong.
std::string checkSimPath(const std::string& pluginPath);

// For callgrind: one tick of the path outside the counted function, then this many in it.
void countTicks(const std::string& pathName, long ticks);
// The same for the simulator on the worst-case path, tracing off.
void countSimTicks(const std::string& pluginPath, long ticks);

}  // namespace bench
