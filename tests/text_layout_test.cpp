// What the checker writes to a console, fitted to its window: wrapped at spaces, never inside a
// word or a UTF-8 sequence, a long path kept whole across rows; and a long path shortened in the
// middle, so that the folder or file it names still shows.
#include "common/text_layout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "common/console.h"
#include "common/display_text.h"
#include "common/text_encoding.h"

namespace {

using ::testing::EndsWith;
using ::testing::StartsWith;

std::vector<std::string> rowsOf(const std::string& text) {
  return common::split(text, '\n');
}

std::vector<std::string> wordsOf(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// Columns as a console shows them; the only wide characters here are kana and emoji, each of
// 3 or 4 bytes.
size_t columnsOf(const std::string& row) {
  size_t columns = 0;
  for (size_t i = 0; i < row.size();) {
    const size_t length = common::utf8Length(row, i);
    if (length == 0) return 1000;  // a sequence split: never fits
    columns += length >= 3 ? 2 : 1;
    i += length;
  }
  return columns;
}

// A 240-character path: 20 folders of 10 characters under C:\Games.
std::string longPath() {
  std::string path = "C:\\Games";
  for (int i = 10; i < 30; ++i) path += "\\folder" + std::to_string(i) + "-a";
  return path + "\\Kestova.ini";
}

TEST(TextLayout, RowsFitTheWidthKeepEveryWordWholeAndIndentWhatTheyContinue) {
  const std::string text =
      "warning: Kestova.ini.txt: saved as a text file (Windows hides the ending .txt, so it "
      "shows as Kestova.ini), never read by the plugin; rename it to Kestova.ini.\n"
      "  --taps      after the check, measure your taps of the aim button even from a command "
      "prompt\n\n"
      "  tap 1     |########################################|  612 ms, too long for a tap\n";
  for (size_t width = 46; width <= 120; ++width) {  // the bar fits a continued row
    const std::string wrapped = common::wrapText(text, width);
    for (const std::string& row : rowsOf(wrapped)) {
      EXPECT_LE(columnsOf(row), width) << width << ": " << row;
    }
    EXPECT_EQ(wordsOf(wrapped), wordsOf(text)) << width;
  }
  EXPECT_EQ(common::wrapText(text, 200), text) << "lines that fit are kept as they are";
  EXPECT_EQ(common::wrapText("warning: one two three four\n  --taps  measure your taps\n", 14),
            "warning: one\n  two three\n  four\n  --taps\n    measure\n    your taps\n");
}

TEST(TextLayout, ALongPathIsShownWholeBrokenAfterTheLastFolderThatFits) {
  const std::string path = longPath();
  ASSERT_EQ(path.size(), 240u);
  const std::string wrapped = common::wrapText("warning: It is in " + path + ", too deep.", 79);
  const std::vector<std::string> rows = rowsOf(wrapped);
  ASSERT_EQ(rows.size(), 5u) << wrapped;
  EXPECT_EQ(rows[0], "warning: It is in") << "the path starts a row of its own";
  std::string joined;
  for (size_t i = 1; i < rows.size(); ++i) {
    EXPECT_LE(rows[i].size(), 79u);
    ASSERT_THAT(rows[i], StartsWith("  ")) << "continued, indented";
    if (i + 1 < rows.size()) EXPECT_THAT(rows[i], EndsWith("-a\\")) << "broken after a folder";
    joined += rows[i].substr(2);
  }
  EXPECT_EQ(joined, path + ", too deep.");
  EXPECT_EQ(rows.back(), "  Kestova.ini, too deep.");

  // No separator to break after: broken where the row ends, nothing lost.
  const std::string word(100, 'x');
  EXPECT_EQ(
      common::wrapText(word + " y", 40),
      std::string(40, 'x') + "\n  " + std::string(38, 'x') + "\n  " + std::string(22, 'x') + " y");
}

TEST(TextLayout, WideCharactersCountTwoColumnsAndNoSequenceIsSplit) {
  const std::string game = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0";  // ゲーム, 6 columns
  const std::string smile = "\xF0\x9F\x98\x80";                     // 2 columns
  EXPECT_EQ(common::wrapText(game + " " + game + " " + game, 13),
            game + " " + game + "\n  " + game);
  std::string wide;
  for (int i = 0; i < 10; ++i) wide += game + smile;
  for (size_t width = 5; width <= 30; ++width) {
    const std::string wrapped = common::wrapText("a " + wide, width);
    std::string joined;
    for (const std::string& row : rowsOf(wrapped)) {
      EXPECT_LE(columnsOf(row), width) << width << ": " << row;
      joined += row.starts_with("  ") ? row.substr(2) : row;
    }
    EXPECT_EQ(joined, "a" + wide) << width;
  }
}

TEST(TextLayout, APromptStaysWithoutALineEndAndEmptyLinesStay) {
  const std::string prompt = "\nWrite them into Kestova.ini? Type y and press Enter: ";
  EXPECT_EQ(common::wrapText(prompt, 30),
            "\nWrite them into Kestova.ini?\n  Type y and press Enter: ");
  EXPECT_EQ(common::wrapText("a\n\n\nb c d\n", 4), "a\n\n\nb c\n  d\n");
  EXPECT_EQ(common::wrapText("", 3), "");
}

TEST(TextLayout, ALongPathIsShortenedInTheMiddleSoThatItsEndShows) {
  const std::string path = longPath();
  const std::string shown = common::shownPath(common::pathFromUtf8(path));
  EXPECT_EQ(shown, path.substr(0, 60) + "..." + path.substr(path.size() - 137));
  EXPECT_EQ(common::shownPath(common::pathFromUtf8(path.substr(40))), path.substr(40));

  // Stray bytes and controls escaped, at either end; a character is never cut in two.
  const std::string odd = "\x01\xC2\x9B\xFF" + std::string(30, 'a') + "\xE3\x82\xB2\n";
  EXPECT_EQ(common::displayPath(odd, 10), "\\x01\\xC2\\x9B\\xFF...aa\xE3\x82\xB2\\x0A");
}

}  // namespace
