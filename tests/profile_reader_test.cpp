// The GetPrivateProfileIntA stand-in against the behaviour of the Windows reader: the text rules
// in memory through profile::readInt, the file and path rules through real files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "profile/profile_reader.h"
#include "tests/profile_fallback.h"
#include "tests/support/bytes.h"

using namespace std::string_literals;
using testing_support::Endian;
using testing_support::kFallback;
using testing_support::printable;
using testing_support::utf16;

namespace {

int32_t readText(std::string_view text, const char* section = "Settings",
                 const char* key = "ShortPress", int32_t fallback = kFallback) {
  const profile::MemoryBytes bytes{text};
  return static_cast<int32_t>(
      profile::readInt(bytes, section, key, static_cast<uint32_t>(fallback)));
}

std::string withValue(std::string_view value) {
  return "[Settings]\nShortPress="s.append(value) + "\n";
}

struct ValueCase {
  std::string value;
  int32_t expected;
};

void expectValues(const std::vector<ValueCase>& cases) {
  for (const ValueCase& c : cases) {
    EXPECT_EQ(readText(withValue(c.value)), c.expected) << "value: " << printable(c.value);
  }
}

}  // namespace

// ---- names ------------------------------------------------------------------------------------

TEST(ProfileReader, SectionAndKeyNamesMatchWhateverTheirCase) {
  const std::string text = "[sETTINGS]\nshortPRESS=3\n";
  EXPECT_EQ(readText(text), 3);
  EXPECT_EQ(readText(text, "SETTINGS", "SHORTPRESS"), 3);
  EXPECT_EQ(readText(text, "settings", "shortpress"), 3);
}

TEST(ProfileReader, SpaceTabVtFfAndCtrlZAroundNamesAndValuesAreTrimmed) {
  for (const char space : {' ', '\t', '\v', '\f', '\x1A'}) {
    const std::string w(2, space);
    const std::string text =
        w + "[" + w + "Settings" + w + "]" + w + "\n" + w + "ShortPress" + w + "=" + w + "42" + w;
    EXPECT_EQ(readText(text), 42) << printable(text);
  }
}

TEST(ProfileReader, OtherControlCharactersArePartOfTheNameOrValue) {
  for (const std::string& control : {"\x01"s, "\x1F"s, "\x7F"s}) {
    SCOPED_TRACE(printable(control));
    EXPECT_EQ(readText("[Settings]\n" + control + "ShortPress=5\n"), kFallback);
    EXPECT_EQ(readText("[Settings]\nShortPress" + control + "=5\n"), kFallback);
    EXPECT_EQ(readText("[Settings" + control + "]\nShortPress=5\n"), kFallback);
    // Not blank, so not the default; not a digit either.
    EXPECT_EQ(readText(withValue(control)), 0);
  }
}

TEST(ProfileReader, ANameEndsAtItsFirstNul) {
  EXPECT_EQ(readText("[Settings]\nShortPress\0junk=19\n"s), 19);
  EXPECT_EQ(readText("[Settings]\nShort\0Press=19\n"s), kFallback);
  EXPECT_EQ(readText("[Settings\0junk]\nShortPress=19\n"s), 19);
  EXPECT_EQ(readText("[Set\0tings]\nShortPress=19\n"s), kFallback);
}

TEST(ProfileReader, ASectionNameRunsToTheLastClosingBracketOfItsLine) {
  EXPECT_EQ(readText("[Settings]x\nShortPress=6\n"), 6);
  EXPECT_EQ(readText("[Settings] ; note\nShortPress=6\n"), 6);
  EXPECT_EQ(readText("[Settings]]\nShortPress=6\n"), kFallback);
  EXPECT_EQ(readText("[Settings]]\nShortPress=6\n", "Settings]"), 6);
  EXPECT_EQ(readText("[Set]tings]\nShortPress=6\n", "Set]tings"), 6);
}

TEST(ProfileReader, ALineWithAnOpeningButNoClosingBracketIsAnEntry) {
  EXPECT_EQ(readText("[Settings]\n[Other\nShortPress=5\n"), 5);
  EXPECT_EQ(readText("[Other]\n[Settings\nShortPress=5\n"), kFallback);
  EXPECT_EQ(readText("[Settings]\n[\nShortPress=5\n"), 5);
  EXPECT_EQ(readText("[Settings]\n[ShortPress=5\n", "Settings", "[ShortPress"), 5);
  // The first "[" key has no value, and the first of duplicate keys wins.
  EXPECT_EQ(readText("[Settings]\n[\n[=5\n", "Settings", "["), kFallback);
}

// ---- lines ------------------------------------------------------------------------------------

TEST(ProfileReader, ALineStartingWithASemicolonIsAnEntryNotAComment) {
  EXPECT_EQ(readText("[Settings]\n;ShortPress=1\nShortPress=2\n"), 2);
  EXPECT_EQ(readText("[Settings]\n \t; ShortPress=1\nShortPress=2\n"), 2);
  EXPECT_EQ(readText(";[Settings]\nShortPress=2\n"), kFallback);
  EXPECT_EQ(readText("[Settings]\n;ShortPress=1\n", "Settings", ";ShortPress"), 1);
  EXPECT_EQ(readText("[Settings]\n ; = 4\n", "Settings", ";"), 4);
}

