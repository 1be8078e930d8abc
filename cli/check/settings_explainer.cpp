#include "cli/check/settings_explainer.h"

#include "cli/check/frames.h"
#include "cli/check/reader_findings.h"
#include "cli/check/settings_text.h"
#include "cli/check/value_explainer.h"
#include "common/display_text.h"
#include "common/settings_values.h"
#include "toggle/settings_file.h"
#include "toggle/tap_rule.h"

namespace cli {
namespace {

using SettingKey = settings_file::Key;
using settings_file::kKeyCount;
using settings_file::kKeys;
using settings_file::kSection;

// Enough to show what is wrong with a file; a binary file would otherwise give thousands.
constexpr size_t kMaxLineFindings = 50;

const SettingKey* closeKey(const std::string& folded) {
  for (const SettingKey& key : kKeys) {
    if (closeTo(folded, key.name)) return &key;
  }
  return nullptr;
}

std::string lineText(int line) {
  return "line " + std::to_string(line);
}

// A key's first entry in [Settings], the one the reader reads.
struct KeyUse {
  std::optional<profile::ProfileLine> entry;  // none: the reader finds no such key
  int line = 0;
};

// The file as the reader sees it, found with the reader's own scanSection: the first [Settings]
// and each key's first entry there. Then every line, with the number an editor shows, saying
// what the reader never looks at.
class Walk {
 public:
  explicit Walk(std::string bytes) : text_(std::move(bytes)) {
    const bool seen = profile::scanSection(
        text_.units(), profile::askedName(kSection), [&](const profile::ProfileLine& line) {
          if (!header_) header_ = line.whole.begin;  // the first line it shows is the header
          const size_t key = keyOf(line);
          if (key < kKeyCount && !uses_[key].entry) uses_[key].entry = line;
          return true;
        });
    if (seen) settingsLine_ = text_.lineAt(*header_);
    place_ = settingsLine_ > 0
                 ? "before any section; move it below [Settings] on " + lineText(settingsLine_)
                 : "before any section; put a line [Settings] above it";
    text_.scanLines([&](const profile::ProfileLine& line, int number) {
      visit(line, number);
      return true;
    });
  }

  // What the file as a whole, each key (model: as the model reads it) and each line say.
  void addFindings(const ToggleSettings& model, CheckReport& report) {
    if (!sawAnyLine_) {
      report.findings.push_back(
          {Severity::warning, "The file is empty, so the plugin uses its defaults (not saved?).",
           "Save your settings into it, or copy Kestova.ini here again from the Kestova zip."});
    } else if (settingsLine_ == 0 && sawContent_) {
      report.findings.push_back(
          {Severity::warning,
           "The file has no [Settings] section, so the plugin uses its defaults.",
           "Put a line [Settings] above your settings."});
    }
    for (size_t key = 0; key < kKeyCount; ++key) {
      report.findings.push_back(keyFinding(key, model.*kKeys[key].member));
    }
    report.findings.insert(report.findings.end(), lineFindings_.begin(), lineFindings_.end());
    if (unshownFindings_ > 0) {
      report.findings.push_back(
          {Severity::note, "lines: " + common::counted(unshownFindings_, "more finding") +
                               " like these " + (unshownFindings_ == 1 ? "is" : "are") +
                               " not shown."});
    }
    report.unshownWarnings = unshownWarnings_;
  }

 private:
  // The reader's own name comparison, for a name asked for as the plugin asks for it.
  bool named(profile::UnitRange name, const char* asked) const {
    return profile::nameEquals(text_.units(), name, profile::askedName(asked));
  }

  // Which of the keys an entry is, or kKeyCount.
  size_t keyOf(const profile::ProfileLine& line) const {
    if (line.kind != profile::LineKind::entry) return kKeyCount;
    size_t key = 0;
    while (key < kKeyCount && !named(line.name, kKeys[key].name)) ++key;
    return key;
  }

