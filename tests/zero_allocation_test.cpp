// The plugin allocates nothing: not when it loads, not in 100,000 ticks over all its paths, not
// when it unloads. This test program replaces the C allocator's entry points and every form of
// operator new and delete with ones that count; it is a program of its own, so that no other
// test runs under them. The loader and the simulated host allocate on their own, so each step
// is also run with a minimal fixture plugin that registers the same two things and does nothing:
// the plugin must cost exactly what it costs, and the ticks, run with tracing off and inputs
// changed only in place, must cost nothing at all.
//
// The Windows DLL cannot reach an allocator to begin with: scripts/check-plugin-dll, run by make
// test, requires its import table to hold exactly the host's eight functions,
// GetPrivateProfileIntA and GetTickCount, and it links no C or C++ runtime that could bring one.
#include <dlfcn.h>
#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tests/plugin_harness.h"
#include "tests/support/process.h"

// Sanitizers bring their own allocator, which these replacements would shadow.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KESTOVA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define KESTOVA_SANITIZED 1
#endif
#endif

namespace {

// Relaxed and lock-free: any thread may allocate, and nothing here may allocate or block.
std::atomic<uint64_t> heapAllocations{0};

uint64_t allocationsSoFar() {
  return heapAllocations.load(std::memory_order_relaxed);
}

}  // namespace

#if !defined(KESTOVA_SANITIZED)

// glibc's own allocator under its exported names; it calls none of the functions below.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

void counted() {
  heapAllocations.fetch_add(1, std::memory_order_relaxed);
}

