#include "cli/run/scenario.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/display_text.h"
#include "toggle/settings_file.h"

namespace cli {
namespace {

using common::Error;
using common::Result;
using common::Status;

// The scenario's name is filled in where the parse ends, so the parts only give the line.
Error failure(int line, std::string message) {
  return Error(std::move(message), "", line);
}

// A word of the scenario as a message shows it: quoted, control bytes escaped, and cut short,
// so that a binary file or a runaway line gives a readable one-line message.
std::string quoted(const std::string& word) {
  constexpr size_t kShown = 40;
  std::string text = "'";
  for (size_t i = 0; i < word.size() && i < kShown; ++i) {
    const auto byte = static_cast<unsigned char>(word[i]);
    if (byte < 0x20 || byte == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02x", byte);
      text += escaped;
    } else {
      text += word[i];
    }
  }
  if (word.size() > kShown) text += "...";
  return text + "'";
}

std::vector<std::string> words(const std::string& line) {
  std::vector<std::string> result;
  std::istringstream in(line.substr(0, line.find('#')));
  for (std::string word; in >> word;) result.push_back(word);
  return result;
}

// A whole-word integer: decimal with an optional minus sign, or 0x hex.
std::optional<int64_t> parseInteger(const std::string& text) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && digits.front() == '-') {
    negative = true;
    digits.remove_prefix(1);
  }
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    base = 16;
    digits.remove_prefix(2);
  }
  uint64_t value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      value > (uint64_t{1} << 40)) {
    return std::nullopt;
  }
  return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
}

Result<int64_t> integerIn(const std::string& text, int64_t low, int64_t high, int line,
                          const char* what) {
  const std::optional<int64_t> value = parseInteger(text);
  if (!value || *value < low || *value > high) {
    return failure(line, "bad " + std::string(what) + " " + quoted(text) +
                             " (expected an integer from " + std::to_string(low) + " to " +
                             std::to_string(high) + ")");
  }
  return *value;
}

Result<std::string> argumentOf(const std::vector<std::string>& w, size_t& i, int line) {
  if (i + 1 >= w.size()) return failure(line, quoted(w[i]) + " needs a value");
  return w[++i];
}

Status expectCount(const std::vector<std::string>& w, size_t count, int line, const char* usage) {
  if (w.size() != count) return failure(line, std::string("expected: ") + usage);
  return common::Done{};
}

class Parser {
 public:
  Parser(Scenario& scenario, std::string baseFolder)
      : scenario_(scenario), baseFolder_(std::move(baseFolder)) {}

  Status statement(const std::vector<std::string>& w, int line) {
    const std::string& keyword = w[0];
    if (keyword == "tick") return tickLine(w, line);
    // Only a lower bound on the run's length, so it may stand anywhere, also after the ticks.
    if (keyword == "ticks") {
      if (Status s = expectCount(w, 2, line, "ticks N"); !s) return s;
      const Result<int64_t> count = integerIn(w[1], 1, kMaxTicks, line, "tick count");
      if (!count) return count.error();
      minimumTicks_ = static_cast<uint64_t>(*count);
      return common::Done{};
    }
    if (sawTick_) return failure(line, quoted(keyword) + " must come before the first tick line");
    if (keyword == "settings") return settings(w, line);
    if (keyword == "settings-file") return settingsFile(w, line);
    if (keyword == "clock") {
      if (Status s = expectCount(w, 3, line, "clock START STEP"); !s) return s;
      const Result<uint32_t> start = timerValue(w[1], line);
      if (!start) return start.error();
      const Result<uint32_t> step = timerValue(w[2], line);
      if (!step) return step.error();
      scenario_.clockStart = *start;
      scenario_.clockStep = *step;
    } else if (keyword == "junk") {
      if (Status s = expectCount(w, 2, line, "junk on|off"); !s) return s;
      if (w[1] != "on" && w[1] != "off") return failure(line, "junk takes 'on' or 'off'");
      scenario_.junkResults = w[1] == "on";
    } else if (keyword == "seed") {
      if (Status s = expectCount(w, 2, line, "seed N"); !s) return s;
      const Result<int64_t> seed = integerIn(w[1], 0, INT64_C(1) << 40, line, "seed");
      if (!seed) return seed.error();
      scenario_.seed = static_cast<uint64_t>(*seed);
    } else if (keyword == "weapon") {
      if (Status s = expectCount(w, 2, line, "weapon NAME"); !s) return s;
      scenario_.weapon = w[1];
    } else {
      return failure(line, "unknown word " + quoted(keyword));
    }
    return common::Done{};
  }

