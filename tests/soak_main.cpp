// kestova-soak: the plugin against the reference model for as many randomized ticks as asked,
// then many loads and unloads in one process, with the memory they took.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/reference_comparison.h"

#ifdef _WIN32
#include <psapi.h>
#include <windows.h>
#else
#include <link.h>
#include <sys/resource.h>
#endif

namespace {

constexpr int kTicksPerRun = 4000;

uint64_t peakResidentKiB() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize / 1024;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<uint64_t>(usage.ru_maxrss);
#endif
}

// The plugin's writable memory as the loader maps it: all the state it can ever hold.
uint64_t writableBytes(HINSTANCE module) {
  uint64_t bytes = 0;
#ifdef _WIN32
  const auto* base = reinterpret_cast<const unsigned char*>(module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  // The section table follows the optional header (what IMAGE_FIRST_SECTION computes).
  const auto* section = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
      reinterpret_cast<const unsigned char*>(&nt->OptionalHeader) +
      nt->FileHeader.SizeOfOptionalHeader);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    // The import table is written by the loader, not by the plugin.
    const bool imports =
        std::strncmp(reinterpret_cast<const char*>(section->Name), ".idata", 6) == 0;
    if ((section->Characteristics & IMAGE_SCN_MEM_WRITE) != 0 && !imports) {
      bytes += section->Misc.VirtualSize;
    }
  }
#else
  struct Search {
    const void* base;
    uint64_t bytes;
  } search{module, 0};
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* s = static_cast<Search*>(data);
        if (reinterpret_cast<const void*>(info->dlpi_addr) != s->base) return 0;
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const auto& segment = info->dlpi_phdr[i];
          if (segment.p_type == PT_LOAD && (segment.p_flags & PF_W) != 0)
            s->bytes += segment.p_memsz;
        }
        return 1;
      },
      &search);
  bytes = search.bytes;
#endif
  return bytes;
}

uint64_t argument(int argc, char** argv, const char* name, uint64_t fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return std::strtoull(argv[i + 1], nullptr, 10);
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const uint64_t ticks = argument(argc, argv, "--ticks", 10'000'000);
  const uint64_t loads = argument(argc, argv, "--loads", 10'000);
  const uint64_t seed = argument(argc, argv, "--seed", 20261208);
  const int runs = static_cast<int>((ticks + kTicksPerRun - 1) / kTicksPerRun);

  // In tenths, so that the resident peak of the first tenth shows whether memory grows.
  uint64_t run = 0;
  uint64_t ticksRun = 0;
  uint64_t mismatches = 0;
  uint64_t peakAfterFirstTenth = 0;
  for (int part = 0; part < 10; ++part) {
    const int partRuns = runs * (part + 1) / 10 - runs * part / 10;
    const testing_support::ComparisonResult result =
        testing_support::compareWithReference(seed + run, partRuns, kTicksPerRun);
    run += static_cast<uint64_t>(partRuns);
    ticksRun += result.coverage.ticks;
    if (!result.same) {
      ++mismatches;
      std::fprintf(stderr, "mismatch:\n%s\n", result.mismatch.c_str());
      break;
    }
    if (part == 0) peakAfterFirstTenth = peakResidentKiB();
  }
  std::printf("soak: %llu ticks against the reference model, %llu mismatches\n",
              static_cast<unsigned long long>(ticksRun),
              static_cast<unsigned long long>(mismatches));

  sim::SimulatedHost host;
  host.trace().enabled = false;
  uint64_t cycles = 0;
  uint64_t pluginBytes = 0;
  bool balanced = true;
  for (; cycles < loads && balanced; ++cycles) {
    auto loaded = sim::PluginModule::load(host, KESTOVA_PLUGIN_PATH);
    if (!loaded) {
      std::fprintf(stderr, "load %llu failed: %s\n", static_cast<unsigned long long>(cycles),
                   loaded.error().message.c_str());
      return 1;
    }
    std::unique_ptr<sim::PluginModule> plugin = std::move(loaded).value();
    pluginBytes = writableBytes(plugin->handle());
    host.tick();
    plugin.reset();
    balanced = host.scriptCount() == 0 && host.keyboardHandlers().empty();
  }
  balanced = balanced && host.protocolErrors().empty();
  std::printf("soak: %llu loads and unloads in one process, registrations %s\n",
              static_cast<unsigned long long>(cycles), balanced ? "balanced" : "NOT balanced");
  std::printf(
      "soak: plugin memory: %llu bytes of writable data, no heap (it imports no "
      "allocator); process peak resident %llu KiB after the first tenth of the ticks, "
      "%llu KiB at the end\n",
      static_cast<unsigned long long>(pluginBytes),
      static_cast<unsigned long long>(peakAfterFirstTenth),
      static_cast<unsigned long long>(peakResidentKiB()));
  return mismatches == 0 && balanced && ticksRun >= ticks ? 0 : 1;
}