void* allocateOrThrow(size_t size, size_t alignment) {
  for (;;) {
    void* block = alignment <= alignof(std::max_align_t) ? std::malloc(size != 0 ? size : 1)
                                                         : memalign(alignment, size);
    if (block != nullptr) return block;
    const std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

void* allocateOrNull(size_t size, size_t alignment) noexcept {
  try {
    return allocateOrThrow(size, alignment);
  } catch (...) {
    return nullptr;
  }
}

constexpr size_t kPlain = alignof(std::max_align_t);

}  // namespace

// Defined in the executable, these take the place of the C library's for every object in the
// process, the dynamic loader's allocations after start-up included.
extern "C" {
void* malloc(size_t size) noexcept {
  counted();
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) noexcept {
  counted();
  return __libc_calloc(count, size);
}
void* realloc(void* block, size_t size) noexcept {
  counted();
  return __libc_realloc(block, size);
}
void* reallocarray(void* block, size_t count, size_t size) noexcept {
  size_t bytes = 0;
  if (__builtin_mul_overflow(count, size, &bytes)) {
    errno = ENOMEM;
    return nullptr;
  }
  return realloc(block, bytes);
}
void* memalign(size_t alignment, size_t size) noexcept {
  counted();
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(size_t alignment, size_t size) noexcept {
  return memalign(alignment, size);
}
int posix_memalign(void** out, size_t alignment, size_t size) noexcept {
  if (alignment == 0 || alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
    return EINVAL;
  }
  void* block = memalign(alignment, size);
  if (block == nullptr) return ENOMEM;
  *out = block;
  return 0;
}
void* valloc(size_t size) noexcept {
  return memalign(static_cast<size_t>(sysconf(_SC_PAGESIZE)), size);
}
void* pvalloc(size_t size) noexcept {
  const auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return memalign(page, (size + page - 1) / page * page);
}
void free(void* block) noexcept {
  __libc_free(block);
}
}

void* operator new(size_t size) {
  return allocateOrThrow(size, kPlain);
}
void* operator new[](size_t size) {
  return allocateOrThrow(size, kPlain);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return allocateOrNull(size, kPlain);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return allocateOrNull(size, kPlain);
}
void* operator new(size_t size, std::align_val_t alignment) {
  return allocateOrThrow(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment) {
  return allocateOrThrow(size, static_cast<size_t>(alignment));
}
void* operator new(size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return allocateOrNull(size, static_cast<size_t>(alignment));
}
void* operator new[](size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return allocateOrNull(size, static_cast<size_t>(alignment));
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, size_t) noexcept {
  std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
  std::free(block);
}
void operator delete(void* block, size_t, std::align_val_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, size_t, std::align_val_t) noexcept {
  std::free(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  std::free(block);
}

#endif  // !KESTOVA_SANITIZED

namespace {

using common::TempFolder;
using ::testing::AnyOf;
using ::testing::AnyOfArray;
using ::testing::Contains;
using ::testing::Each;
using ::testing::Not;
using ::testing::StartsWith;
using testing_support::lines;
using testing_support::ProgramRun;
using testing_support::runProgram;
using testing_support::settingsIni;
using testing_support::writeFile;

constexpr uint64_t kTicks = 100'000;

// Where a pointer escapes to, so that the compiler cannot drop an allocation and its release.
void* volatile escaped = nullptr;

template <typename Allocate>
uint64_t allocationsOf(Allocate allocate) {
  const uint64_t before = allocationsSoFar();
  allocate();
  return allocationsSoFar() - before;
}

// A 64-tick round through the plugin's paths: a tap that latches, sprint, an unarmed spell,
// failed weapon queries, the wheel open over a camera press, the camera cancelling, a press too
// short. Only fields that keep their storage change, so the host has nothing to allocate.
void roundInputs(sim::TickInputs& inputs, uint64_t tick) {
  const uint64_t phase = tick % 64;
  inputs.timerReads[0] = static_cast<uint32_t>(1000 + 16 * tick);
  inputs.aimDown = phase == 0 || phase == 56;
  inputs.aimUp = phase == 4 || phase == 57;
  inputs.sprint = phase >= 10 && phase < 14;
  inputs.weapon = phase >= 20 && phase < 30 ? "WEAPON_UNARMED" : "WEAPON_PISTOL";
  inputs.weaponQueryFails = phase >= 32 && phase < 35;
  inputs.wheel = phase >= 40 && phase < 42;
  inputs.nextCamera = phase == 41 || phase == 50;
}

// Allocations in each step of a plugin's life in the simulated host.
struct Spent {
  uint64_t load = 0;
  uint64_t firstTick = 0;  // the host makes the script's context
  uint64_t ticks = 0;      // the kTicks ticks after it
  uint64_t unload = 0;
  bool operator==(const Spent&) const = default;
};

void PrintTo(const Spent& spent, std::ostream* out) {
  *out << "{load " << spent.load << ", first tick " << spent.firstTick << ", ticks " << spent.ticks
       << ", unload " << spent.unload << "}";
}

Spent spend(const char* pluginPath, bool holdMode) {
  const TempFolder folder = testing_support::tempFolder(testing_support::Enter::yes);
  writeFile(folder, "Kestova.ini", settingsIni(50, 100, holdMode ? 1 : 0));
  sim::SimulatedHost host;
  host.trace().enabled = false;
  host.inputs().timerReads = {0};
  Spent spent;
  std::optional<common::Result<std::unique_ptr<sim::PluginModule>>> loaded;
  spent.load = allocationsOf([&] { loaded.emplace(sim::PluginModule::load(host, pluginPath)); });
  if (!*loaded) throw std::runtime_error(loaded->error().message);
  std::unique_ptr<sim::PluginModule> plugin = std::move(*loaded).value();
  spent.firstTick = allocationsOf([&] { host.tick(); });
  spent.ticks = allocationsOf([&] {
    for (uint64_t tick = 2; tick <= kTicks + 1; ++tick) {
      roundInputs(host.inputs(), tick);
      if (tick % 97 == 0)
        host.sendKeyboardEvent(static_cast<uint32_t>(tick % 300), 1, 0, 0, 1, 2, 3);
      host.tick();
    }
  });
  EXPECT_TRUE(host.protocolErrors().empty());
  spent.unload = allocationsOf([&] { plugin.reset(); });
  return spent;
}

void expectSameAsMinimal(bool holdMode) {
#if defined(KESTOVA_SANITIZED)
  GTEST_SKIP() << "the sanitizer's allocator cannot be counted here";
#endif
  // The first load of a library in a process also fills the loader's caches: not counted.
  spend(KESTOVA_PLUGIN_PATH, holdMode);
  spend(KESTOVA_MISBEHAVING_MINIMAL, holdMode);
  const Spent plugin = spend(KESTOVA_PLUGIN_PATH, holdMode);
  const Spent minimal = spend(KESTOVA_MISBEHAVING_MINIMAL, holdMode);
  EXPECT_EQ(plugin, minimal);
  EXPECT_EQ(plugin.ticks, 0u);
}

}  // namespace

TEST(ZeroAllocation, EveryAllocatorEntryPointIsCounted) {
#if defined(KESTOVA_SANITIZED)
  GTEST_SKIP() << "the sanitizer's allocator cannot be counted here";
#endif
  EXPECT_EQ(allocationsOf([] { escaped = std::malloc(8); }), 1u);
  EXPECT_EQ(allocationsOf([] { escaped = std::realloc(escaped, 64); }), 1u);
  std::free(escaped);
  EXPECT_EQ(allocationsOf([] { escaped = std::calloc(2, 8); }), 1u);
  std::free(escaped);
  EXPECT_EQ(allocationsOf([] { escaped = std::aligned_alloc(64, 64); }), 1u);
  std::free(escaped);
  void* block = nullptr;
  EXPECT_EQ(allocationsOf([&] { EXPECT_EQ(posix_memalign(&block, 64, 8), 0); }), 1u);
  std::free(block);
  EXPECT_EQ(allocationsOf([] { escaped = new int(1); }), 1u);
  delete static_cast<int*>(escaped);
  EXPECT_EQ(allocationsOf([] { escaped = new int[4]; }), 1u);
  delete[] static_cast<int*>(escaped);
  struct alignas(128) Wide {
    char bytes[128];
  };
  EXPECT_EQ(allocationsOf([] { escaped = new Wide; }), 1u);
  delete static_cast<Wide*>(escaped);
  EXPECT_EQ(allocationsOf([] { escaped = new (std::nothrow) int(2); }), 1u);
  delete static_cast<int*>(escaped);
  // From inside the C library too: it allocates through the replaced entry points.
  EXPECT_EQ(allocationsOf([] { escaped = strdup("a name"); }), 1u);
  std::free(escaped);
  // And the dynamic loader: else equal counts would prove nothing of loading.
  EXPECT_GT(allocationsOf([] {
              escaped = dlopen(KESTOVA_MISBEHAVING_SILENT, RTLD_NOW | RTLD_LOCAL);
              if (escaped != nullptr) dlclose(escaped);
            }),
            0u);
  EXPECT_NE(escaped, nullptr);
}

TEST(ZeroAllocation, ForcedModePluginCostsWhatAMinimalPluginCosts) {
  expectSameAsMinimal(false);
}

TEST(ZeroAllocation, HoldModePluginCostsWhatAMinimalPluginCosts) {
  expectSameAsMinimal(true);
}

// Kestova.so is linked with no allocator left undefined: none could be called.
TEST(ZeroAllocation, TheLinuxPluginImportsNoAllocator) {
  const TempFolder folder = testing_support::tempFolder();
  const ProgramRun nm =
      runProgram(folder, {KESTOVA_NM, "-D", "--undefined-only", KESTOVA_PLUGIN_PATH});
  ASSERT_EQ(nm.status, 0) << nm.err;
  std::set<std::string> imports;
  for (std::string name : lines(nm.out)) {
    name.erase(0, name.find_last_of(' ') + 1);  // "  U name@VERSION"
    name.erase(std::min(name.find('@'), name.size()));
    imports.insert(name);
  }
  ASSERT_THAT(imports, Contains("nativeCall")) << "nm listed no host import:\n" << nm.out;
  const std::vector<std::string> allocators{
      "malloc", "calloc",        "realloc",        "reallocarray", "free",   "memalign",
      "valloc", "aligned_alloc", "posix_memalign", "pvalloc",      "strdup", "strndup"};
  // operator new and delete, every form: _Znwm, _Znam, _ZdlPv, _ZdaPv, ...
  EXPECT_THAT(imports,
              Each(Not(AnyOf(AnyOfArray(allocators), StartsWith("_Znw"), StartsWith("_Zna"),
                             StartsWith("_Zdl"), StartsWith("_Zda")))));
}
