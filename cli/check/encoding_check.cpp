// Windows' profile reader, unlike Wine's (and so Proton's) and unlike the stand-in in
// profile/profile_reader.h, which both skip it, does not recognise a UTF-8 byte-order mark: it
// reads the file as ANSI text, so the mark's three bytes are characters of line 1 and a
// [Settings] there is not a section header. Windows also does not honour a UTF-16 big-endian
// mark (reported from tests on Windows 10 21H1); it does honour UTF-16 little-endian. Windows is
// what players run, so it comes first; the Wine reading follows, as the rest of the check is it.
#include "cli/check/encoding_check.h"

#include "profile/profile_reader.h"

namespace cli {
namespace {

std::string valuesText(const PluginSettings& s) {
  const std::string text = std::string(settings_file::kShortPress.name) + " " +
                           std::to_string(s.shortPress) + ", " + settings_file::kLongPress.name +
                           " " + std::to_string(s.longPress) + ", " + settings_file::kHoldAds.name +
                           " " + std::to_string(s.holdAds);
  return s == PluginSettings{} ? text + " (its defaults)" : text;
}

constexpr char kFix[] = "Save the file as UTF-8 without a byte-order mark, or as UTF-16 LE.";

}  // namespace

std::optional<Finding> encodingFinding(const std::string& bytes) {
  const profile::MemoryBytes memory{reinterpret_cast<const unsigned char*>(bytes.data()),
                                    bytes.size()};
  const profile::TextEncoding encoding = profile::UnitText<profile::MemoryBytes>(memory).encoding();
  const PluginSettings underWine = readPluginSettings(bytes);
  if (encoding == profile::TextEncoding::utf16le) {
    return Finding{Severity::note,
                   "file: saved as UTF-16 LE, which Windows, Wine and Proton all read."};
  }
  if (encoding == profile::TextEncoding::utf16be) {
    return Finding{Severity::warning,
                   "file: saved as UTF-16 big-endian. Windows does not read that byte-order mark, "
                   "so there the plugin finds no setting and uses " +
                       valuesText(PluginSettings{}) + "; Wine and Proton read " +
                       valuesText(underWine) + ". " + kFix};
  }
  if (encoding != profile::TextEncoding::utf8) return std::nullopt;
  // As Windows reads it: the mark's bytes are three characters that are no ASCII, which the
  // stand-in reads alike for any such bytes that make no mark.
  const PluginSettings onWindows = readPluginSettings("\x80\x80\x80" + bytes.substr(3));
  if (onWindows == underWine) {
    return Finding{Severity::warning,
                   "file: it starts with a UTF-8 byte-order mark, which Windows does not "
                   "recognise: its three bytes become part of line 1. Here that changes nothing "
                   "(Windows, Wine and Proton all read " +
                       valuesText(underWine) + "), but it will once line 1 matters. " + kFix};
  }
  return Finding{Severity::warning,
                 "file: it starts with a UTF-8 byte-order mark. Windows does not recognise it: "
                 "its three bytes become part of line 1, so [Settings] there is no section and "
                 "the plugin reads " +
                     valuesText(onWindows) + ". Wine and Proton skip the mark and read " +
                     valuesText(underWine) + ", as below. " + kFix};
}

}  // namespace cli
