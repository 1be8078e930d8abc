// Windows' profile reader, unlike Wine's (and so Proton's) and unlike the model in
// profile/profile_reader.h, which both skip it, does not recognise a UTF-8 byte-order mark: it
// reads the file as ANSI text, so the mark's three bytes are characters of line 1 and a
// [Settings] there is not a section header. Windows also does not honour a UTF-16 big-endian
// mark; it does honour UTF-16 little-endian. Both come from one public report of tests on
// Windows 10 21H1: on Windows the checker asks the system's own reader, and says so, and where
// that reader and the model differ the player is told both, the system's value first.
#include "cli/check/reader_findings.h"

#include "common/settings_values.h"
#include "profile/profile_reader.h"

namespace cli {
namespace {

// "ShortPress 50, LongPress 100, HoldADS 0 (its defaults)": what a reader read.
std::string readingText(const ToggleSettings& s) {
  const std::string text = common::settingsText(s);
  return s == settings_file::kDefaults ? text + " (its defaults)" : text;
}

// What the project's model says the plugin reads from these bytes on that kind of system: Wine
// reads a UTF-8 or UTF-16 big-endian mark, Windows does not.
ToggleSettings modelReading(const std::string& bytes, SystemKind kind) {
  const profile::TextEncoding encoding = common::encodingOf(bytes);
  if (kind == SystemKind::wine) return common::readSettings(bytes);
  if (encoding == profile::TextEncoding::utf16be) return settings_file::kDefaults;
  // The mark's bytes as three characters that are no ASCII, which the model reads alike for any
  // such bytes that make no mark.
  if (encoding == profile::TextEncoding::utf8) {
    return common::readSettings("\x80\x80\x80" + bytes.substr(3));
  }
  return common::readSettings(bytes);
}

constexpr char kFix[] = "Save the file as UTF-8 without a byte-order mark, or as UTF-16 LE.";

// What one kind of system reads, and where the checker knows it from.
struct Side {
  ToggleSettings settings;
  std::string source;
};

Side sideOf(const std::string& bytes, SystemKind kind, const std::optional<SystemReading>& system) {
  if (system && system->kind == kind) return {system->settings, "measured here"};
  return {modelReading(bytes, kind), kind == SystemKind::windows
                                         ? "from a public report of tests on Windows 10 21H1, "
                                           "not measured here"
                                         : "from this checker's model of Wine's reader"};
}

std::string sources(const Side& windows, const Side& wine) {
  return " (Windows: " + windows.source + "; Wine: " + wine.source + ".)";
}

std::optional<Finding> encodingFinding(const std::string& bytes,
                                       const std::optional<SystemReading>& system) {
  const profile::TextEncoding encoding = common::encodingOf(bytes);
  const bool wide = profile::isWide(encoding);
  if (wide && bytes.size() % 2 != 0) {
    return Finding{Severity::warning,
                   "The file is saved as UTF-16, but with an odd number of bytes (" +
                       std::to_string(bytes.size()) +
                       "): its last character is cut in half, and the last line may read "
                       "differently from one machine to the next.",
                   kFix};
  }
  if (encoding == profile::TextEncoding::utf16le) {
    return Finding{Severity::note,
                   "file: saved as UTF-16 LE, which Windows, Wine and Proton all read."};
  }
  if (encoding != profile::TextEncoding::utf16be && encoding != profile::TextEncoding::utf8) {
    return std::nullopt;
  }
  const Side windows = sideOf(bytes, SystemKind::windows, system);
  const Side wine = sideOf(bytes, SystemKind::wine, system);
  if (encoding == profile::TextEncoding::utf16be) {
    return Finding{
        Severity::warning,
        "The file is saved as UTF-16 big-endian. Windows does not read that byte-order mark, "
        "so there the plugin finds no setting and uses " +
            readingText(windows.settings) + "; Wine and Proton read " + readingText(wine.settings) +
            "." + sources(windows, wine),
        kFix};
  }
  if (windows.settings == wine.settings) {
    return Finding{Severity::warning,
                   "The file starts with a UTF-8 byte-order mark, which Windows does not "
                   "recognise: its three bytes become part of line 1. Here that changes nothing "
                   "(Windows, Wine and Proton all read " +
                       readingText(wine.settings) + "), but it will once line 1 matters." +
                       sources(windows, wine),
                   kFix};
  }
  return Finding{Severity::warning,
                 "The file starts with a UTF-8 byte-order mark. Windows does not recognise it: "
                 "its three bytes become part of line 1, so [Settings] there is no section and "
                 "the plugin reads " +
                     readingText(windows.settings) + ". Wine and Proton skip the mark and read " +
                     readingText(wine.settings) + ", as below." + sources(windows, wine),
                 kFix};
}

}  // namespace

std::vector<Finding> readerFindings(const std::string& bytes,
                                    const std::optional<SystemReading>& system) {
  std::vector<Finding> findings;
  if (!system) {
    findings.push_back({Severity::note,
                        "reader: this checker's model of Windows' profile reader answered; "
                        "there is no system reader here to ask."});
  } else {
    findings.push_back({Severity::note, "reader: " + system->name +
                                            " answered: its own profile reader, the one the "
                                            "plugin calls, reads " +
                                            readingText(system->settings) + " on this machine."});
    const ToggleSettings model = modelReading(bytes, system->kind);
    for (const settings_file::Key& key : settings_file::kKeys) {
      const int32_t measured = system->settings.*key.member;
      const int32_t modelled = model.*key.member;
      if (measured == modelled) continue;
      findings.push_back(
          {Severity::warning,
           std::string(key.name) + ": " + system->name + " reads " + std::to_string(measured) +
               " here, and the plugin will too, but this checker's model of the reader says " +
               std::to_string(modelled) +
               ": the two differ, so the explanation below may not fit this machine."});
    }
  }
  if (std::optional<Finding> encoding = encodingFinding(bytes, system)) {
    findings.push_back(std::move(*encoding));
  }
  if (!profile::isWide(common::encodingOf(bytes)) && bytes.find('\0') != std::string::npos) {
    findings.push_back(
        {Severity::warning,
         "The file contains NUL bytes (saved as UTF-16 without a byte-order mark?); the reader "
         "stops names and values at a NUL.",
         kFix});
  }
  return findings;
}

}  // namespace cli
