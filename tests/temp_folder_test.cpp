// The folder kestova-sim runs the plugin in: it goes with all it holds, and gives back the
// current directory it took, once, whichever object holds it by then.
#include "common/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(TempFolder, GoesWithAllItHoldsAndGivesBackTheCurrentDirectoryWhenItsLastHolderGoes) {
  const fs::path before = fs::current_path();
  std::optional<common::TempFolder> kept;
  fs::path made;
  {
    common::Result<common::TempFolder> folder = common::TempFolder::make("kestova-test");
    ASSERT_TRUE(folder) << folder.error().message;
    made = folder->path();
    const common::Result<fs::path> file = folder->write("deep/er/Kestova.ini", "[Settings]\n");
    ASSERT_TRUE(file) << file.error().message;
    EXPECT_EQ(testing_support::readFile(*file), "[Settings]\n");
    ASSERT_TRUE(folder->enter());
    ASSERT_TRUE(folder->enter()) << "entered twice, it still gives back the first directory";
    kept.emplace(std::move(folder).value());
  }
  // The object moved from went first, and took nothing with it.
  EXPECT_TRUE(fs::exists(made / "deep/er/Kestova.ini"));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), made));

  kept.reset();
  EXPECT_TRUE(fs::equivalent(fs::current_path(), before));
  EXPECT_FALSE(fs::exists(made));
}

TEST(TempFolder, EveryFolderMadeIsANewOne) {
  const common::Result<common::TempFolder> first = common::TempFolder::make("kestova-test");
  const common::Result<common::TempFolder> second = common::TempFolder::make("kestova-test");
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->path(), second->path());
  EXPECT_TRUE(fs::is_empty(second->path()));
}

}  // namespace
