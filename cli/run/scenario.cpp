#include "cli/run/scenario.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/console.h"
#include "common/display_text.h"
#include "common/settings_values.h"
#include "toggle/settings_file.h"

namespace cli {
namespace {

using common::Error;
using common::Result;

// A mistake in the scenario, thrown where it is found; the parse names its line and file.
[[noreturn]] void fail(std::string message) {
  throw Error(std::move(message));
}

// A word of the scenario as a message shows it, so that a binary file or a runaway line gives a
// readable one-line message.
std::string quoted(const std::string& word) {
  return "'" + common::displayText(word) + "'";
}

// A whole-word integer: decimal with an optional minus sign, or 0x hex.
std::optional<int64_t> parseInteger(std::string_view digits) {
  const bool negative = digits.starts_with('-');
  if (negative) digits.remove_prefix(1);
  const bool hex = digits.size() > 2 && (digits.starts_with("0x") || digits.starts_with("0X"));
  if (hex) digits.remove_prefix(2);
  uint64_t value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, hex ? 16 : 10);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
      value > (uint64_t{1} << 40)) {
    return std::nullopt;
  }
  return negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
}

template <typename T = int64_t>
T integerIn(const std::string& text, int64_t low, int64_t high, const char* what) {
  const std::optional<int64_t> value = parseInteger(text);
  if (!value || *value < low || *value > high) {
    fail("bad " + std::string(what) + " " + quoted(text) + " (expected an integer from " +
         std::to_string(low) + " to " + std::to_string(high) + ")");
  }
  return static_cast<T>(*value);
}

void expectCount(const std::vector<std::string>& w, size_t count, const char* usage) {
  if (w.size() != count) fail(std::string("expected: ") + usage);
}

class Parser {
 public:
  Parser(Scenario& scenario, std::filesystem::path baseFolder)
      : scenario_(scenario), baseFolder_(std::move(baseFolder)) {}

  void statement(const std::vector<std::string>& w, int line) {
    line_ = line;
    const std::string& keyword = w[0];
    if (keyword == "tick") return tickLine(w);
    // Only a lower bound on the run's length, so it may stand anywhere, also after the ticks.
    if (keyword == "ticks") {
      expectCount(w, 2, "ticks N");
      minimumTicks_ = integerIn<uint64_t>(w[1], 1, kMaxTicks, "tick count");
      return;
    }
    if (!scenario_.ticks.empty()) fail(quoted(keyword) + " must come before the first tick line");
    if (keyword == "settings") {
      settings(w);
    } else if (keyword == "settings-file") {
      settingsFile(w);
    } else if (keyword == "clock") {
      expectCount(w, 3, "clock START STEP");
      scenario_.clockStart = timerValue(w[1]);
      scenario_.clockStep = timerValue(w[2]);
    } else if (keyword == "junk") {
      expectCount(w, 2, "junk on|off");
      if (w[1] != "on" && w[1] != "off") fail("junk takes 'on' or 'off'");
      scenario_.host.junkResults = w[1] == "on";
    } else if (keyword == "seed") {
      expectCount(w, 2, "seed N");
      scenario_.host.seed = integerIn<uint64_t>(w[1], 0, INT64_C(1) << 40, "seed");
    } else if (keyword == "weapon") {
      expectCount(w, 2, "weapon NAME");
      scenario_.weapon = w[1];
    } else {
      fail("unknown word " + quoted(keyword));
    }
  }

  void finish() { scenario_.tickCount = std::max(lastTick(), minimumTicks_); }

 private:
  uint64_t lastTick() const { return scenario_.ticks.empty() ? 0 : scenario_.ticks.back().last; }

  // A timer value: any 32 bits, written signed or unsigned.
  uint32_t timerValue(const std::string& text) {
    const auto value = integerIn(text, INT32_MIN, UINT32_MAX, "timer value");
    if (value < 0) scenario_.signedTimers = true;
    return static_cast<uint32_t>(value);
  }

  void settings(const std::vector<std::string>& w) {
    if (scenario_.settingsText) fail("settings given twice");
    std::string text = std::string("[") + settings_file::kSection + "]\n";
    for (size_t i = 1; i < w.size(); ++i) {
      const size_t equals = w[i].find('=');
      const std::string key = w[i].substr(0, equals);
      if (std::ranges::find(settings_file::kKeys, key, &settings_file::Key::name) ==
          std::end(settings_file::kKeys)) {
        fail("unknown setting " + quoted(key) + " (expected " + common::keyNames(" or ", "=N") +
             ")");
      }
      if (equals == std::string::npos) fail(quoted(key) + " needs =N");
      const std::string value = w[i].substr(equals + 1);
      integerIn(value, INT32_MIN, UINT32_MAX, "setting value");
      text.append(key).append("=").append(value).append("\n");
    }
    scenario_.settingsText = text;
  }

