// The profile reader stand-in against the real GetPrivateProfileIntA: thousands of generated
// files, each written to disk and read both ways for the same sections, keys and defaults.
//
// The stand-in takes each byte from 0x80 up for a character of its own, as single-byte code pages
// do. The real reader reads files with no byte-order mark in the ANSI code page, 1252 in the test's
// Wine prefix; a double-byte one would pair such bytes with the next, and is not modelled.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "profile/profile_reader.h"
#include "tests/settings_files.h"
#include "tests/support/bytes.h"
#include "tests/support/temp_folder.h"

using namespace std::string_literals;
using namespace std::string_view_literals;

namespace {

using common::TempFolder;
using settings_files::Files;
using settings_files::generatedFiles;
using settings_files::oddNameFiles;
using testing_support::printable;
using testing_support::writeFile;

struct Query {
  const char* section;
  const char* key;
};

// Asked of every file.
constexpr Query kSettingsKeys[] = {
    {"Settings", "ShortPress"}, {"Settings", "LongPress"}, {"Settings", "HoldADS"}};

// One of these is asked of every third file: other spellings of the names, and names with
// blanks and line ends around them, which the reader trims. Only ASCII names: the plugin asks for
// no others.
constexpr Query kOtherSpellings[] = {
    {"settings", "shortpress"},
    {"SETTINGS", "LONGPRESS"},
    {"sETTINGS", "hOLDads"},
    {"Settings", "holdads"},
    {" Settings", "ShortPress"},
    {"Settings", "ShortPress "},
    {"\tSettings\r\n", "\vHoldADS\x1A"},
};

// Names a caller would hardly ask for, asked of every file of oddNameFiles(), which hold them:
// other sections, names with inner blanks, brackets or what elsewhere marks a comment, the
// unnamed section before the first header, and empty names.
constexpr Query kOddNames[] = {
    {"Other", "ShortPress"},
    {"Other", "LongPress"},
    {"Settings", "Short Press"},
    {"Set tings", "ShortPress"},
    {"Settings]", "ShortPress"},
    {"[Settings", "ShortPress"},
    {"Settings", "#ShortPress"},
    {"Settings", ";ShortPress"},
    {"Settings", "Short=Press"},
    {"", "ShortPress"},
    {" ", "LongPress"},
    {"", ""},
    {"Settings", ""},
    {"Settings", " "},
    {"Settings", "["},
    {"Settings", "[ShortPress"},
    {"Settings", ";"},
    {"", ";ShortPress"},
};

// A default that is neither 0 nor a value the files commonly hold, and a negative one.
constexpr int kDefaults[] = {50, -7};

// ---- comparing ----------------------------------------------------------------------------------

std::string fileName(size_t file) {
  return ".\\f" + std::to_string(file) + ".ini";
}

struct Disagreement {
  size_t file;
  Query query;
  int fallback;
  int32_t real;
  int32_t standIn;
};

}  // namespace

TEST(ProfileReaderAgreement, TheStandInReadsEveryGeneratedFileAsTheRealReaderDoes) {
  const Files files = generatedFiles();
  const TempFolder folder = testing_support::tempFolder(testing_support::Enter::yes);

  size_t reads = 0;
  std::vector<Disagreement> disagreements;
  const auto compare = [&](size_t file, const std::string& name, const Query& query, int fallback) {
    const uint32_t real = GetPrivateProfileIntA(query.section, query.key, fallback, name.c_str());
    const profile::MemoryBytes bytes{files[file]};
    const uint32_t standIn =
        profile::readInt(bytes, query.section, query.key, static_cast<uint32_t>(fallback));
    ++reads;
    if (real != standIn) {
      disagreements.push_back(
          {file, query, fallback, static_cast<int32_t>(real), static_cast<int32_t>(standIn)});
    }
  };

  // Files are deleted as the test goes, as under Wine a new file takes longer to make the more
  // files its folder holds; but some way behind, as deleting a file the real reader has only just
  // read measured slower. Names stay unique all the same: the real reader caches files by name.
  constexpr size_t kDeleteBehind = 32;
  const size_t oddNameFileCount = oddNameFiles().size();
  constexpr size_t kSpellingCount = sizeof(kOtherSpellings) / sizeof(kOtherSpellings[0]);
  for (size_t file = 0; file < files.size(); ++file) {
    const std::string name = fileName(file);
    writeFile(folder, name, files[file]);
    const int fallback = kDefaults[file % 2];
    for (const Query& query : kSettingsKeys) compare(file, name, query, fallback);
    const int otherFallback = kDefaults[(file + 1) % 2];
    if (file < oddNameFileCount) {
      for (const Query& query : kOddNames) compare(file, name, query, otherFallback);
    } else if (file % 3 == 0) {
      compare(file, name, kOtherSpellings[file / 3 % kSpellingCount], otherFallback);
    }
    // Whatever is left goes with the folder.
    if (file >= kDeleteBehind) DeleteFileA(fileName(file - kDeleteBehind).c_str());
  }

  std::printf("profile reader agreement: %zu/%zu reads, %zu files\n", reads - disagreements.size(),
              reads, files.size());
  // The first few files read otherwise, each with every read that differed.
  constexpr size_t kFilesShown = 8;
  for (size_t i = 0, shown = 0; i < disagreements.size() && shown < kFilesShown; ++shown) {
    const size_t file = disagreements[i].file;
    std::string message = "file " + std::to_string(file) + ": \"" + printable(files[file]) + "\"";
    for (; i < disagreements.size() && disagreements[i].file == file; ++i) {
      const Disagreement& d = disagreements[i];
      message += "\n  section \"" + printable(d.query.section) + "\", key \"" +
                 printable(d.query.key) + "\", default " + std::to_string(d.fallback) + ": real " +
                 std::to_string(d.real) + ", stand-in " + std::to_string(d.standIn);
    }
    ADD_FAILURE() << message;
  }
  EXPECT_TRUE(disagreements.empty()) << disagreements.size() << " disagreements";
}
