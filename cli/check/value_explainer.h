// Why a setting's value reads as the number it does, in a player's words: "70ms" reads 70,
// "0X10" reads 0, "4294967297" reads 1.
#pragma once

#include <string>

#include "cli/check/settings_explainer.h"
#include "cli/check/settings_text.h"

namespace cli {

struct ValueReading {
  Severity severity = Severity::note;
  std::string details;  // empty when the value reads just as it looks

  // One more detail; a warning makes the whole reading one.
  void add(Severity detail, const std::string& text);
};

// value: an entry's trimmed value, which the reader copies to something non-empty.
ValueReading explainValue(const SettingsText& text, profile::UnitRange value, const char* key);

}  // namespace cli