  void settingsFile(const std::vector<std::string>& w) {
    expectCount(w, 2, "settings-file PATH");
    if (scenario_.settingsText) fail("settings given twice");
    // Relative to the scenario's folder: joined to it, an absolute path stays as it is.
    const std::filesystem::path path = baseFolder_ / common::pathFromUtf8(w[1]);
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    if (!in || std::filesystem::is_directory(path, ec)) {
      fail("cannot read settings file " + common::utf8FromPath(path));
    }
    std::ostringstream text;
    text << in.rdbuf();
    scenario_.settingsText = text.str();
  }

  void tickLine(const std::vector<std::string>& w) {
    if (w.size() < 2) fail("expected: tick N or tick A-B, then inputs");
    TickLine tick;
    tick.line = line_;
    const size_t dash = w[1].find('-', 1);
    tick.first = tick.last = integerIn<uint64_t>(w[1].substr(0, dash), 1, kMaxTicks, "tick");
    if (dash != std::string::npos) {
      tick.last = integerIn<uint64_t>(w[1].substr(dash + 1), 1, kMaxTicks, "tick");
    }
    if (tick.last < tick.first) fail("tick range " + w[1] + " runs backwards");
    if (tick.first <= lastTick()) {
      fail("tick " + std::to_string(tick.first) + " is not after tick " +
           std::to_string(lastTick()) + " on line " + std::to_string(scenario_.ticks.back().line) +
           "; ticks must increase");
    }
    for (size_t i = 2; i < w.size(); ++i) input(tick, w, i);
    scenario_.ticks.push_back(std::move(tick));
  }

  void input(TickLine& tick, const std::vector<std::string>& w, size_t& i) {
    const std::string& word = w[i];
    const auto flag = std::ranges::find(kInputFlags, word, &InputFlag::word);
    if (flag != std::end(kInputFlags)) {
      tick.inputs.*flag->member = true;
      return;
    }
    if (word != "weapon" && word != "timer" && word != "key") fail("unknown input " + quoted(word));
    if (i + 1 == w.size()) fail(quoted(word) + " needs a value");
    const std::string& argument = w[++i];
    if (word == "weapon") {
      tick.inputs.weapon = argument;
      tick.weaponGiven = true;
    } else if (word == "key") {
      keyEvent(tick, argument);
    } else {
      for (const std::string& value : common::split(argument, ',')) {
        tick.inputs.timerReads.push_back(timerValue(value));
      }
    }
  }

  void keyEvent(TickLine& tick, const std::string& text) {
    const std::vector<std::string> parts = common::split(text, ',');
    if (parts.size() != 1 && parts.size() != 7) fail("key takes CODE or CODE,A2,A3,A4,A5,A6,A7");
    // Each part's range, as the host's keyboard callback takes it.
    constexpr int64_t kLow[] = {0, 0, 0, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN};
    constexpr int64_t kHigh[] = {UINT32_MAX, UINT16_MAX, UINT8_MAX, INT32_MAX,
                                 INT32_MAX,  INT32_MAX,  INT32_MAX};
    int64_t values[7] = {};
    for (size_t k = 0; k < parts.size(); ++k) {
      values[k] = integerIn(parts[k], kLow[k], kHigh[k], k == 0 ? "key code" : "key argument");
    }
    KeyEvent event;
    event.key = static_cast<uint32_t>(values[0]);
    event.arg2 = static_cast<uint16_t>(values[1]);
    event.arg3 = static_cast<uint8_t>(values[2]);
    for (size_t k = 0; k < 4; ++k) event.args[k] = static_cast<int32_t>(values[3 + k]);
    tick.keys.push_back(event);
  }

  Scenario& scenario_;
  std::filesystem::path baseFolder_;
  int line_ = 0;
  uint64_t minimumTicks_ = 0;
};

}  // namespace

Result<Scenario> parseScenario(const std::string& text, const std::string& name,
                               const std::filesystem::path& baseFolder) {
  Scenario scenario;
  scenario.name = name;
  Parser parser(scenario, baseFolder);
  int lineNumber = 0;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    ++lineNumber;
    // Editors on Windows may start a UTF-8 file with a byte order mark, and end each line with
    // a CR, which is white space between words like any other.
    if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    std::istringstream words(line.substr(0, line.find('#')));
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    try {
      parser.statement(w, lineNumber);
    } catch (const Error& mistake) {
      return Error(mistake.message, name, lineNumber);
    }
  }
  parser.finish();
  if (scenario.tickCount == 0) return Error("no ticks to run", name, lineNumber);
  return scenario;
}

}  // namespace cli
