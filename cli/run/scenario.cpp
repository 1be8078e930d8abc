#include "cli/run/scenario.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace cli {
namespace {

struct Failure {
  int line;
  std::string message;
};

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

int64_t integerIn(const std::string& text, int64_t low, int64_t high, int line, const char* what) {
  const std::optional<int64_t> value = parseInteger(text);
  if (!value || *value < low || *value > high) {
    throw Failure{line, "bad " + std::string(what) + " " + quoted(text) +
                            " (expected an integer from " + std::to_string(low) + " to " +
                            std::to_string(high) + ")"};
  }
  return *value;
}

// A timer value: any 32 bits, written signed or unsigned.
uint32_t timerValue(const std::string& text, int line) {
  return static_cast<uint32_t>(integerIn(text, INT32_MIN, UINT32_MAX, line, "timer value"));
}

std::vector<std::string> commaList(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1) {
    parts.push_back(text.substr(start, comma - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

const std::string& argumentOf(const std::vector<std::string>& w, size_t& i, int line) {
  if (i + 1 >= w.size()) throw Failure{line, quoted(w[i]) + " needs a value"};
  return w[++i];
}

class Parser {
 public:
  Parser(Scenario& scenario, std::string baseFolder)
      : scenario_(scenario), baseFolder_(std::move(baseFolder)) {}

  void statement(const std::vector<std::string>& w, int line) {
    const std::string& keyword = w[0];
    if (keyword == "tick") return tickLine(w, line);
    // Only a lower bound on the run's length, so it may stand anywhere, also after the ticks.
    if (keyword == "ticks") {
      expectCount(w, 2, line, "ticks N");
      minimumTicks_ = static_cast<uint64_t>(integerIn(w[1], 1, kMaxTicks, line, "tick count"));
      return;
    }
    if (sawTick_) {
      throw Failure{line, quoted(keyword) + " must come before the first tick line"};
    }
    if (keyword == "settings") return settings(w, line);
    if (keyword == "settings-file") return settingsFile(w, line);
    if (keyword == "clock") {
      expectCount(w, 3, line, "clock START STEP");
      scenario_.clockStart = timerValue(w[1], line);
      scenario_.clockStep = timerValue(w[2], line);
    } else if (keyword == "junk") {
      expectCount(w, 2, line, "junk on|off");
      if (w[1] != "on" && w[1] != "off") throw Failure{line, "junk takes 'on' or 'off'"};
      scenario_.junkResults = w[1] == "on";
    } else if (keyword == "seed") {
      expectCount(w, 2, line, "seed N");
      scenario_.seed = static_cast<uint64_t>(integerIn(w[1], 0, INT64_C(1) << 40, line, "seed"));
    } else if (keyword == "weapon") {
      expectCount(w, 2, line, "weapon NAME");
      scenario_.weapon = w[1];
    } else {
      throw Failure{line, "unknown word " + quoted(keyword)};
    }
  }

  void finish() { scenario_.tickCount = std::max(lastTick_, minimumTicks_); }

 private:
  static void expectCount(const std::vector<std::string>& w, size_t count, int line,
                          const char* usage) {
    if (w.size() != count) throw Failure{line, std::string("expected: ") + usage};
  }

  void settings(const std::vector<std::string>& w, int line) {
    if (scenario_.settingsText) throw Failure{line, "settings given twice"};
    std::string text = "[Settings]\n";
    for (size_t i = 1; i < w.size(); ++i) {
      const size_t equals = w[i].find('=');
      const std::string key = w[i].substr(0, equals);
      if (key != "ShortPress" && key != "LongPress" && key != "HoldADS") {
        throw Failure{line, "unknown setting " + quoted(key) +
                                " (expected ShortPress=N, LongPress=N or HoldADS=N)"};
      }
      if (equals == std::string::npos) throw Failure{line, quoted(key) + " needs =N"};
      const std::string value = w[i].substr(equals + 1);
      integerIn(value, INT32_MIN, UINT32_MAX, line, "setting value");
      text.append(key).append("=").append(value).append("\n");
    }
    scenario_.settingsText = text;
  }

  void settingsFile(const std::vector<std::string>& w, int line) {
    expectCount(w, 2, line, "settings-file PATH");
    if (scenario_.settingsText) throw Failure{line, "settings given twice"};
    std::filesystem::path path = w[1];
    if (path.is_relative() && !baseFolder_.empty())
      path = std::filesystem::path(baseFolder_) / path;
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    if (!in || std::filesystem::is_directory(path, ec)) {
      throw Failure{line, "cannot read settings file " + path.string()};
    }
    std::ostringstream text;
    text << in.rdbuf();
    scenario_.settingsText = text.str();
  }

  void tickLine(const std::vector<std::string>& w, int line) {
    if (w.size() < 2) throw Failure{line, "expected: tick N or tick A-B, then inputs"};
    sawTick_ = true;
    TickLine tick;
    tick.line = line;
    const size_t dash = w[1].find('-', 1);
    const std::string first = w[1].substr(0, dash);
    tick.first = static_cast<uint64_t>(integerIn(first, 1, kMaxTicks, line, "tick"));
    tick.last =
        dash == std::string::npos
            ? tick.first
            : static_cast<uint64_t>(integerIn(w[1].substr(dash + 1), 1, kMaxTicks, line, "tick"));
    if (tick.last < tick.first) throw Failure{line, "tick range " + w[1] + " runs backwards"};
    if (tick.first <= lastTick_) {
      throw Failure{line, "tick " + std::to_string(tick.first) + " is not after tick " +
                              std::to_string(lastTick_) + " on line " +
                              std::to_string(lastTickLine_) + "; ticks must increase"};
    }
    for (size_t i = 2; i < w.size(); ++i) input(tick, w, i, line);
    lastTick_ = tick.last;
    lastTickLine_ = line;
    scenario_.ticks.push_back(std::move(tick));
  }

  void input(TickLine& tick, const std::vector<std::string>& w, size_t& i, int line) {
    const std::string& word = w[i];
    if (word == "aim-down") {
      tick.aimDown = true;
    } else if (word == "aim-up") {
      tick.aimUp = true;
    } else if (word == "sprint") {
      tick.sprint = true;
    } else if (word == "camera") {
      tick.nextCamera = true;
    } else if (word == "wheel") {
      tick.wheel = true;
    } else if (word == "weapon-fails") {
      tick.weaponQueryFails = true;
    } else if (word == "weapon") {
      tick.weapon = argumentOf(w, i, line);
    } else if (word == "timer") {
      for (const std::string& value : commaList(argumentOf(w, i, line))) {
        tick.timerReads.push_back(timerValue(value, line));
      }
    } else if (word == "key") {
      keyEvent(tick, argumentOf(w, i, line), line);
    } else {
      throw Failure{line, "unknown input " + quoted(word)};
    }
  }

  void keyEvent(const TickLine& tick, const std::string& text, int line) {
    const std::vector<std::string> parts = commaList(text);
    if (parts.size() != 1 && parts.size() != 7) {
      throw Failure{line, "key takes CODE or CODE,A2,A3,A4,A5,A6,A7"};
    }
    KeyEvent event;
    event.line = line;
    event.beforeTick = tick.first;
    event.key = static_cast<uint32_t>(integerIn(parts[0], 0, UINT32_MAX, line, "key code"));
    if (parts.size() == 7) {
      event.arg2 = static_cast<uint16_t>(integerIn(parts[1], 0, UINT16_MAX, line, "key argument"));
      event.arg3 = static_cast<uint8_t>(integerIn(parts[2], 0, UINT8_MAX, line, "key argument"));
      for (size_t k = 0; k < 4; ++k) {
        event.args[k] = static_cast<int32_t>(
            integerIn(parts[3 + k], INT32_MIN, INT32_MAX, line, "key argument"));
      }
    }
    scenario_.keyEvents.push_back(event);
  }

  Scenario& scenario_;
  std::string baseFolder_;
  bool sawTick_ = false;
  uint64_t lastTick_ = 0;
  int lastTickLine_ = 0;
  uint64_t minimumTicks_ = 0;
};

}  // namespace

std::string ScenarioError::text() const {
  if (line <= 0) return file + ": " + message;
  return file + ":" + std::to_string(line) + ": " + message;
}

bool parseScenario(const std::string& text, const std::string& name, const std::string& baseFolder,
                   Scenario& scenario, ScenarioError& error) {
  scenario = Scenario{};
  scenario.name = name;
  Parser parser(scenario, baseFolder);
  // cppcheck-suppress variableScope ; the catch below names the line reached
  int lineNumber = 0;
  try {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      ++lineNumber;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      // Editors on Windows may start a UTF-8 file with a byte order mark.
      if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
      const std::vector<std::string> w = words(line);
      if (!w.empty()) parser.statement(w, lineNumber);
    }
    parser.finish();
    if (scenario.tickCount == 0) throw Failure{lineNumber, "no ticks to run"};
  } catch (const Failure& failure) {
    error = ScenarioError{name, failure.line, failure.message};
    return false;
  }
  return true;
}

bool loadScenarioFile(const std::string& path, Scenario& scenario, ScenarioError& error) {
  std::error_code ec;
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path, ec)) {
    error = ScenarioError{path, 0, "cannot read scenario file"};
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return parseScenario(text.str(), path, folder, scenario, error);
}

const char* demoScenarioText() {
  return R"(# Built-in demo: a tap turns the latch on, a sprint holds aim off, the camera cancels.
settings ShortPress=50 LongPress=100 HoldADS=0
clock 1000 16
tick 1-2
tick 3 aim-down
tick 7 aim-up
tick 8-9
tick 10-11 sprint
tick 12-13
tick 14 camera
tick 15-16
)";
}

}  // namespace cli