  void visit(const profile::ProfileLine& line, int number) {
    using profile::LineKind;
    if (line.kind == LineKind::blank) return;
    sawAnyLine_ = true;
    const profile::UnitRange body = profile::trimmed(text_.units(), line.whole);
    const uint32_t first = text_.units()[body.begin];
    // A ";" line is at most a key no one asks for, as good as the comment its writer meant.
    if (first == ';') return;
    sawContent_ = true;
    if (line.kind == LineKind::section) return section(line, number);
    if (first == '[') {
      const std::string inside =
          text_.folded(profile::trimmed(text_.units(), {body.begin + 1, body.end}));
      const bool meantSettings = inside == "settings" || closeTo(inside, kSection);
      add(Severity::warning, lineText(number) + ": \"" + text_.shown(body) +
                                 "\" has no closing \"]\", so the reader does not take it for a "
                                 "section" +
                                 (meantSettings ? "; write [Settings]" : ""));
      return;
    }
    if (first == '#') {
      add(Severity::note,
          lineText(number) +
              ": \"#\" starts no comment for this reader; the line reads as a key that nothing "
              "asks for, so it has no effect all the same");
      return;
    }
    if (line.kind != LineKind::entry) return;
    const std::string name = "\"" + text_.shown(line.name) + "\"";
    const size_t known = keyOf(line);
    const SettingKey* close = known == kKeyCount ? closeKey(text_.folded(line.name)) : nullptr;
    if (place_.empty()) {
      if (known < kKeyCount && uses_[known].entry->whole.begin == line.whole.begin) {
        uses_[known].line = number;
      } else if (known < kKeyCount) {
        add(Severity::warning, lineText(number) + ": " + kKeys[known].name +
                                   " again; only the first one, on " + lineText(uses_[known].line) +
                                   ", is read");
      } else if (close != nullptr) {
        add(Severity::warning, lineText(number) + ": " + name +
                                   " is not a key the plugin reads; did you mean " + close->name +
                                   "?");
      } else {
        add(Severity::note, lineText(number) + ": " + name +
                                " is not a key the plugin reads (it reads " + common::keyNames() +
                                ")");
      }
    } else if (known < kKeyCount) {
      add(Severity::warning,
          lineText(number) + ": " + kKeys[known].name + " here is never read: it is " + place_);
    } else if (close != nullptr) {
      add(Severity::warning, lineText(number) + ": " + name + " is never read: did you mean " +
                                 close->name + "? It is also " + place_);
    }
  }

  void section(const profile::ProfileLine& line, int number) {
    // The first [Settings], as the reader found it, is the one it searches.
    if (line.whole.begin == header_) {
      place_.clear();
      return;
    }
    if (named(line.name, kSection)) {
      place_ = "in a second [Settings] section (" + lineText(number) + "), which is never read";
      add(Severity::warning, lineText(number) +
                                 ": a second [Settings] section; the reader searches only the "
                                 "first one, on " +
                                 lineText(settingsLine_) + ", so nothing in this one is read");
      return;
    }
    const std::string name = text_.shown(line.name);
    place_ = "in section [" + name + "] (" + lineText(number) + "), not in [Settings]";
    if (closeTo(text_.folded(line.name), kSection)) {
      add(Severity::warning, lineText(number) + ": section [" + name +
                                 "] is not [Settings]; did you mean [Settings]?");
    }
  }

  Finding keyFinding(size_t key, int32_t value) const {
    const SettingKey& setting = kKeys[key];
    const KeyUse& use = uses_[key];
    const std::string head = std::string(setting.name) + ": ";
    const std::string byDefault = head + "the default, " + std::to_string(setting.fallback) + " (";
    if (!use.entry) {
      return {Severity::note,
              byDefault +
                  (settingsLine_ == 0 ? std::string("the file has no [Settings] section")
                                      : "[Settings] on " + lineText(settingsLine_) + " has no " +
                                            setting.name + " key") +
                  ")."};
    }
    if (!use.entry->hasValue) {
      return {Severity::warning, byDefault + lineText(use.line) + " has " + setting.name +
                                     " but no \"=\" and value)."};
    }
    const profile::UnitRange copied = profile::copiedValue(text_.units(), use.entry->value);
    if (copied.empty()) {
      const uint32_t first = use.entry->value.empty() ? 0 : text_.units()[use.entry->value.begin];
      const bool quoted = first == '"' || first == '\'';
      return {Severity::warning, byDefault + "the value on " + lineText(use.line) + " is empty" +
                                     (quoted ? " once its quotes are removed" : "") + ")."};
    }
    const ValueReading reading = explainValue(text_, use.entry->value, setting.name);
    const profile::UnitRange body = profile::trimmed(text_.units(), use.entry->whole);
    return {reading.severity, head + "reads " + std::to_string(value) + " from " +
                                  lineText(use.line) + " (" + text_.shown(body, 60) + ")" +
                                  (reading.details.empty() ? "" : ": " + reading.details) + "."};
  }

