#include "cli/check/settings_writer.h"

#include <algorithm>

#include "cli/check/file_replace.h"
#include "cli/check/machine.h"
#include "cli/check/settings_text.h"
#include "common/console.h"
#include "common/settings_values.h"
#include "profile/profile_reader.h"

namespace cli {
namespace {

namespace fs = std::filesystem;
using Units = SettingsText::Units;

// Text put in at a unit of the file, or put in place of a range of units.
struct Change {
  profile::UnitRange range;  // empty: an insertion at range.begin
  std::string ascii;
  bool appended = false;  // the lines added at the section's end: after a value put in there
};

// The first line end the file uses, for the lines added: Notepad's CR LF in a file with none.
std::string lineEndOf(const Units& units) {
  for (size_t i = 0; i < units.size(); ++i) {
    if (units[i] == '\n') return "\n";
    if (units[i] == '\r') return i + 1 < units.size() && units[i + 1] == '\n' ? "\r\n" : "\r";
  }
  return "\r\n";
}

// What of a value to put the number in place of: the number the reader reads, with its sign and
// prefix, so that "70ms ; mine" becomes "60ms ; mine"; or, wholeValues, all of it.
profile::UnitRange numberIn(const Units& units, const profile::ProfileLine& line,
                            bool wholeValues) {
  const profile::UnitRange copied = profile::copiedValue(units, line.value);
  const profile::IntegerScan scan = profile::scanInteger(units, copied);
  if (wholeValues || scan.end == scan.digitsBegin) return line.value;
  return {copied.begin, scan.end};
}

// Where the reader finds each key: the first section named Settings, and the first entry of the
// key in it. Keys it lacks are added after the section's last line that is not blank.
std::vector<Change> changesFor(const Units& units, const std::vector<SettingValue>& values,
                               bool wholeValues) {
  const std::string lineEnd = lineEndOf(units);
  std::vector<bool> found(values.size());
  std::vector<Change> changes;
  size_t sectionEnd = 0;  // after the section's last line that is not blank, its header at least
  const auto visit = [&](const profile::ProfileLine& line) {
    if (line.kind != profile::LineKind::blank) sectionEnd = line.whole.end;
    for (size_t k = 0; k < values.size(); ++k) {
      if (found[k] || line.kind != profile::LineKind::entry ||
          !profile::nameEquals(units, line.name, profile::askedName(values[k].key->name))) {
        continue;
      }
      found[k] = true;
      const std::string number = std::to_string(values[k].value);
      changes.push_back(line.hasValue ? Change{numberIn(units, line, wholeValues), number}
                                      : Change{{line.name.end, line.name.end}, "=" + number});
    }
    return true;
  };
  const bool sectionSeen =
      profile::scanSection(units, profile::askedName(settings_file::kSection), visit);
  std::string added;
  for (size_t k = 0; k < values.size(); ++k) {
    if (!found[k]) added += lineEnd + common::settingLine(*values[k].key, values[k].value);
  }
  if (added.empty()) return changes;
  if (!sectionSeen) {
    const bool endsLine =
        units.size() > 0 && (units[units.size() - 1] == '\n' || units[units.size() - 1] == '\r');
    const std::string before = units.size() == 0 || endsLine ? "" : lineEnd;
    changes.push_back({{units.size(), units.size()},
                       before + "[" + settings_file::kSection + "]" + added + lineEnd,
                       true});
  } else {
    changes.push_back({{sectionEnd, sectionEnd}, added, true});
  }
  return changes;
}

// The changes made to the bytes, from the end backwards so that each change's place is as found.
std::string applied(std::string bytes, size_t mark, bool wide, std::vector<Change> changes) {
  // Two insertions at one place come out in the order opposite to the one they are made in: the
  // lines added after a section's last line go in before a value put in at that line's end.
  std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) {
    return a.range.begin != b.range.begin ? a.range.begin > b.range.begin
                                          : a.appended && !b.appended;
  });
  const size_t unitBytes = wide ? 2 : 1;
  for (const Change& change : changes) {
    std::string encoded;
    for (const char c : change.ascii) {
      encoded += c;
      if (wide) encoded += '\0';
    }
    bytes.replace(mark + change.range.begin * unitBytes,
                  (change.range.end - change.range.begin) * unitBytes, encoded);
  }
  return bytes;
}

// The name the old file is kept under: Kestova.ini.bak, or Kestova.ini.2.bak and on when that is
// taken. Not a look-alike of Kestova.ini: the check knows it for a backup.
fs::path backupPath(const fs::path& settingsFile) {
  std::error_code ec;
  int n = 1;
  while (fs::exists(numberedPath(settingsFile, n, ".bak"), ec) && n < 1000) ++n;
  return numberedPath(settingsFile, n, ".bak");
}

