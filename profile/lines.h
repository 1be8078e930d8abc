// The lines of a settings file as the reader sees them: where they end, what is trimmed, and
// which are section headers and entries.
#pragma once

#include <cstddef>
#include <cstdint>

namespace profile {

inline bool isTrimmedSpace(uint32_t unit) {
  return unit == ' ' || unit == '\t' || unit == '\v' || unit == '\f' || unit == 0x1A;
}

// A range of units, [begin, end).
struct UnitRange {
  size_t begin = 0;
  size_t end = 0;
  bool empty() const { return begin == end; }
};

enum class LineKind { blank, section, entry };

struct ProfileLine {
  LineKind kind = LineKind::blank;
  UnitRange whole;        // the line, without its end of line
  UnitRange name;         // section or key name, trimmed
  UnitRange value;        // entry value, trimmed
  bool hasValue = false;  // the entry has an '='
};

template <typename Text>
UnitRange trimmed(const Text& text, UnitRange range) {
  while (range.begin < range.end && isTrimmedSpace(text[range.begin])) ++range.begin;
  while (range.end > range.begin && isTrimmedSpace(text[range.end - 1])) --range.end;
  return range;
}

// A name or value as the reader compares and copies it: up to its first NUL.
template <typename Text>
UnitRange untilNul(const Text& text, UnitRange range) {
  for (size_t i = range.begin; i < range.end; ++i) {
    if (text[i] == 0) return {range.begin, i};
  }
  return range;
}

template <typename Text>
ProfileLine classifyLine(const Text& text, UnitRange whole) {
  ProfileLine line;
  line.whole = whole;
  const UnitRange body = trimmed(text, whole);
  if (body.empty()) return line;
  if (text[body.begin] == '[') {
    size_t close = body.end;
    while (close > body.begin + 1 && text[close - 1] != ']') --close;
    if (close > body.begin + 1) {
      line.kind = LineKind::section;
      line.name = trimmed(text, {body.begin + 1, close - 1});
      return line;
    }
  }
  // Anything else is an entry, even "[key=1" with no ']' or ";key=1": no character starts a
  // comment, and such keys are found when asked for by those names.
  line.kind = LineKind::entry;
  size_t equals = body.begin;
  while (equals < body.end && text[equals] != '=') ++equals;
  line.name = trimmed(text, {body.begin, equals});
  line.hasValue = equals < body.end;
  if (line.hasValue) line.value = trimmed(text, {equals + 1, body.end});
  return line;
}

// Calls visit(line) for each line until it returns false.
template <typename Text, typename Visitor>
void scanLines(const Text& text, Visitor&& visit) {
  size_t begin = 0;
  const size_t size = text.size();
  while (begin < size) {
    size_t end = begin;
    while (end < size && text[end] != '\n' && text[end] != '\r') ++end;
    if (!visit(classifyLine(text, {begin, end}))) return;
    begin = end + 1;
  }
}

}  // namespace profile
