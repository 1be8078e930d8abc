#include <cinttypes>
#include <cstdio>
#include <iterator>

#include "sim/trace.h"

namespace sim {
namespace {

std::string hex32(uint64_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08" PRIx32, static_cast<uint32_t>(value));
  return text;
}

std::string hex64(uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof(text), "0x%016" PRIx64, value);
  return text;
}

// Names quoted; hashes and handles in hex, small constants in decimal.
std::string formatArg(const TraceEntry& entry, size_t index) {
  const ArgRole role = argRole(entry, index);
  if (role == ArgRole::name) return '"' + entry.text + '"';
  if (role == ArgRole::slot) return "&slot";
  const uint64_t value = entry.args[index];
  const NativeInfo* native = entry.native;
  if (native == nullptr || entry.argCount != native->argCount || value > 0xFFFFFFFFu) {
    return hex64(value);
  }
  return (native->hexArgs >> index & 1) != 0 ? hex32(value) : std::to_string(value);
}

std::string formatResult(const TraceEntry& entry) {
  const auto low = static_cast<uint32_t>(entry.result);
  const Shown shown = entry.native != nullptr ? entry.native->result : Shown::hex;
  std::string text = shown == Shown::hex       ? hex32(low)
                     : shown == Shown::decimal ? std::to_string(low)
                                               : std::to_string(static_cast<int32_t>(low));
  if ((entry.result >> 32) != 0) text += " [high " + hex32(entry.result >> 32) + "]";
  if (entry.native != nullptr && entry.native->hash == contract::kCurrentWeapon) {
    text += ", slot " + hex32(entry.outSlot);
    if ((entry.outSlot >> 32) != 0) text += " [high " + hex32(entry.outSlot >> 32) + "]";
  }
  return text;
}

std::string formatNative(const TraceEntry& entry) {
  std::string text = entry.native != nullptr ? std::string(entry.native->label)
                                             : "unknownNative " + hex64(entry.hash);
  text += '(';
  const size_t shown = entry.argCount < kMaxTracedArgs ? entry.argCount : kMaxTracedArgs;
  for (size_t i = 0; i < shown; ++i) {
    if (i > 0) text += ", ";
    text += formatArg(entry, i);
  }
  if (entry.argCount > kMaxTracedArgs) text += ", ...";
  return text + ") -> " + formatResult(entry);
}

}  // namespace

std::string_view callName(const TraceEntry& entry) {
  if (entry.kind == TraceKind::native) {
    return entry.native != nullptr ? entry.native->label : "unknownNative";
  }
  // By kind, in TraceKind's order; a keyboard event or a protocol error is no call of the plugin.
  constexpr std::string_view kNames[] = {"scriptRegister", "scriptUnregister", "scriptWait",
                                         "keyboardHandlerRegister", "keyboardHandlerUnregister"};
  const auto kind = static_cast<size_t>(entry.kind);
  return kind < std::size(kNames) ? kNames[kind] : std::string_view();
}

ArgRole argRole(const TraceEntry& entry, size_t index) {
  const NativeInfo* native = entry.native;
  if (native == nullptr) return ArgRole::value;
  // A name argument is one also in a call with the wrong count, where the host reads no name
  // and it shows empty.
  if ((native->stringArgs >> index & 1) != 0) return ArgRole::name;
  if (native->hash == contract::kCurrentWeapon && index == 1 &&
      entry.argCount == native->argCount) {
    return ArgRole::slot;
  }
  return ArgRole::value;
}

std::string formatTraceEntry(const TraceEntry& entry) {
  switch (entry.kind) {
    case TraceKind::native:
      return formatNative(entry);
    case TraceKind::scriptWait:
      return "scriptWait(" + std::to_string(entry.args[0]) + ")";
    case TraceKind::keyboardEvent: {
      std::string text = "(host) keyboard event(";
      for (size_t i = 0; i < 7; ++i) {
        if (i > 0) text += ", ";
        text += i < 3 ? std::to_string(entry.args[i])
                      : std::to_string(static_cast<int32_t>(entry.args[i]));
      }
      return text + ")";
    }
    case TraceKind::protocolError:
      return "!! protocol error: " + entry.text;
    default:  // the registrations: what was registered, by its symbolic name
      return std::string(callName(entry)) + "(" + entry.text + ")";
  }
}

}  // namespace sim