  void add(Severity severity, std::string text) {
    if (text.back() != '?') text += '.';
    if (lineFindings_.size() < kMaxLineFindings) {
      lineFindings_.push_back({severity, std::move(text)});
    } else {
      ++unshownFindings_;
      if (severity == Severity::warning) ++unshownWarnings_;
    }
  }

  SettingsText text_;
  std::optional<size_t> header_;  // where the first [Settings] starts, as the reader found it
  int settingsLine_ = 0;
  bool sawContent_ = false;
  bool sawAnyLine_ = false;
  // Where the walk is, as a key out of place is said to be; empty in the [Settings] read.
  std::string place_;
  KeyUse uses_[kKeyCount];
  std::vector<Finding> lineFindings_;
  size_t unshownFindings_ = 0;
  size_t unshownWarnings_ = 0;
};

Finding tapWindow(const ToggleSettings& s) {
  const tap_rule::TapWindow window = tap_rule::tapWindow(s);
  const std::string shortText =
      std::string(settings_file::kShortPress.name) + " (" + std::to_string(s.shortPress) + ")";
  const std::string longText =
      std::string(settings_file::kLongPress.name) + " (" + std::to_string(s.longPress) + ")";
  const std::string range = std::to_string(window.first) + " to " + std::to_string(window.last);
  if (window.first > window.last) {
    return {Severity::problem,
            "The tap window is empty: " + shortText + " is not below " + longText +
                ", so no press can ever toggle aim.",
            "Set LongPress above ShortPress."};
  }
  if (window.last < 0) {
    return {Severity::problem,
            "The tap window is empty: " + longText +
                " is not above 0, so no press can toggle aim: a press lasts 0 timer units or more.",
            "Set LongPress above 0."};
  }
  if (window.first <= 0) {
    return {Severity::warning,
            "The tap window takes any short press: " + shortText +
                " is not above 0, so every press shorter than " + std::to_string(s.longPress) +
                " timer units toggles aim, even a press and release within one tick.",
            "Set ShortPress to 1 or more."};
  }
  if (window.last - window.first + 1 < kFastestFrameMs) {
    return {Severity::warning,
            "The tap window is narrow: only presses of " + range + " timer units toggle aim; at " +
                std::to_string(kFrameRates[0]) +
                " frames per second a press is measured in steps of about " +
                std::to_string(kFastestFrameMs) + ", so a tap may be hard to hit.",
            "Set LongPress at least " + std::to_string(kFastestFrameMs) + " above ShortPress."};
  }
  return {Severity::note, "tap window: a press of " + range +
                              " timer units (milliseconds in practice) toggles aim; shorter and "
                              "longer presses aim as usual."};
}

Finding mode(const ToggleSettings& s) {
  const bool hold = s.holdMode != 0;
  return {Severity::note,
          std::string(hold ? "mode: hold" : "mode: forced") + " (HoldADS is " +
              std::to_string(s.holdMode) + "): while the toggle is on, the plugin " +
              (hold ? "tells the game every tick that the aim control is held"
                    : "forces aim on every tick and lets go while you sprint or have no weapon "
                      "in hand") +
              "; the next-camera control turns the toggle off."};
}

}  // namespace

CheckReport checkSettings(const std::optional<std::string>& fileBytes,
                          const std::optional<SystemReading>& system) {
  CheckReport check;
  const ToggleSettings model = common::readSettings(fileBytes);
  check.settings = system ? system->settings : model;
  if (!fileBytes) {
    for (const SettingKey& key : kKeys) {
      check.findings.push_back({Severity::note, std::string(key.name) + ": the default, " +
                                                    std::to_string(key.fallback) +
                                                    " (there is no settings file)."});
    }
  } else {
    check.findings = readerFindings(*fileBytes, system);
    Walk(*fileBytes).addFindings(model, check);
  }
  check.findings.push_back(tapWindow(check.settings));
  check.findings.push_back(mode(check.settings));
  return check;
}

}  // namespace cli
