#include "cli/check/look_alikes.h"

#include <algorithm>
#include <vector>

#include "common/console.h"
#include "common/display_text.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string trimmedRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// "kestova (1)", "kestova(2)", "kestova - copy", "kestova - copy (3)" are copies of "kestova".
std::string withoutCopyMarks(std::string stem, bool& copy) {
  for (bool changed = true; changed;) {
    changed = false;
    if (!stem.empty() && stem.back() == ')') {
      const size_t open = stem.rfind('(');
      const std::string inside = open == std::string::npos ? "x" : stem.substr(open + 1);
      if (inside.size() > 1 && std::all_of(inside.begin(), inside.end() - 1,
                                           [](char c) { return c >= '0' && c <= '9'; })) {
        stem = trimmedRight(stem.substr(0, open));
        changed = copy = true;
      }
    }
    for (const char* mark : {" - copy", " copy"}) {
      if (endsWith(stem, mark)) {
        stem = trimmedRight(stem.substr(0, stem.size() - std::string(mark).size()));
        changed = copy = true;
      }
    }
  }
  return stem;
}

// Why name looks like wanted to a player, or empty when it does not.
std::string lookAlikeReason(const std::string& name, const std::string& wanted) {
  const std::string folded = common::lowerAscii(name);
  const std::vector<std::string> want = common::split(common::lowerAscii(wanted), '.');
  std::vector<std::string> parts = common::split(folded, '.');
  bool copy = false;
  parts.front() = withoutCopyMarks(parts.front(), copy);
  if (parts.front() != want.front() || folded == common::lowerAscii(wanted)) return "";
  const std::string ending = want.size() > 1 ? want.back() : "";
  // Saved as a text file, or with no ending: a settings file's look-alikes, never a DLL's.
  const bool text = ending == "ini";
  if (parts.size() == 1 && !text) return "";
  for (size_t i = 1; i < parts.size(); ++i) {
    if (parts[i] != ending && !(text && parts[i] == "txt")) return "";
  }
  if (copy) return "a copy with another name";
  if (parts.size() == 3 && parts[2] == "txt") {
    return "saved as a text file (Windows hides the ending .txt, so it shows as " + wanted + ")";
  }
  if (parts.back() == "txt") return "saved as a text file";
  if (parts.size() == 1) return "a file with no ending";
  return "its ending is doubled";
}

}  // namespace

bool sameFileName(const std::string& name, const std::string& wanted) {
  return common::lowerAscii(name) == common::lowerAscii(wanted);
}

std::vector<LookAlike> findLookAlikes(const fs::path& folder, const std::string& wanted) {
  std::vector<LookAlike> found;
  std::error_code ec;
  const fs::path where = folder.empty() ? fs::path(".") : folder;
  size_t seen = 0;
  for (fs::directory_iterator it(where, ec), end; !ec && it != end && seen < kMaxFolderEntries;
       it.increment(ec), ++seen) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const std::string name = common::utf8FromPath(it->path().filename());
    std::string why = lookAlikeReason(name, wanted);
    if (!why.empty()) found.push_back({name, std::move(why)});
  }
  std::sort(found.begin(), found.end(),
            [](const LookAlike& a, const LookAlike& b) { return a.name < b.name; });
  return found;
}

void addLookAlikes(const fs::path& folder, const std::string& wanted, bool wantedExists,
                   std::vector<Finding>& findings) {
  for (const LookAlike& alike : findLookAlikes(folder, wanted)) {
    std::string fix = "rename it to " + wanted;
    if (wantedExists) {
      fix = "the plugin reads " + wanted + " instead; if your changes are in this one, delete ";
      fix.append(wanted).append(" and rename this one to ").append(wanted);
    }
    findings.push_back({Severity::warning, common::displayText(alike.name, 80) + ": " + alike.why +
                                               ", never read by the plugin; " + fix + "."});
  }
}

}  // namespace cli
