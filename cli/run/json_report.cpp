// JSON Lines for tools: one record per line, in the order things happened. 64-bit values are
// hex strings, which a JavaScript reader takes without losing bits.
#include <charconv>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/run/report.h"
#include "toggle/settings_file.h"

namespace cli {
namespace {

using Json = nlohmann::ordered_json;

// A 64-bit value as "0x" and its hex digits, with no allocation.
class Hex {
 public:
  explicit Hex(uint64_t value) {
    const auto [end, error] = std::to_chars(text_ + 2, text_ + sizeof(text_), value, 16);
    (void)error;  // 16 digits always fit
    size_ = static_cast<size_t>(end - text_);
  }
  std::string_view view() const { return {text_, size_}; }

 private:
  char text_[2 + 16] = {'0', 'x'};
  size_t size_ = 0;
};

// Values are assigned into the slots of the record written before, so that a long run costs few
// allocations: the DOM otherwise makes several for every string of every call.
void assign(Json& slot, std::string_view value) {
  if (slot.is_string()) {
    slot.get_ref<std::string&>().assign(value);
  } else {
    slot = std::string(value);
  }
}

Json::array_t& arrayOf(Json& slot, size_t size) {
  if (!slot.is_array()) slot = Json::array();
  Json::array_t& array = slot.get_ref<Json::array_t&>();
  array.resize(size);
  return array;
}

// An argument as the trace shows its role: the name a string argument points to, "&slot" for
// the weapon query's out-parameter (an address differs from run to run), else the value.
void assignArgument(Json& slot, const sim::TraceEntry& entry, size_t index) {
  const sim::NativeInfo* native = entry.native;
  if (native != nullptr) {
    const bool asDeclared = entry.argCount == native->argCount;
    if ((native->stringArgs >> index & 1) != 0 && (asDeclared || index == 0)) {
      return assign(slot, entry.text);
    }
    if (native->id == sim::NativeId::currentWeapon && index == 1 && asDeclared) {
      return assign(slot, "&slot");
    }
  }
  assign(slot, Hex(entry.args[index]).view());
}

// Which keys a call's object has past native, args and result, so that a slot is reused only
// for a call of the same shape and the keys keep their order.
enum class CallShape : uint8_t { none, plain, unknownNative, withSlot, withArgCount };

CallShape shapeOf(const sim::TraceEntry& entry) {
  if (entry.kind != sim::TraceKind::native) return CallShape::plain;
  if (entry.argCount > sim::kMaxTracedArgs) return CallShape::withArgCount;
  if (entry.native == nullptr) return CallShape::unknownNative;
  if (entry.native->id == sim::NativeId::currentWeapon) return CallShape::withSlot;
  return CallShape::plain;
}

// The name of a host call, for the host library's own functions too.
std::string_view callName(const sim::TraceEntry& entry) {
  switch (entry.kind) {
    case sim::TraceKind::native:
      return entry.native != nullptr ? entry.native->label : "unknownNative";
    case sim::TraceKind::scriptWait:
      return "scriptWait";
    case sim::TraceKind::scriptRegister:
      return "scriptRegister";
    case sim::TraceKind::scriptUnregister:
      return "scriptUnregister";
    case sim::TraceKind::keyboardHandlerRegister:
      return "keyboardHandlerRegister";
    case sim::TraceKind::keyboardHandlerUnregister:
      return "keyboardHandlerUnregister";
    default:
      return {};
  }
}

bool isCall(const sim::TraceEntry& entry) {
  return !callName(entry).empty();
}

void fillCall(Json& call, CallShape& shape, const sim::TraceEntry& entry) {
  const CallShape wanted = shapeOf(entry);
  if (shape != wanted) {
    call = Json::object();
    call["native"] = nullptr;
    if (wanted == CallShape::unknownNative) call["hash"] = nullptr;
    call["args"] = Json::array();
    if (wanted == CallShape::withArgCount) call["argCount"] = nullptr;
    call["result"] = nullptr;
    if (wanted == CallShape::withSlot) call["slot"] = nullptr;
    shape = wanted;
  }
  assign(call["native"], callName(entry));
  if (entry.kind != sim::TraceKind::native) {
    // The host library's own functions take a name or a wait, and return nothing.
    Json::array_t& args = arrayOf(call["args"], 1);
    if (entry.kind == sim::TraceKind::scriptWait) {
      args[0] = entry.args[0];
    } else {
      assign(args[0], entry.text);
    }
    call["result"] = nullptr;
    return;
  }
  if (wanted == CallShape::unknownNative) assign(call["hash"], Hex(entry.hash).view());
  const size_t kept = entry.argCount < sim::kMaxTracedArgs ? entry.argCount : sim::kMaxTracedArgs;
  Json::array_t& args = arrayOf(call["args"], kept);
  for (size_t i = 0; i < kept; ++i) assignArgument(args[i], entry, i);
  if (wanted == CallShape::withArgCount) call["argCount"] = entry.argCount;
  assign(call["result"], Hex(entry.result).view());
  if (wanted == CallShape::withSlot) assign(call["slot"], Hex(entry.outSlot).view());
}

class JsonReport : public RunSink {
 public:
  JsonReport(std::FILE* out, RunHeading heading) : out_(out), heading_(std::move(heading)) {
    // The tick record's keys in the order they are written.
    for (const char* key :
         {"event", "tick", "timer", "inputs", "latch", "forcedAim", "hostCalls", "calls"}) {
      tick_[key] = nullptr;
    }
    tick_["event"] = "tick";
    for (const char* key :
         {"aimDown", "aimUp", "sprint", "camera", "wheel", "weapon", "weaponFails"}) {
      tick_["inputs"][key] = nullptr;
    }
  }

