// JSON Lines for tools: one record per line, in the order things happened. 64-bit values are
// hex strings, which a JavaScript reader takes without losing bits.
#include <charconv>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/run/report.h"

namespace cli {
namespace {

using Json = nlohmann::ordered_json;

std::string hex(uint64_t value) {
  char text[2 + 16] = {'0', 'x'};
  const auto [end, error] = std::to_chars(text + 2, text + sizeof(text), value, 16);
  (void)error;  // 16 hex digits always fit
  return {text, end};
}

// An argument as the trace shows its role: the name a string argument points to, "&slot" for
// the weapon query's out-parameter (an address differs from run to run), else the value.
Json argument(const sim::TraceEntry& entry, size_t index) {
  const sim::NativeInfo* native = entry.native;
  if (native != nullptr) {
    const bool asDeclared = entry.argCount == native->argCount;
    if ((native->stringArgs >> index & 1) != 0 && (asDeclared || index == 0)) return entry.text;
    if (native->id == sim::NativeId::currentWeapon && index == 1 && asDeclared) return "&slot";
  }
  return hex(entry.args[index]);
}

Json nativeCall(const sim::TraceEntry& entry) {
  Json call;
  call["native"] = entry.native != nullptr ? std::string(entry.native->label) : "unknownNative";
  if (entry.native == nullptr) call["hash"] = hex(entry.hash);
  Json args = Json::array();
  const size_t kept = entry.argCount < sim::kMaxTracedArgs ? entry.argCount : sim::kMaxTracedArgs;
  for (size_t i = 0; i < kept; ++i) args.push_back(argument(entry, i));
  call["args"] = std::move(args);
  if (entry.argCount > kept) call["argCount"] = entry.argCount;
  call["result"] = hex(entry.result);
  if (entry.native != nullptr && entry.native->id == sim::NativeId::currentWeapon) {
    call["slot"] = hex(entry.outSlot);
  }
  return call;
}

// The host library's own functions: their argument is a name or a wait, and they return
// nothing.
Json hostCall(const char* name, Json argument) {
  Json call;
  call["native"] = name;
  call["args"] = Json::array({std::move(argument)});
  call["result"] = nullptr;
  return call;
}

class JsonReport : public RunSink {
 public:
  JsonReport(std::FILE* out, RunHeading heading) : out_(out), heading_(std::move(heading)) {}

  void load(const std::vector<sim::TraceEntry>& entries) override {
    Json start;
    start["event"] = "start";
    start["scenario"] = heading_.scenario;
    start["settings"] = {{"ShortPress", heading_.settings.shortPress},
                         {"LongPress", heading_.settings.longPress},
                         {"HoldADS", heading_.settings.holdAds}};
    write(start);
    writeWithCalls("load", entries);
  }

  void tick(const TickReport& r, const std::vector<sim::TraceEntry>& entries) override {
    Json record;
    record["event"] = "tick";
    record["tick"] = r.tick;
    record["timer"] = r.timerReads;
    record["inputs"] = {{"aimDown", r.controls.aimDown},    {"aimUp", r.controls.aimUp},
                        {"sprint", r.controls.sprint},      {"camera", r.controls.nextCamera},
                        {"wheel", r.controls.wheel},        {"weapon", r.weapon},
                        {"weaponFails", r.weaponQueryFails}};
    record["latch"] = r.latch;
    record["forcedAim"] = r.forcedAim ? Json(*r.forcedAim) : Json(nullptr);
    record["hostCalls"] = r.hostCalls;
    addCalls(record, entries);
  }

  void unload(const std::vector<sim::TraceEntry>& entries) override {
    writeWithCalls("unload", entries);
  }

 private:
  void writeWithCalls(const char* event, const std::vector<sim::TraceEntry>& entries) {
    Json record;
    record["event"] = event;
    addCalls(record, entries);
  }

  // Fills in the record's calls and writes it, with a record of its own before it for each
  // keyboard event (delivered before the tick) and after it for each protocol error; those
  // name the tick, or the load or unload, of the record.
  void addCalls(Json& record, const std::vector<sim::TraceEntry>& entries) {
    const bool isTick = record["event"] == "tick";
    const auto at = [&](Json& event) {
      if (isTick) {
        event["tick"] = record["tick"];
      } else {
        event["during"] = record["event"];
      }
    };
    Json calls = Json::array();
    std::vector<Json> errors;
    for (const sim::TraceEntry& entry : entries) {
      switch (entry.kind) {
        case sim::TraceKind::tickBegin:
          break;
        case sim::TraceKind::native:
          calls.push_back(nativeCall(entry));
          break;
        case sim::TraceKind::scriptWait:
          calls.push_back(hostCall("scriptWait", entry.args[0]));
          break;
        case sim::TraceKind::scriptRegister:
          calls.push_back(hostCall("scriptRegister", entry.text));
          break;
        case sim::TraceKind::scriptUnregister:
          calls.push_back(hostCall("scriptUnregister", entry.text));
          break;
        case sim::TraceKind::keyboardHandlerRegister:
          calls.push_back(hostCall("keyboardHandlerRegister", entry.text));
          break;
        case sim::TraceKind::keyboardHandlerUnregister:
          calls.push_back(hostCall("keyboardHandlerUnregister", entry.text));
          break;
        case sim::TraceKind::keyboardEvent:
          write(keyRecord(entry, at));
          break;
        case sim::TraceKind::protocolError: {
          Json& error = errors.emplace_back();
          error["event"] = "protocolError";
          at(error);
          error["message"] = entry.text;
          break;
        }
      }
    }
    record["calls"] = std::move(calls);
    write(record);
    for (const Json& error : errors) write(error);
  }

  template <typename At>
  static Json keyRecord(const sim::TraceEntry& entry, const At& at) {
    Json key;
    key["event"] = "key";
    at(key);
    key["key"] = entry.args[0];
    key["arg2"] = entry.args[1];
    key["arg3"] = entry.args[2];
    Json more = Json::array();
    for (size_t i = 3; i < 7; ++i) more.push_back(static_cast<int32_t>(entry.args[i]));
    key["args"] = std::move(more);
    return key;
  }

  void write(const Json& record) {
    line_ = record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    line_ += '\n';
    std::fwrite(line_.data(), 1, line_.size(), out_);
  }

  std::FILE* out_;
  RunHeading heading_;
  std::string line_;
};

}  // namespace

std::unique_ptr<RunSink> makeJsonReport(std::FILE* out, const RunHeading& heading) {
  return std::make_unique<JsonReport>(out, heading);
}

void writeJsonEnd(std::FILE* out, const RunSummary& summary) {
  const Json end = {{"event", "end"},
                    {"ticks", summary.ticksRun},
                    {"protocolErrors", summary.protocolErrors.size()}};
  std::fprintf(out, "%s\n", end.dump().c_str());
}

}  // namespace cli
