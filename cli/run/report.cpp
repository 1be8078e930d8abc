#include "cli/run/report.h"

#include <string>

namespace cli {
namespace {

const char kNone[] = "\xE2\x80\x94";  // an em dash: no forcedAim call on this tick

std::string timerText(const std::vector<uint32_t>& reads) {
  std::string text;
  for (const uint32_t read : reads) {
    if (!text.empty()) text += ',';
    text += std::to_string(static_cast<int32_t>(read));
  }
  return text;
}

std::string padded(const std::string& text, size_t width, size_t shownLength) {
  return text + std::string(shownLength < width ? width - shownLength : 1, ' ');
}

void writeRow(std::FILE* out, const TickReport& r) {
  std::string row = padded(std::to_string(r.tick), 7, std::to_string(r.tick).size());
  const std::string timer = timerText(r.timerReads);
  row += padded(timer, 13, timer.size());
  row += padded(r.inputs, 26, r.inputs.size());
  row += padded(r.latch ? "on" : "off", 7, r.latch ? 2 : 3);
  if (r.forcedAim) {
    row += padded(*r.forcedAim ? "on" : "off", 12, *r.forcedAim ? 2 : 3);
  } else {
    row += padded(kNone, 12, 1);
  }
  row += std::to_string(r.hostCalls);
  std::fprintf(out, "%s\n", row.c_str());
}

void writeHeader(std::FILE* out) {
  std::fprintf(out, "tick   timer        inputs                    latch  forced aim  calls\n");
}

class TableReport : public RunSink {
 public:
  TableReport(std::FILE* out, bool withCalls) : out_(out), withCalls_(withCalls) {}

  void load(const std::vector<sim::TraceEntry>& entries) override {
    if (withCalls_) writeCalls("load", entries);
    writeHeader(out_);
  }
  void tick(const TickReport& report, const std::vector<sim::TraceEntry>& entries) override {
    writeRow(out_, report);
    if (!withCalls_) return;
    for (const sim::TraceEntry& entry : entries) {
      if (entry.kind == sim::TraceKind::tickBegin) continue;
      std::fprintf(out_, "         %s\n", sim::formatTraceEntry(entry).c_str());
    }
  }
  void unload(const std::vector<sim::TraceEntry>& entries) override {
    if (withCalls_) writeCalls("unload", entries);
  }

 private:
  void writeCalls(const char* phase, const std::vector<sim::TraceEntry>& entries) {
    std::fprintf(out_, "-- %s --\n", phase);
    for (const sim::TraceEntry& entry : entries) {
      std::fprintf(out_, "         %s\n", sim::formatTraceEntry(entry).c_str());
    }
  }

  std::FILE* out_;
  bool withCalls_;
};

std::string jsonString(const std::string& text) {
  std::string json = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
      json += escaped;
    } else {
      json += c;
    }
  }
  return json + '"';
}

std::string jsonCalls(const std::vector<sim::TraceEntry>& entries) {
  std::string json = "[";
  for (const sim::TraceEntry& entry : entries) {
    if (entry.kind == sim::TraceKind::tickBegin) continue;
    if (json.size() > 1) json += ',';
    json += jsonString(sim::formatTraceEntry(entry));
  }
  return json + "]";
}

class JsonReport : public RunSink {
 public:
  explicit JsonReport(std::FILE* out) : out_(out) {}

  void load(const std::vector<sim::TraceEntry>& entries) override {
    std::fprintf(out_, "{\"event\":\"load\",\"calls\":%s}\n", jsonCalls(entries).c_str());
  }
  void tick(const TickReport& r, const std::vector<sim::TraceEntry>& entries) override {
    std::string timer = "[";
    for (size_t i = 0; i < r.timerReads.size(); ++i) {
      timer += (i > 0 ? "," : "") + std::to_string(static_cast<int32_t>(r.timerReads[i]));
    }
    timer += "]";
    const char* forced = !r.forcedAim ? "null" : *r.forcedAim ? "true" : "false";
    std::fprintf(out_,
                 "{\"event\":\"tick\",\"tick\":%llu,\"timer\":%s,\"inputs\":%s,\"latch\":%s,"
                 "\"forcedAim\":%s,\"hostCalls\":%zu,\"calls\":%s}\n",
                 static_cast<unsigned long long>(r.tick), timer.c_str(),
                 jsonString(r.inputs).c_str(), r.latch ? "true" : "false", forced, r.hostCalls,
                 jsonCalls(entries).c_str());
  }
  void unload(const std::vector<sim::TraceEntry>& entries) override {
    std::fprintf(out_, "{\"event\":\"unload\",\"calls\":%s}\n", jsonCalls(entries).c_str());
  }

 private:
  std::FILE* out_;
};

}  // namespace

std::unique_ptr<RunSink> makeReport(ReportFormat format, std::FILE* out) {
  if (format == ReportFormat::json) return std::make_unique<JsonReport>(out);
  return std::make_unique<TableReport>(out, format == ReportFormat::trace);
}

void writeReportEnd(ReportFormat format, std::FILE* out, const RunOutcome& outcome) {
  if (format == ReportFormat::json) {
    std::fprintf(out, "{\"event\":\"end\",\"ticks\":%llu,\"protocolErrors\":%zu}\n",
                 static_cast<unsigned long long>(outcome.ticksRun), outcome.protocolErrors.size());
  } else {
    std::fprintf(out, "end: %llu ticks, %zu protocol errors\n",
                 static_cast<unsigned long long>(outcome.ticksRun), outcome.protocolErrors.size());
  }
}

}  // namespace cli
