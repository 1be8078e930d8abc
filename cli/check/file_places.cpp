#include "cli/check/file_places.h"

#include <algorithm>

#include "cli/check/look_alikes.h"
#include "common/console.h"
#include "common/display_text.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// Enough for any game's folder; a folder with more is no game's, and the check stays quick.
constexpr size_t kMaxEntries = 4096;

// The entry of that name in folder, as Windows matches names: in any case.
std::optional<fs::directory_entry> entryNamed(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  size_t seen = 0;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end && seen < kMaxEntries;
       it.increment(ec), ++seen) {
    if (sameFileName(common::utf8FromPath(it->path().filename()), name)) return *it;
  }
  return std::nullopt;
}

bool isFile(const std::optional<fs::directory_entry>& entry) {
  std::error_code ec;
  return entry && entry->is_regular_file(ec);
}

}  // namespace

FilePlaces findFilePlaces(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  fs::path where = fs::absolute(folder.empty() ? fs::path(".") : folder, ec).lexically_normal();
  if (where.filename().empty() && where.has_relative_path()) where = where.parent_path();
  FilePlaces places;
  const std::optional<fs::directory_entry> here = entryNamed(where, name);
  places.here = isFile(here);
  places.folderHere = here && here->is_directory(ec);
  places.inFolderHere = places.folderHere && isFile(entryNamed(here->path(), name));
  const fs::path parent = where.has_relative_path() ? where.parent_path() : fs::path();
  if (!parent.empty() && isFile(entryNamed(parent, name))) places.above = parent;
  // Below, the file system matches the name: without case on Windows, where players are.
  const fs::path file = common::pathFromUtf8(name);
  size_t seen = 0;
  for (fs::directory_iterator it(where, ec), end; !ec && it != end && seen < kMaxEntries;
       it.increment(ec), ++seen) {
    std::error_code typeError;
    if (it->is_directory(typeError) && !(here && it->path() == here->path()) &&
        fs::is_regular_file(it->path() / file, typeError)) {
      places.below.push_back(it->path());
    }
  }
  std::sort(places.below.begin(), places.below.end());
  return places;
}

std::string whereInstead(const FilePlaces& places, const std::string& name,
                         const std::string& folder) {
  if (places.folderHere) {
    return "A folder named " + name + " stands in its place" +
           (places.inFolderHere ? ", with the file inside it: move that " + name + " out into " +
                                      folder + " and delete the folder."
                                : ": delete that folder and copy " + name + " here again.");
  }
  if (!places.below.empty()) {
    const size_t more = places.below.size() - 1;
    return "It is in " + shownPath(places.below.front()) +
           (more > 0 ? " (and in " + std::to_string(more) + " more folders below)" : "") +
           ", one folder too deep: move it up into " + folder + ".";
  }
  if (!places.above.empty()) {
    return "There is one in the folder above, " + shownPath(places.above) + ".";
  }
  return "";
}

std::string shownPath(const fs::path& path) {
  return common::displayText(common::utf8FromPath(path), 200);
}

}  // namespace cli