  void load(const std::vector<sim::TraceEntry>& entries) override {
    Json start;
    start["event"] = "start";
    start["scenario"] = heading_.scenario;
    Json& settings = start["settings"];
    for (const settings_file::Key& key : settings_file::kKeys) {
      settings[key.name] = heading_.settings.*key.member;
    }
    write(start);
    writePhase("load", entries);
  }

  void tick(const TickReport& r, const std::vector<sim::TraceEntry>& entries) override {
    writeKeyEvents(r.tick, entries);
    tick_["tick"] = r.tick;
    Json::array_t& timer = arrayOf(tick_["timer"], r.timerReads.size());
    for (size_t i = 0; i < r.timerReads.size(); ++i) timer[i] = r.timerReads[i];
    Json& inputs = tick_["inputs"];
    inputs["aimDown"] = r.controls.aimDown;
    inputs["aimUp"] = r.controls.aimUp;
    inputs["sprint"] = r.controls.sprint;
    inputs["camera"] = r.controls.nextCamera;
    inputs["wheel"] = r.controls.wheel;
    assign(inputs["weapon"], r.weapon);
    inputs["weaponFails"] = r.weaponQueryFails;
    tick_["latch"] = r.latch;
    tick_["forcedAim"] = r.forcedAim ? Json(*r.forcedAim) : Json(nullptr);
    tick_["hostCalls"] = r.hostCalls;
    fillCalls(tick_["calls"], entries);
    write(tick_);
    writeProtocolErrors(Json(r.tick), entries);
  }

  void unload(const std::vector<sim::TraceEntry>& entries) override {
    writePhase("unload", entries);
  }

 private:
  void writePhase(const char* phase, const std::vector<sim::TraceEntry>& entries) {
    Json record;
    record["event"] = phase;
    CallShapes shapes;
    fillCalls(record["calls"], entries, &shapes);
    write(record);
    writeProtocolErrors(Json(phase), entries);
  }

  using CallShapes = std::vector<CallShape>;

  void fillCalls(Json& slot, const std::vector<sim::TraceEntry>& entries,
                 CallShapes* shapes = nullptr) {
    if (shapes == nullptr) shapes = &tickShapes_;
    size_t count = 0;
    for (const sim::TraceEntry& entry : entries) count += isCall(entry) ? 1u : 0u;
    Json::array_t& calls = arrayOf(slot, count);
    shapes->resize(count, CallShape::none);
    size_t i = 0;
    for (const sim::TraceEntry& entry : entries) {
      if (!isCall(entry)) continue;
      fillCall(calls[i], (*shapes)[i], entry);
      ++i;
    }
  }

  // Keyboard events are delivered before the tick: a record of their own before its record.
  void writeKeyEvents(uint64_t tick, const std::vector<sim::TraceEntry>& entries) {
    for (const sim::TraceEntry& entry : entries) {
      if (entry.kind != sim::TraceKind::keyboardEvent) continue;
      Json key;
      key["event"] = "key";
      key["tick"] = tick;
      key["key"] = entry.args[0];
      key["arg2"] = entry.args[1];
      key["arg3"] = entry.args[2];
      Json& args = key["args"] = Json::array();
      for (size_t i = 3; i < 7; ++i) args.push_back(static_cast<int32_t>(entry.args[i]));
      write(key);
    }
  }

  // After the record they happened in: its tick, or "load" or "unload" as "during".
  void writeProtocolErrors(const Json& at, const std::vector<sim::TraceEntry>& entries) {
    for (const sim::TraceEntry& entry : entries) {
      if (entry.kind != sim::TraceKind::protocolError) continue;
      Json error;
      error["event"] = "protocolError";
      error[at.is_string() ? "during" : "tick"] = at;
      error["message"] = entry.text;
      write(error);
    }
  }

  void write(const Json& record) {
    line_ = record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    line_ += '\n';
    std::fwrite(line_.data(), 1, line_.size(), out_);
  }

  std::FILE* out_;
  RunHeading heading_;
  Json tick_;
  CallShapes tickShapes_;
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
