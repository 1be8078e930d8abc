// The table, one row per tick, and under each row, with --trace, every host call of the tick.
#include <string>
#include <vector>

#include "cli/run/report.h"

namespace cli {
namespace {

const char kNone[] = "\xE2\x80\x94";  // an em dash: no forcedAim call on this tick

constexpr size_t kTickWidth = 7;
constexpr size_t kTimerWidth = 13;
constexpr size_t kInputsWidth = 26;

// Characters, not bytes: a weapon name may be UTF-8.
size_t shownLength(const std::string& text) {
  size_t length = 0;
  for (const char c : text) length += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return length;
}

std::string padded(const std::string& text, size_t width) {
  const size_t length = shownLength(text);
  return text + std::string(length < width ? width - length : 1, ' ');
}

// The tick's inputs as the scenario words them, in lines that fit their column with a space to
// spare, so that the columns after them stay in line: whole inputs where they fit, a longer one
// cut between characters.
std::vector<std::string> inputLines(const TickRecord& r) {
  constexpr size_t kFit = kInputsWidth - 1;
  std::vector<std::string> lines(1);
  const auto add = [&](const std::string& word) {
    const size_t used = shownLength(lines.back());
    if (used > 0 && used + 1 + shownLength(word) <= kFit) {
      lines.back() += ' ' + word;
      return;
    }
    if (used > 0) lines.emplace_back();
    for (size_t i = 0; i < word.size(); ++i) {
      const bool startsCharacter = (static_cast<unsigned char>(word[i]) & 0xC0) != 0x80;
      if (startsCharacter && shownLength(lines.back()) == kFit) lines.emplace_back();
      lines.back() += word[i];
    }
  };
  for (const InputFlag& flag : kInputFlags) {
    // A new weapon just before weapon-fails, the query it may fail.
    if (flag.member == &sim::TickInputs::weaponQueryFails && r.weaponChanged) {
      add("weapon " + r.inputs.weapon);
    }
    if (r.inputs.*flag.member) add(std::string(flag.word));
  }
  if (lines.front().empty()) add("-");
  return lines;
}

class TableReport : public RunSink {
 public:
  TableReport(std::FILE* out, bool withCalls, bool signedTimers)
      : out_(out), withCalls_(withCalls), signedTimers_(signedTimers) {}

  void load(const std::vector<sim::TraceEntry>& entries) override {
    if (withCalls_) writeCalls("load", entries);
    std::fputs("tick   timer        inputs                    latch  forced aim  calls\n", out_);
  }
  void tick(const TickRecord& record, const std::vector<sim::TraceEntry>& entries) override {
    writeRow(record);
    if (withCalls_) writeCalls(nullptr, entries);
  }
  void unload(const std::vector<sim::TraceEntry>& entries) override {
    if (withCalls_) writeCalls("unload", entries);
  }
  void end(const RunSummary& summary) override {
    std::fprintf(out_, "end: %llu ticks, %zu protocol errors\n",
                 static_cast<unsigned long long>(summary.ticksRun), summary.protocolErrors.size());
  }

 private:
  void writeRow(const TickRecord& r) {
    std::string timers;
    for (const uint32_t read : r.inputs.timerReads) {
      if (!timers.empty()) timers += ',';
      timers += signedTimers_ ? std::to_string(static_cast<int32_t>(read)) : std::to_string(read);
    }
    const std::vector<std::string> inputs = inputLines(r);
    std::string row = padded(std::to_string(r.tick), kTickWidth);
    row += padded(timers, kTimerWidth);
    row += padded(inputs.front(), kInputsWidth);
    row += padded(r.summary.latch ? "on" : "off", 7);
    row += padded(!r.summary.forcedAim ? kNone : *r.summary.forcedAim ? "on" : "off", 12);
    row += std::to_string(r.summary.hostCalls);
    std::fprintf(out_, "%s\n", row.c_str());
    for (size_t i = 1; i < inputs.size(); ++i) {
      std::fprintf(out_, "%s%s\n", std::string(kTickWidth + kTimerWidth, ' ').c_str(),
                   inputs[i].c_str());
    }
  }

  // Under a heading for loading and unloading, under the tick's row for a tick.
  void writeCalls(const char* phase, const std::vector<sim::TraceEntry>& entries) {
    if (phase != nullptr) std::fprintf(out_, "-- %s --\n", phase);
    for (const sim::TraceEntry& entry : entries) {
      std::fprintf(out_, "         %s\n", sim::formatTraceEntry(entry).c_str());
    }
  }

  std::FILE* out_;
  bool withCalls_;
  bool signedTimers_;
};

}  // namespace

std::unique_ptr<RunSink> makeTableReport(std::FILE* out, bool withCalls, bool signedTimers) {
  return std::make_unique<TableReport>(out, withCalls, signedTimers);
}

}  // namespace cli