  void finish() { scenario_.tickCount = std::max(lastTick_, minimumTicks_); }

 private:
  // A timer value: any 32 bits, written signed or unsigned.
  Result<uint32_t> timerValue(const std::string& text, int line) {
    const Result<int64_t> value = integerIn(text, INT32_MIN, UINT32_MAX, line, "timer value");
    if (!value) return value.error();
    if (*value < 0) scenario_.signedTimers = true;
    return static_cast<uint32_t>(*value);
  }

  Status settings(const std::vector<std::string>& w, int line) {
    if (scenario_.settingsText) return failure(line, "settings given twice");
    std::string text = std::string("[") + settings_file::kSection + "]\n";
    for (size_t i = 1; i < w.size(); ++i) {
      const size_t equals = w[i].find('=');
      const std::string key = w[i].substr(0, equals);
      if (std::none_of(std::begin(settings_file::kKeys), std::end(settings_file::kKeys),
                       [&](const settings_file::Key& known) { return key == known.name; })) {
        std::string expected;
        for (size_t k = 0; k < settings_file::kKeyCount; ++k) {
          expected += k == 0 ? "" : k + 1 == settings_file::kKeyCount ? " or " : ", ";
          expected += std::string(settings_file::kKeys[k].name) + "=N";
        }
        return failure(line, "unknown setting " + quoted(key) + " (expected " + expected + ")");
      }
      if (equals == std::string::npos) return failure(line, quoted(key) + " needs =N");
      const std::string value = w[i].substr(equals + 1);
      const Result<int64_t> number = integerIn(value, INT32_MIN, UINT32_MAX, line, "setting value");
      if (!number) return number.error();
      text.append(key).append("=").append(value).append("\n");
    }
    scenario_.settingsText = text;
    return common::Done{};
  }

  Status settingsFile(const std::vector<std::string>& w, int line) {
    if (Status s = expectCount(w, 2, line, "settings-file PATH"); !s) return s;
    if (scenario_.settingsText) return failure(line, "settings given twice");
    std::filesystem::path path = w[1];
    if (path.is_relative() && !baseFolder_.empty())
      path = std::filesystem::path(baseFolder_) / path;
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    if (!in || std::filesystem::is_directory(path, ec)) {
      return failure(line, "cannot read settings file " + path.string());
    }
    std::ostringstream text;
    text << in.rdbuf();
    scenario_.settingsText = text.str();
    return common::Done{};
  }

  Status tickLine(const std::vector<std::string>& w, int line) {
    if (w.size() < 2) return failure(line, "expected: tick N or tick A-B, then inputs");
    sawTick_ = true;
    TickLine tick;
    tick.line = line;
    const size_t dash = w[1].find('-', 1);
    const Result<int64_t> first = integerIn(w[1].substr(0, dash), 1, kMaxTicks, line, "tick");
    if (!first) return first.error();
    tick.first = tick.last = static_cast<uint64_t>(*first);
    if (dash != std::string::npos) {
      const Result<int64_t> last = integerIn(w[1].substr(dash + 1), 1, kMaxTicks, line, "tick");
      if (!last) return last.error();
      tick.last = static_cast<uint64_t>(*last);
    }
    if (tick.last < tick.first) return failure(line, "tick range " + w[1] + " runs backwards");
    if (tick.first <= lastTick_) {
      return failure(line, "tick " + std::to_string(tick.first) + " is not after tick " +
                               std::to_string(lastTick_) + " on line " +
                               std::to_string(lastTickLine_) + "; ticks must increase");
    }
    for (size_t i = 2; i < w.size(); ++i) {
      if (Status s = input(tick, w, i, line); !s) return s;
    }
    lastTick_ = tick.last;
    lastTickLine_ = line;
    scenario_.ticks.push_back(std::move(tick));
    return common::Done{};
  }

