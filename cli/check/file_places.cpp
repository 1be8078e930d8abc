#include "cli/check/file_places.h"

#include <algorithm>

#include "cli/check/file_replace.h"
#include "common/console.h"
#include "common/display_text.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// Enough for any game's folder; past it, a folder is no game's, and the check stays quick.
constexpr size_t kMaxFolderEntries = 4096;

// Names are matched by the file system: without case on Windows, where players are.
bool fileIn(const fs::path& folder, const fs::path& name) {
  std::error_code ec;
  return fs::is_regular_file(folder / name, ec);
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
      if (stem.ends_with(mark)) {
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
  return "a file whose ending is doubled";
}

// A look-alike of name as a warning, with the one step that fixes it.
Finding lookAlikeFinding(const LookAlike& alike, const std::string& name, bool nameExists) {
  const std::string shown = common::displayPath(alike.name, 80);
  return {Severity::warning,
          shown + " is " + alike.why + ", never read by the plugin" +
              (nameExists ? "; it reads " + name + " instead." : "."),
          nameExists ? "If your changes are in " + shown + ", delete " + name + " and rename " +
                           shown + " to " + name + "."
                     : "Rename " + shown + " to " + name + "."};
}

}  // namespace

FilePlaces findFilePlaces(const fs::path& folder, const std::string& name) {
  const fs::path where = common::wholePath(folder);
  const fs::path file = common::pathFromUtf8(name);
  std::error_code ec;
  FilePlaces places;
  places.here = fileIn(where, file);
  places.folderHere = fs::is_directory(where / file, ec);
  places.inFolderHere = places.folderHere && fileIn(where / file, file);
  if (where.has_relative_path() && fileIn(where.parent_path(), file)) {
    places.above = where.parent_path();
  }
  size_t seen = 0;
  for (fs::directory_iterator it(where, ec), end; !ec && it != end && seen < kMaxFolderEntries;
       it.increment(ec), ++seen) {
    std::error_code typeError;
    if (it->is_directory(typeError)) {
      if (it->path().filename() != file && fileIn(it->path(), file)) {
        places.below.push_back(it->path());
      }
    } else if (it->is_regular_file(typeError)) {
      const std::string entry = common::utf8FromPath(it->path().filename());
      std::string why = lookAlikeReason(entry, name);
      if (!why.empty()) places.lookAlikes.push_back({entry, std::move(why)});
      if (isNewFileName(common::lowerAscii(entry), common::lowerAscii(name))) {
        places.leftovers.push_back(entry);
      }
    }
  }
  std::sort(places.below.begin(), places.below.end());
  std::sort(places.leftovers.begin(), places.leftovers.end());
  std::sort(places.lookAlikes.begin(), places.lookAlikes.end(),
            [](const LookAlike& a, const LookAlike& b) { return a.name < b.name; });
  return places;
}

std::string whereInstead(const FilePlaces& places, const std::string& name,
                         const std::string& folder) {
  if (places.folderHere) {
    // A file and a folder of one name cannot stand side by side: the folder is renamed first.
    return places.inFolderHere ? "Rename the folder named " + name + ", move the " + name +
                                     " inside it out into " + folder + ", then delete that folder."
                               : "Delete the folder named " + name +
                                     " that stands in its place, and copy " + name + " here again.";
  }
  if (!places.below.empty()) {
    const size_t more = places.below.size() - 1;
    return "Move " + name + " up from " + common::shownPath(places.below.front()) + " into " +
           folder + ": it is one folder too deep" +
           (more > 0 ? " (and in " + common::counted(more, "more folder") + " below)" : "") + ".";
  }
  if (!places.above.empty()) {
    return "Move " + name + " down from " + common::shownPath(places.above) + " into " + folder +
           ", if this is the game's folder.";
  }
  return "";
}

void addLookAlikes(const FilePlaces& places, const std::string& name, bool nameExists,
                   std::vector<Finding>& findings) {
  for (const LookAlike& alike : places.lookAlikes) {
    findings.push_back(lookAlikeFinding(alike, name, nameExists));
  }
}

void addLeftovers(const FilePlaces& places, std::vector<Finding>& findings) {
  for (const std::string& leftover : places.leftovers) {
    findings.push_back({Severity::note, common::displayText(leftover, 80) +
                                            ": left behind by a write of new settings that was "
                                            "cut off; the plugin never reads it, and it may be "
                                            "deleted."});
  }
}

bool namedAs(const fs::path& path, const std::string& name) {
  return common::lowerAscii(common::utf8FromPath(path.filename())) == common::lowerAscii(name);
}

}  // namespace cli
