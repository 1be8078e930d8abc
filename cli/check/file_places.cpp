#include "cli/check/file_places.h"

#include <algorithm>

#include "cli/check/look_alikes.h"
#include "common/console.h"
#include "common/display_text.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// Names are matched by the file system: without case on Windows, where players are.
bool fileIn(const fs::path& folder, const fs::path& name) {
  std::error_code ec;
  return fs::is_regular_file(folder / name, ec);
}

}  // namespace

fs::path wholePath(const fs::path& path) {
  std::error_code ec;
  fs::path whole = fs::absolute(path.empty() ? fs::path(".") : path, ec).lexically_normal();
  if (ec) return path;
  // "C:\Games\X\" and "/games/x/" name the folder as "C:\Games\X" and "/games/x" do.
  if (whole.filename().empty() && whole.has_relative_path()) whole = whole.parent_path();
  return whole;
}

FilePlaces findFilePlaces(const fs::path& folder, const std::string& name) {
  const fs::path where = wholePath(folder);
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
    if (it->is_directory(typeError) && it->path().filename() != file && fileIn(it->path(), file)) {
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