// Why a file is left as it is, in the same words on every system.
const char* refusal(Standing standing) {
  switch (standing) {
    case Standing::none:
    case Standing::file:
      return nullptr;
    case Standing::readOnly:
      return "is read-only, so it is left as it is";
    case Standing::notAFile:
      return "is not a plain file (a folder?), so it is left as it is";
    case Standing::hardLinked:
      return "has other names (hard links), which a new file would not keep, so it is left as it "
             "is";
    case Standing::link:
      // Only Windows says so (Linux follows a symbolic link to the file it names): a rename there
      // replaces the link itself, which would be gone, and the file it names keep its old values.
      return "is a link (a symbolic link or a junction), which a new file would replace instead "
             "of the file it names, so it is left as it is";
    case Standing::brokenLink:
      return "is a link to nothing that can be read, so it is left as it is";
  }
  return nullptr;
}

constexpr char kUnchanged[] = "; the old file is as it was";
constexpr char kMayChange[] = "; make sure you may change files in its folder, and try again";

// Empty when the system's reader reads the values as written from the new file, or there is no
// such reader; else what it reads instead.
std::string disagreementOf(const std::optional<SystemReading>& system,
                           const std::vector<SettingValue>& values) {
  if (!system || readsAsSet(system->settings, values)) return "";
  return "would not read as written: " + system->name + "'s own reader, the plugin's, reads " +
         common::settingsText(system->settings) + " from the new file, not the " +
         settingLines(values, " and ") + " written there, so it is left as it is";
}

}  // namespace

bool readsAsSet(const ToggleSettings& reads, const std::vector<SettingValue>& values) {
  return std::all_of(values.begin(), values.end(), [&reads](const SettingValue& value) {
    return reads.*value.key->member == value.value;
  });
}

std::string settingLines(const std::vector<SettingValue>& values, const char* between) {
  std::string text;
  for (const SettingValue& value : values) {
    text += (text.empty() ? "" : between) + common::settingLine(*value.key, value.value);
  }
  return text;
}

common::Result<std::string> editSettings(const std::optional<std::string>& fileBytes,
                                         const std::vector<SettingValue>& values,
                                         bool dropUtf8Mark) {
  const std::string bytes = fileBytes.value_or("");
  const SettingsText text(bytes);
  const Units& units = text.units();
  const bool wide = profile::isWide(units.encoding());
  if (units.encoding() == profile::TextEncoding::utf16be) {
    return common::Error("it is saved as UTF-16 big-endian, which Windows does not read");
  }
  if (wide && bytes.size() % 2 != 0) {
    return common::Error("it is saved as UTF-16 with an odd number of bytes: its end is cut");
  }
  const size_t mark = bytes.size() - units.size() * (wide ? 2 : 1);
  if (units.encoding() == profile::TextEncoding::utf8 && !dropUtf8Mark) {
    return common::Error("it starts with a UTF-8 byte-order mark, which Windows misreads");
  }
  // The number alone where that reads as meant; else whole values, as a "29 characters" value
  // needs; else the file cannot be changed faithfully.
  for (const bool wholeValues : {false, true}) {
    std::string changed = applied(bytes, mark, wide, changesFor(units, values, wholeValues));
    if (units.encoding() == profile::TextEncoding::utf8) changed.erase(0, mark);
    // What the project's model reads from the result, as the check will read it back.
    if (readsAsSet(common::readSettings(changed), values)) return changed;
  }
  return common::Error("the reader would not read the values from it after the change");
}

common::Result<fs::path> replaceSettingsFile(const fs::path& path, const std::string& bytes,
                                             const std::vector<SettingValue>& values,
                                             Machine& machine) {
  const common::Result<ReplaceTarget> target = lookAtTarget(path);
  if (!target) {
    return common::Error("cannot be replaced: " + target.error().message + kMayChange + kUnchanged);
  }
  if (const char* why = refusal(target->standing)) return common::Error(why);
  const fs::path& file = target->file;
  const common::Result<fs::path> fresh = writeNewFile(file, bytes);
  if (!fresh) {
    return common::Error("cannot be replaced: " + fresh.error().message + kMayChange + kUnchanged);
  }
  std::error_code ec;
  // The system's own reader, where there is one, has the last word: it is the plugin's.
  if (const std::string disagreement = disagreementOf(machine.readSettings(*fresh), values);
      !disagreement.empty()) {
    fs::remove(*fresh, ec);
    return common::Error(disagreement);
  }
  fs::path backup;
  if (target->standing != Standing::none) {
    backup = backupPath(file);
    if (!fs::copy_file(file, backup, ec)) {
      fs::remove(*fresh, ec);
      return common::Error("cannot keep the old file as " +
                           common::utf8FromPath(backup.filename()) + " (" + ec.message() + ")" +
                           kMayChange + kUnchanged);
    }
  }
  if (const common::Status replaced = putInPlace(*fresh, file); !replaced) {
    if (!backup.empty()) fs::remove(backup, ec);
    return common::Error("cannot be replaced: " + replaced.error().message + kUnchanged);
  }
  return backup;
}

}  // namespace cli
