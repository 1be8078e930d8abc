// The files a player put in the game's folder: where a file meant for it really
// is: in the folder, in the folder above, or in a folder below; whether a folder of that name
// stands in its place; and the files beside it the player meant as it but the plugin never reads:
// Kestova.ini.txt (Windows hides known endings, so it shows as Kestova.ini), Kestova.txt,
// Kestova.ini.ini, Kestova (1).ini; and what a write cut off left beside it. One level each way and
// a bounded number of entries: the check never searches a disk.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/check/findings.h"

namespace cli {

struct LookAlike {
  std::string name;  // as it is in the folder, UTF-8
  std::string why;   // what it is, in a player's words
};

struct FilePlaces {
  bool here = false;                         // a file of that name in the folder
  bool folderHere = false;                   // a folder of that name instead
  bool inFolderHere = false;                 // ... holding a file of that name
  std::filesystem::path above;               // the folder above, if the file is there; else empty
  std::vector<std::filesystem::path> below;  // the folders below that hold it, in name order
  std::vector<LookAlike> lookAlikes;         // in name order
  std::vector<std::string> leftovers;        // new files of a write cut off, UTF-8, in name order
};

// name is a file name such as "Kestova.ini".
FilePlaces findFilePlaces(const std::filesystem::path& folder, const std::string& name);

// The player's fix, as a sentence, for a file of that name that is not in folder (named as
// shown) but near it: a folder in its place, the file one folder down or one up. Empty when it is
// nowhere near.
std::string whereInstead(const FilePlaces& places, const std::string& name,
                         const std::string& folder);

// A warning for each look-alike of name, with the one step that fixes it; nameExists says
// whether the file of that name is there too.
void addLookAlikes(const FilePlaces& places, const std::string& name, bool nameExists,
                   std::vector<Finding>& findings);

// A note for each file a write of new settings left behind when it was cut off.
void addLeftovers(const FilePlaces& places, std::vector<Finding>& findings);

// Whether the file at path has that name, without case as Windows compares file names.
bool namedAs(const std::filesystem::path& path, const std::string& name);

}  // namespace cli
