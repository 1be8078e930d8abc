#include "cli/check/value_explainer.h"

#include <cstring>

#include "toggle/settings_file.h"

namespace cli {
namespace {

const char* baseName(uint32_t base) {
  return base == 16 ? "hexadecimal" : base == 8 ? "octal" : "binary";
}

bool isQuote(uint32_t unit) {
  return unit == '"' || unit == '\'';
}

// Words a player may write for "on", which read 0 like any other word.
bool looksLikeYes(const std::string& folded) {
  for (const char* word : {"true", "yes", "on", "enabled", "enable", "hold"}) {
    if (folded == word) return true;
  }
  return false;
}

// The number the digits make past 32 bits, or as signed 32 bits, is not the one written.
void explainRange(const profile::IntegerScan& scan, ValueReading& reading) {
  const auto value = static_cast<int32_t>(scan.value);
  if (scan.overflowed) {
    reading.add(Severity::warning, "it is too large for 32 bits and wraps around");
  } else if (!scan.negative && value < 0) {
    reading.add(Severity::warning,
                "the plugin takes 32 bits as a signed number: from 2147483648 up it wraps "
                "around to negative");
  } else if (scan.negative && value > 0) {
    reading.add(Severity::warning, "below -2147483648 a number wraps around to positive");
  }
}

// What follows the number inside the copied value.
void explainRest(const SettingsText& text, const profile::IntegerScan& scan,
                 profile::UnitRange copied, ValueReading& reading) {
  const SettingsText::Units& units = text.units();
  const uint32_t next = units[scan.end];
  const uint32_t after = scan.end + 1 < copied.end ? units[scan.end + 1] : 0;
  const bool onlyZero = scan.end == scan.digitsBegin + 1 && units[scan.digitsBegin] == '0';
  const std::string stop = text.shown({scan.end, scan.end + 1});
  if (onlyZero && scan.base == 10 && (next == 'X' || next == 'O' || next == 'B')) {
    reading.add(Severity::warning,
                "only a lower-case 0x, 0o or 0b starts a hexadecimal, octal or binary number, "
                "so it reads 0");
  } else if ((next == '.' || next == ',') && profile::digitValue(after) < 10) {
    reading.add(Severity::warning,
                "only whole numbers are read: the number stops at \"" + stop + "\"");
  } else if (profile::digitValue(next) < 10) {
    reading.add(Severity::warning, "the number stops at \"" + stop + "\", which is no " +
                                       baseName(scan.base) + " digit");
  } else if ((next == 'e' || next == 'E') && profile::digitValue(after) < 10 && scan.base == 10) {
    reading.add(Severity::warning, "the number stops at \"" + stop + "\"");
  } else {
    const profile::UnitRange rest = profile::trimmed(units, {scan.end, copied.end});
    reading.add(Severity::note, "the rest, \"" + text.shown(rest, 24) + "\", is not read");
  }
}

}  // namespace

void ValueReading::add(Severity detail, const std::string& text) {
  if (detail == Severity::warning) severity = Severity::warning;
  details += (details.empty() ? "" : "; ") + text;
}

ValueReading explainValue(const SettingsText& text, profile::UnitRange value, const char* key) {
  const SettingsText::Units& units = text.units();
  ValueReading reading;
  const profile::UnitRange beforeNul = profile::untilNul(units, value);
  const profile::UnitRange copied = profile::copiedValue(units, value);
  const profile::IntegerScan scan = profile::scanInteger(units, copied);
  const bool quotesRemoved = copied.begin > beforeNul.begin;
  const bool unmatchedQuote = !quotesRemoved && isQuote(units[beforeNul.begin]);
  const size_t contentEnd = quotesRemoved ? beforeNul.end - 1 : beforeNul.end;

  if (beforeNul.end < value.end) {
    reading.add(Severity::warning, "the reader stops at the NUL character in it");
  }
  if (quotesRemoved) reading.add(Severity::note, "its quotes are removed");
  if (scan.end == scan.digitsBegin) {
    if (scan.base != 10) {
      reading.add(Severity::warning, std::string("no ") + baseName(scan.base) +
                                         " digits follow its prefix, so it reads 0");
    } else if (unmatchedQuote) {
      reading.add(Severity::warning,
                  "a quote with no matching closing quote stays in the value, which then does "
                  "not start with a number and reads 0");
    } else {
      const bool hold = std::strcmp(key, settings_file::kHoldAds.name) == 0;
      const bool yes = looksLikeYes(text.folded(copied));
      reading.add(Severity::warning,
                  std::string("it does not start with a number, so it reads 0") +
                      (hold && yes ? " (forced mode); write 1 for hold mode" : ""));
    }
    return reading;
  }
  if (scan.base != 10) {
    reading.add(Severity::note, std::string("0") + static_cast<char>(units[scan.digitsBegin - 1]) +
                                    " makes it " + (scan.base == 8 ? "an " : "a ") +
                                    baseName(scan.base) + " number");
  }
  explainRange(scan, reading);
  if (scan.end < copied.end) {
    explainRest(text, scan, copied, reading);
  } else if (copied.end < contentEnd && profile::digitValue(units[copied.end]) < scan.base) {
    reading.add(Severity::warning, "only its first " + std::to_string(copied.end - copied.begin) +
                                       " characters are read");
  }
  return reading;
}

}  // namespace cli