TEST(ProfileReader, AHashIsPartOfTheKeyNameNotAComment) {
  const std::string text = "[Settings]\n#ShortPress=1\nShortPress=2\n";
  EXPECT_EQ(readText(text), 2);
  EXPECT_EQ(readText(text, "Settings", "#ShortPress"), 1);
}

TEST(ProfileReader, LinesEndAtCrLfOrCrLfAndTheLastNeedsNoEnd) {
  for (const char* end : {"\n", "\r", "\r\n"}) {
    const std::string text = "[Other]"s + end + "ShortPress=1" + end + "[Settings]" + end +
                             "LongPress=2" + end + "ShortPress=3";
    EXPECT_EQ(readText(text), 3) << printable(end);
    EXPECT_EQ(readText(text, "Settings", "LongPress"), 2) << printable(end);
    EXPECT_EQ(readText(text, "Other"), 1) << printable(end);
  }
}

TEST(ProfileReader, OnlyTheFirstSectionOfANameIsSearched) {
  EXPECT_EQ(readText("[Settings]\nLongPress=1\n[Other]\n[settings]\nShortPress=5\n"), kFallback);
  EXPECT_EQ(readText("[Settings]\nShortPress=4\n[Settings]\nShortPress=5\n"), 4);
  // A different section in between does not end the search early.
  EXPECT_EQ(readText("[Other]\nShortPress=1\n[Settings]\nShortPress=5\n"), 5);
}

TEST(ProfileReader, TheFirstOfDuplicateKeysWinsEvenWhenItHasNoValue) {
  EXPECT_EQ(readText("[Settings]\nShortPress=1\nShortPress=2\n"), 1);
  EXPECT_EQ(readText("[Settings]\nshortpress = 3\nShortPress=2\n"), 3);
  EXPECT_EQ(readText("[Settings]\nShortPress=\nShortPress=2\n"), kFallback);
  EXPECT_EQ(readText("[Settings]\nShortPress\nShortPress=2\n"), kFallback);
}

TEST(ProfileReader, KeysBeforeAnySectionBelongToASectionWithNoName) {
  EXPECT_EQ(readText("ShortPress=1\n[Settings]\nLongPress=2\n"), kFallback);
  EXPECT_EQ(readText("ShortPress=1\n[Settings]\nShortPress=2\n"), 2);
  EXPECT_EQ(readText("ShortPress=1\n[Settings]\nShortPress=2\n", ""), 1);
  EXPECT_EQ(readText("ShortPress=1\n[Settings]\nShortPress=2\n", " \t"), 1);
  // So a "[]" header, even at the top, opens a second section of that name, never searched.
  EXPECT_EQ(readText("[]\nShortPress=1\n", ""), kFallback);
  EXPECT_EQ(readText("LongPress=3\n[ ]\nShortPress=1\n", ""), kFallback);
}

TEST(ProfileReader, TheNamesAskedForAreTrimmedOfBlanksAndLineEnds) {
  const std::string text = "[Settings]\nShortPress=42\n";
  for (const char* blank : {" ", "\t", "\v", "\f", "\x1A", "\r", "\n", " \r\n "}) {
    const std::string section = blank + "Settings"s + blank;
    const std::string key = blank + "ShortPress"s + blank;
    EXPECT_EQ(readText(text, section.c_str(), key.c_str()), 42) << printable(blank);
  }
  for (const char* other : {"\x01", "\x1F", "\x7F", "\xA0"}) {
    const std::string key = other + "ShortPress"s;
    EXPECT_EQ(readText(text, "Settings", key.c_str()), kFallback) << printable(other);
  }
  EXPECT_EQ(readText(text, "Sett ings"), kFallback);
  // A key asked for as blanks is the key with no name.
  EXPECT_EQ(readText("[Settings]\n=5\n", "Settings", " "), 5);
}

// ---- values -----------------------------------------------------------------------------------

TEST(ProfileReader, ABlankValueGivesTheDefault) {
  expectValues({{"", kFallback}, {"   ", kFallback}, {"\t\v\f\x1A", kFallback}});
  EXPECT_EQ(readText("[Settings]\nShortPress\n"), kFallback);
  EXPECT_EQ(readText("[Settings]\nShortPress=1\n", "Settings", "ShortPress", -7), 1);
  EXPECT_EQ(readText("[Settings]\nShortPress=\n", "Settings", "ShortPress", -7), -7);
}

TEST(ProfileReader, OnePairOfMatchingQuotesIsStripped) {
  expectValues({
      {"\"77\"", 77},
      {"'77'", 77},
      {"  \"-5\"  ", -5},
      {"\"\x01 19\"", 19},
      {"\"\"", kFallback},
      {"''", kFallback},
      {"\"  \"", 0},
      {"\"77", 0},
      {"\"31'", 0},
      {"\"22\" x", 0},
      {"\"\"5\"\"", 0},
      {"\"", 0},
  });
}

