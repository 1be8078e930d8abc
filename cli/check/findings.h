// What a check found and what it means for the plugin: the words both programs share, from the
// explainer of a settings file to the report a player reads.
#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "toggle/settings_file.h"

namespace cli {

// note: how things are; warning: the plugin may not do what the player meant; problem: it will
// not work here at all. Warnings and problems alike make the check's status 1.
enum class Severity { note, warning, problem };

struct Finding {
  Severity severity = Severity::note;
  std::string text;  // "subject: what and why", one line
  // What to do, as a sentence. A finding with one leads the report, as a paragraph that starts
  // with it; the others are the details that follow.
  std::string fix = "";
};

// What a check found, in the order to show them, and what it means for the plugin.
struct CheckReport {
  std::string heading;  // the line before all else: the game folder; empty for a file alone
  std::vector<Finding> findings;
  size_t unshownWarnings = 0;  // the warnings among findings left out
  // What the plugin will read: this machine's reader's values where it could be asked, else the
  // model's.
  ToggleSettings settings = settings_file::kDefaults;
  // For a settings file or game folder checked (game_folder_check.h): the settings file, and why
  // writing it would not change what the plugin reads, if it would not: the file the player
  // meant is elsewhere, or a look-alike of it is about, or the folder is not the game's.
  std::filesystem::path settingsPath;
  std::string notWhereRead;
  std::string subject;     // the settings file, as the verdict names it
  std::string whenWarned;  // ... and what warnings about it mean

  size_t warnings() const {  // problems too
    return unshownWarnings + count([](Severity s) { return s != Severity::note; });
  }
  size_t problems() const {
    return count([](Severity s) { return s == Severity::problem; });
  }

 private:
  template <typename Predicate>
  size_t count(Predicate&& predicate) const {
    return static_cast<size_t>(std::count_if(
        findings.begin(), findings.end(), [&](const Finding& f) { return predicate(f.severity); }));
  }
};

}  // namespace cli