  Status input(TickLine& tick, const std::vector<std::string>& w, size_t& i, int line) {
    const std::string& word = w[i];
    if (word == "aim-down") {
      tick.inputs.aimDown = true;
    } else if (word == "aim-up") {
      tick.inputs.aimUp = true;
    } else if (word == "sprint") {
      tick.inputs.sprint = true;
    } else if (word == "camera") {
      tick.inputs.nextCamera = true;
    } else if (word == "wheel") {
      tick.inputs.wheel = true;
    } else if (word == "weapon-fails") {
      tick.inputs.weaponQueryFails = true;
    } else if (word == "weapon" || word == "timer" || word == "key") {
      const Result<std::string> argument = argumentOf(w, i, line);
      if (!argument) return argument.error();
      if (word == "weapon") {
        tick.inputs.weapon = *argument;
        tick.weaponGiven = true;
      } else if (word == "key") {
        return keyEvent(tick, *argument, line);
      } else {
        for (const std::string& value : common::split(*argument, ',')) {
          const Result<uint32_t> read = timerValue(value, line);
          if (!read) return read.error();
          tick.inputs.timerReads.push_back(*read);
        }
      }
    } else {
      return failure(line, "unknown input " + quoted(word));
    }
    return common::Done{};
  }

  Status keyEvent(const TickLine& tick, const std::string& text, int line) {
    const std::vector<std::string> parts = common::split(text, ',');
    if (parts.size() != 1 && parts.size() != 7) {
      return failure(line, "key takes CODE or CODE,A2,A3,A4,A5,A6,A7");
    }
    // Each part's range, as the host's keyboard callback takes it.
    constexpr int64_t kLow[] = {0, 0, 0, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
    constexpr int64_t kHigh[] = {UINT32_MAX, UINT16_MAX, UINT8_MAX, INT32_MAX,
                                 INT32_MAX,  INT32_MAX,  INT32_MAX};
    int64_t values[7] = {};
    for (size_t k = 0; k < parts.size(); ++k) {
      const Result<int64_t> value =
          integerIn(parts[k], kLow[k], kHigh[k], line, k == 0 ? "key code" : "key argument");
      if (!value) return value.error();
      values[k] = *value;
    }
    KeyEvent event;
    event.line = line;
    event.beforeTick = tick.first;
    event.key = static_cast<uint32_t>(values[0]);
    event.arg2 = static_cast<uint16_t>(values[1]);
    event.arg3 = static_cast<uint8_t>(values[2]);
    for (size_t k = 0; k < 4; ++k) event.args[k] = static_cast<int32_t>(values[3 + k]);
    scenario_.keyEvents.push_back(event);
    return common::Done{};
  }

  Scenario& scenario_;
  std::string baseFolder_;
  bool sawTick_ = false;
  uint64_t lastTick_ = 0;
  int lastTickLine_ = 0;
  uint64_t minimumTicks_ = 0;
};

}  // namespace

Result<Scenario> parseScenario(const std::string& text, const std::string& name,
                               const std::string& baseFolder) {
  Scenario scenario;
  scenario.name = name;
  Parser parser(scenario, baseFolder);
  int lineNumber = 0;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Editors on Windows may start a UTF-8 file with a byte order mark.
    if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    const std::vector<std::string> w = words(line);
    if (w.empty()) continue;
    if (const Status parsed = parser.statement(w, lineNumber); !parsed) {
      Error error = parsed.error();
      error.where = name;
      return error;
    }
  }
  parser.finish();
  if (scenario.tickCount == 0) return Error("no ticks to run", name, lineNumber);
  return scenario;
}

}  // namespace cli
