// A settings file as the profile reader sees it (code units after any byte-order mark), with
// what a player needs to be shown of it: editor line numbers, the text as written, and the names
// a player probably meant: "ShortPres" for ShortPress, "[Setings]" for [Settings].
#pragma once

#include <cstddef>
#include <string>

#include "profile/profile_reader.h"

namespace cli {

class SettingsText {
 public:
  using Units = profile::UnitText<profile::MemoryBytes>;

  // The bytes are kept, so that a temporary may be passed.
  explicit SettingsText(std::string bytes);
  SettingsText(const SettingsText&) = delete;
  SettingsText& operator=(const SettingsText&) = delete;

  const Units& units() const { return units_; }

  // The units as written in the file, escaped and cut for a one-line message.
  std::string shown(profile::UnitRange range, size_t maxCharacters = 40) const;
  // A name folded to lower-case ASCII up to its first NUL, as the reader compares names; any
  // other character becomes one byte that matches no ASCII letter.
  std::string folded(profile::UnitRange range) const;

  // The number an editor shows for the line that starts at unit begin.
  int lineAt(size_t begin) const {
    int at = 0;
    scanLines([&](const profile::ProfileLine& line, int number) {
      at = number;
      return line.whole.begin < begin;
    });
    return at;
  }

  // Calls visit(line, number) for each line as the reader sees it, until it returns false, with
  // the line an editor shows it on: LF, CR LF and a lone CR each end one, where the reader sees
  // CR LF as two lines.
  template <typename Visitor>
  void scanLines(Visitor&& visit) const {
    int number = 1;
    profile::scanLines(units_, [&](const profile::ProfileLine& line) {
      const size_t begin = line.whole.begin;
      // Each line end starts a line, but for the empty one the reader sees between CR and LF.
      if (begin > 0 && (units_[begin - 1] == '\n' || units_[begin] != '\n')) ++number;
      return visit(line, number);
    });
  }

 private:
  const std::string bytes_;
  profile::MemoryBytes memory_;
  Units units_;
};

// Whether a name folded to lower case is a near miss of known: close to it, but not it: a few
// insertions, deletions, changes and swaps of neighbours away.
bool closeTo(const std::string& folded, const char* known);

}  // namespace cli