TEST(ProfileReader, TheValueIsCutTo29CharactersAfterAnOpeningQuote) {
  expectValues({
      {std::string(27, '0') + "42", 42},
      {std::string(28, '0') + "42", 4},
      // Leading blanks are trimmed before the cut.
      {std::string(40, ' ') + std::string(27, '0') + "42", 42},
      // Quoted: 28 characters are kept whole, 29 lose one, 30 are cut to 29.
      {"\"" + std::string(25, '0') + "123\"", 123},
      {"\"" + std::string(26, '0') + "123\"", 12},
      {"\"" + std::string(27, '0') + "123\"", 12},
  });
}

TEST(ProfileReader, AValueWithoutDigitsReadsAsZero) {
  expectValues({{"abc", 0}, {"-", 0}, {"0x", 0}, {"+-5", 0}, {"- 5", 0}, {"0x-5", 0}});
}

TEST(ProfileReader, NumbersAreDecimalOrTakeALowerCaseBasePrefix) {
  expectValues({
      {"42", 42},
      {"-42", -42},
      {"  +42abc", 42},
      {"010", 10},
      {"0xaBc", 2748},
      {"0o17", 15},
      {"0b101", 5},
      {"-0x10", -16},
      {"-0o10", -8},
      {"-0b11", -3},
      {"0X10", 0},
      {"0O1", 0},
      {"0B1", 0},
      {"0b2", 0},
      {"0o78", 7},
      {"0xfg", 15},
  });
}

TEST(ProfileReader, ANumberEndsAtTheFirstCharacterThatIsNotADigit) {
  expectValues({{"1;2", 1},
                {"12a", 12},
                {"1\0"s
                 "9",
                 1},
                {"=16", 0},
                {"1 2", 1}});
}

TEST(ProfileReader, OverflowWrapsModulo2To32) {
  expectValues({
      {"4294967297", 1},
      {"99999999999", 1215752191},
      {"2147483648", INT32_MIN},
      {"-2147483649", INT32_MAX},
      {"-4294967297", -1},
      {"0x1FFFFFFFF", -1},
      {"0x100000000", 0},
  });
}

// ---- encodings --------------------------------------------------------------------------------

TEST(ProfileReader, AByteOrderMarkMakesTheFileReadAsText) {
  const std::u16string text = u"[Settings]\nShortPress=25\n";
  EXPECT_EQ(readText("\xEF\xBB\xBF[Settings]\nShortPress=25\n"), 25);
  EXPECT_EQ(readText(utf16(text, Endian::little, true)), 25);
  EXPECT_EQ(readText(utf16(text, Endian::big, true)), 25);
  // A stray last byte of a UTF-16 file is no character.
  EXPECT_EQ(readText(utf16(text, Endian::little, true) + "7"), 25);
}

TEST(ProfileReader, UnmarkedUtf16IsReadAsBytes) {
  const std::u16string text = u"[Settings]\nShortPress=25\n";
  EXPECT_EQ(readText(utf16(text, Endian::little, false)), kFallback);
  EXPECT_EQ(readText(utf16(text, Endian::big, false)), kFallback);
}

TEST(ProfileReader, NonAsciiCharactersAreNeitherSpaceNorDigit) {
  EXPECT_EQ(readText(withValue("\xA0 42")), 0);
  EXPECT_EQ(readText(withValue("42\xA0")), 42);
  EXPECT_EQ(readText("\xEF\xBB\xBF" + withValue("\xC2\xA0"
                                                "42")),
            0);
  EXPECT_EQ(readText("[Settings\xA0]\nShortPress=42\n"), kFallback);
  // U+0A31 is the bytes '1' and '\n' in UTF-16LE; U+FF14 is a full-width four.
  for (const char16_t* value : {u"\u00A042", u"\u0A31", u"\uFF14"}) {
    const std::u16string text = std::u16string(u"[Settings]\nShortPress=") + value + u"\n";
    EXPECT_EQ(readText(utf16(text, Endian::little, true)), 0);
    EXPECT_EQ(readText(utf16(text, Endian::big, true)), 0);
  }
}

// ---- hostile input ----------------------------------------------------------------------------

TEST(ProfileReader, RandomBytesNeverCrashNorInventASetting) {
  std::mt19937 random(20240611);  // seeded: the same junk on every run
  std::uniform_int_distribution<size_t> sizes(0, 12000);
  std::uniform_int_distribution<int> bytes(0, 255);
  const std::string tail = "\n[Settings]\nShortPress=25\n";
  for (int round = 0; round < 500; ++round) {
    std::string junk(sizes(random), '\0');
    for (char& c : junk) c = static_cast<char>(bytes(random));
    if (!junk.empty()) junk[0] = 'j';  // no byte-order mark: the junk stays bytes
    ASSERT_EQ(readText(junk), kFallback) << "round " << round;
    ASSERT_EQ(readText(junk + tail), 25) << "round " << round;
  }
}
