// JSON Lines for tools: one record per line, in the order things happened. 64-bit values are
// hex strings, which a JavaScript reader takes without losing bits.
#include <algorithm>
#include <charconv>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/run/report.h"
#include "common/settings_values.h"

namespace cli {
namespace {

using Json = nlohmann::ordered_json;

std::string hex(uint64_t value) {
  char text[2 + 16] = {'0', 'x'};
  return {text, std::to_chars(text + 2, std::end(text), value, 16).ptr};
}

// An object with room for its keys: ordered_json keeps them in a vector, whose growth copies
// every key so far.
Json objectOf(size_t keys) {
  Json object = Json::object();
  object.get_ref<Json::object_t&>().reserve(keys);
  return object;
}

Json call(const sim::TraceEntry& entry) {
  Json call = objectOf(6);
  call["native"] = sim::callName(entry);
  // A call of more arguments than kept says how many it had, and nothing else beside them.
  const bool cut = entry.argCount > sim::kMaxTracedArgs;
  const bool native = entry.kind == sim::TraceKind::native;
  if (native && entry.native == nullptr && !cut) call["hash"] = hex(entry.hash);
  Json& args = call["args"] = Json::array();
  if (!native) {
    // The host library's own functions take a name or a wait, and return nothing.
    args.push_back(entry.kind == sim::TraceKind::scriptWait ? Json(entry.args[0])
                                                            : Json(entry.text));
    call["result"] = nullptr;
    return call;
  }
  for (size_t i = 0; i < std::min<size_t>(entry.argCount, sim::kMaxTracedArgs); ++i) {
    const sim::ArgRole role = sim::argRole(entry, i);
    args.push_back(role == sim::ArgRole::name   ? Json(entry.text)
                   : role == sim::ArgRole::slot ? Json("&slot")
                                                : Json(hex(entry.args[i])));
  }
  if (cut) call["argCount"] = entry.argCount;
  call["result"] = hex(entry.result);
  if (!cut && entry.native != nullptr && entry.native->hash == contract::kCurrentWeapon) {
    call["slot"] = hex(entry.outSlot);
  }
  return call;
}

Json calls(const std::vector<sim::TraceEntry>& entries) {
  Json calls = Json::array();
  for (const sim::TraceEntry& entry : entries) {
    if (!sim::callName(entry).empty()) calls.push_back(call(entry));
  }
  return calls;
}

class JsonReport : public RunSink {
 public:
  JsonReport(std::FILE* out, const Scenario& scenario) : out_(out), scenario_(scenario) {}

  void load(const std::vector<sim::TraceEntry>& entries) override {
    Json start = {{"event", "start"}, {"scenario", scenario_.name}};
    const ToggleSettings read = common::readSettings(scenario_.settingsText);
    Json& settings = start["settings"];
    for (const settings_file::Key& key : settings_file::kKeys) {
      settings[key.name] = read.*key.member;
    }
    write(start);
    writePhase("load", entries);
  }

  void tick(const TickRecord& r, const std::vector<sim::TraceEntry>& entries) override {
    writeKeyEvents(r.tick, entries);
    const sim::TickInputs& in = r.inputs;
    Json tick = objectOf(8);
    tick["event"] = "tick";
    tick["tick"] = r.tick;
    tick["timer"] = in.timerReads;
    Json& inputs = tick["inputs"] = objectOf(7);
    inputs["aimDown"] = in.aimDown;
    inputs["aimUp"] = in.aimUp;
    inputs["sprint"] = in.sprint;
    inputs["camera"] = in.nextCamera;
    inputs["wheel"] = in.wheel;
    inputs["weapon"] = in.weapon;
    inputs["weaponFails"] = in.weaponQueryFails;
    tick["latch"] = r.summary.latch;
    tick["forcedAim"] = r.summary.forcedAim ? Json(*r.summary.forcedAim) : Json(nullptr);
    tick["hostCalls"] = r.summary.hostCalls;
    tick["calls"] = calls(entries);
    write(tick);
    writeProtocolErrors(Json(r.tick), entries);
  }

  void unload(const std::vector<sim::TraceEntry>& entries) override {
    writePhase("unload", entries);
  }

  void end(const RunSummary& summary) override {
    write({{"event", "end"},
           {"ticks", summary.ticksRun},
           {"protocolErrors", summary.protocolErrors.size()}});
  }

 private:
  void writePhase(const char* phase, const std::vector<sim::TraceEntry>& entries) {
    write({{"event", phase}, {"calls", calls(entries)}});
    writeProtocolErrors(Json(phase), entries);
  }

  // Keyboard events are delivered before the tick: a record of their own before its record.
  void writeKeyEvents(uint64_t tick, const std::vector<sim::TraceEntry>& entries) {
    for (const sim::TraceEntry& entry : entries) {
      if (entry.kind != sim::TraceKind::keyboardEvent) continue;
      Json args = Json::array();
      for (size_t i = 3; i < 7; ++i) args.push_back(static_cast<int32_t>(entry.args[i]));
      write({{"event", "key"},
             {"tick", tick},
             {"key", entry.args[0]},
             {"arg2", entry.args[1]},
             {"arg3", entry.args[2]},
             {"args", args}});
    }
  }

  // After the record they happened in: its tick, or "load" or "unload" as "during".
  void writeProtocolErrors(const Json& at, const std::vector<sim::TraceEntry>& entries) {
    for (const sim::TraceEntry& entry : entries) {
      if (entry.kind != sim::TraceKind::protocolError) continue;
      write({{"event", "protocolError"},
             {at.is_string() ? "during" : "tick", at},
             {"message", entry.text}});
    }
  }

  void write(const Json& record) {
    const std::string line =
        record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
    std::fwrite(line.data(), 1, line.size(), out_);
  }

  std::FILE* out_;
  const Scenario& scenario_;
};

}  // namespace

std::unique_ptr<RunSink> makeJsonReport(std::FILE* out, const Scenario& scenario) {
  return std::make_unique<JsonReport>(out, scenario);
}

}  // namespace cli
