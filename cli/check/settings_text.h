// A settings file as the profile reader sees it (code units after any byte-order mark), with
// what a player needs to be shown of it: editor line numbers and the text as written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "profile/profile_reader.h"

namespace cli {

class SettingsText {
 public:
  using Units = profile::UnitText<profile::MemoryBytes>;

  explicit SettingsText(const std::string& bytes);
  SettingsText(const SettingsText&) = delete;
  SettingsText& operator=(const SettingsText&) = delete;

  const Units& units() const { return units_; }

  // The units as written in the file, escaped and cut for a one-line message.
  std::string shown(profile::UnitRange range, size_t maxCharacters = 40) const;
  // A name folded to lower-case ASCII up to its first NUL, as the reader compares names; any
  // other character becomes one byte that matches no ASCII letter.
  std::string folded(profile::UnitRange range) const;
  // The reader's name comparison, for a name asked for with no blanks around it.
  bool named(profile::UnitRange range, const char* ascii) const;

  // The line an editor shows for a unit: LF, CR LF and a lone CR each end a line. Asked for
  // units in increasing order, it counts each unit once.
  int lineAt(size_t unit);

 private:
  const std::string& bytes_;
  profile::MemoryBytes memory_;
  Units units_;
  size_t countedTo_ = 0;
  int line_ = 1;
};

}  // namespace cli
