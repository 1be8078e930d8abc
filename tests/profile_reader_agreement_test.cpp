// The profile reader stand-in against the real GetPrivateProfileIntA: thousands of generated
// files, each written to disk and read both ways for the same sections, keys and defaults.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "compat/profile_reader.h"

using namespace std::string_literals;

namespace {

using Files = std::vector<std::string>;

struct Query {
  const char* section;
  const char* key;
};

// Asked of every file.
constexpr Query kSettingsKeys[] = {
    {"Settings", "ShortPress"}, {"Settings", "LongPress"}, {"Settings", "HoldADS"}};

// One of these is asked of each file in turn: other spellings of the names, and names the
// generated files sometimes hold but a caller would hardly ask for.
constexpr Query kOtherNames[] = {
    {"settings", "shortpress"},  {"SETTINGS", "LONGPRESS"},   {"Settings", "holdads"},
    {"Other", "ShortPress"},     {"Settings", "Short Press"}, {"Set tings", "ShortPress"},
    {" Settings", "ShortPress"}, {"Settings", "ShortPress "}, {"Settings]", "ShortPress"},
    {"Settings", "#ShortPress"}, {"Settings", ";ShortPress"}, {"[Settings", "ShortPress"},
    {"Settings", "Short=Press"}, {"Other", "LongPress"},      {"sETTINGS", "hOLDads"},
};

// A default that is neither 0 nor a value the files commonly hold, and a negative one.
constexpr int kDefaults[] = {50, -7};

// ---- building files -----------------------------------------------------------------------------

std::string fill(std::string_view pattern, char mark, std::string_view with) {
  std::string out;
  for (const char c : pattern) {
    if (c == mark) {
      out += with;
    } else {
      out += c;
    }
  }
  return out;
}

// The pattern with gap number `chosen` of its '@' gaps filled and the others emptied.
std::string fillGap(std::string_view pattern, size_t chosen, std::string_view with) {
  std::string out;
  size_t gap = 0;
  for (const char c : pattern) {
    if (c != '@') {
      out += c;
    } else if (gap++ == chosen) {
      out += with;
    }
  }
  return out;
}

size_t gapCount(std::string_view pattern) {
  size_t count = 0;
  for (const char c : pattern) count += c == '@' ? 1 : 0;
  return count;
}

std::string utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (const char16_t unit : text) {
    const auto low = static_cast<char>(unit & 0xFF);
    const auto high = static_cast<char>(unit >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// Each byte as the code point of the same number, so 0x80-0xFF become Latin-1 letters.
std::u16string widened(std::string_view bytes) {
  std::u16string units;
  for (const char c : bytes) units += static_cast<char16_t>(static_cast<unsigned char>(c));
  return units;
}

std::string utf8(char32_t point) {
  std::string out;
  const auto byte = [&](uint32_t b) { out += static_cast<char>(b); };
  const auto p = static_cast<uint32_t>(point);
  if (p < 0x80) {
    byte(p);
  } else if (p < 0x800) {
    byte(0xC0 | (p >> 6));
    byte(0x80 | (p & 0x3F));
  } else if (p < 0x10000) {
    byte(0xE0 | (p >> 12));
    byte(0x80 | ((p >> 6) & 0x3F));
    byte(0x80 | (p & 0x3F));
  } else {
    byte(0xF0 | (p >> 18));
    byte(0x80 | ((p >> 12) & 0x3F));
    byte(0x80 | ((p >> 6) & 0x3F));
    byte(0x80 | (p & 0x3F));
  }
  return out;
}

const std::string kUtf8Mark = "\xEF\xBB\xBF";
const std::string kUtf16LeMark = "\xFF\xFE";
const std::string kUtf16BeMark = "\xFE\xFF";

// Characters that trim in no rule of the stand-in but might in a real reader: every control
// character other than the line ends, DEL, and bytes that are blanks in common code pages.
std::string blanksToTry() {
  std::string blanks = " \t\v\f\x1A";
  for (int c = 1; c < 0x20; ++c) {
    if (c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r' && c != 0x1A) {
      blanks += static_cast<char>(c);
    }
  }
  return blanks + "\x7F\xA0\x85\x81\xFF";
}

// One section line and three entries with '@' at every gap a blank can sit in.
constexpr std::string_view kGappedFile =
    "@[@Settings@]@\n@ShortPress@=@42@\n@LongPress@=@-@1@7@\nHoldADS=@\"@9@\"@\n";

void addSpacing(Files& out) {
  for (const char blank : blanksToTry()) {
    const std::string one(1, blank);
    const std::string two(2, blank);
    for (size_t gap = 0; gap < gapCount(kGappedFile); ++gap) {
      out.push_back(fillGap(kGappedFile, gap, gap % 2 == 0 ? one : two));
    }
    out.push_back(fill(kGappedFile, '@', one));
    // Values of nothing but the blank, bare and quoted.
    out.push_back(fill("[Settings]\nShortPress=@\nLongPress=@@5\nHoldADS=\"@\"\n", '@', one));
    out.push_back(fill("[Settings]\nShortPress=@@\nLongPress='@'\nHoldADS=@\"\"@\n", '@', one));
  }
}

void addCase(Files& out) {
  for (const char* section : {"Settings", "settings", "SETTINGS", "sETTINGS", "SeTtInGs"}) {
    for (const char* key : {"ShortPress", "shortpress", "SHORTPRESS", "sHORTpRESS"}) {
      out.push_back("["s + section + "]\n" + key + "=3\nlongpress=4\nHOLDADS=5\nHoldAds=6\n");
    }
  }
}

// Values in every combination of sign, base prefix and digits.
std::vector<std::string> numberValues() {
  std::vector<std::string> values;
  for (const char* sign : {"", "+", "-", "--", "+-", "-+", "- ", "+ ", " -"}) {
    for (const char* prefix : {"", "0", "00", "0x", "0X", "0o", "0O", "0b", "0B", "x", "0 x"}) {
      for (const char* digits : {"", "1", "7", "9", "10", "ff", "FF", "12a", "g", "777", "101",
                                 "2147483647", "2147483648", "4294967295", "4294967296"}) {
        values.push_back(std::string(sign) + prefix + digits);
      }
    }
  }
  return values;
}

std::vector<std::string> quotedValues() {
  std::vector<std::string> values;
  for (const char* inner : {"42", "-42", "0x1F", " 7", "7 ", "", "  ", "x", "7 x", "\t9",
                            "\x01"
                            "3"}) {
    const std::string v = inner;
    for (const std::string& quoted :
         {"\"" + v + "\"", "'" + v + "'", "\"" + v + "'", "'" + v + "\"", "\"" + v, "'" + v,
          v + "\"", v + "'", "\"" + v + "\"x", "\"" + v + "\" 5", "\"\"" + v + "\"\"",
          "\"'" + v + "'\"", "'\"" + v + "\"'", "\"" + v + "\"\"", " \"" + v + "\" ",
          "\"\"\"" + v}) {
      values.push_back(quoted);
    }
  }
  return values;
}

std::vector<std::string> junkValues() {
  std::vector<std::string> values;
  for (const char* junk : {"abc",
                           " 1",
                           ";c",
                           " ;c",
                           "#",
                           "=1",
                           "\"",
                           "'",
                           "\x01",
                           ".5",
                           "e3",
                           ",1",
                           "\xA0",
                           "\xFF",
                           "]",
                           "[",
                           "\x1A"
                           "5",
                           "\t5",
                           "\v5",
                           "-",
                           "+1",
                           "0x1",
                           "\\",
                           "%",
                           "\x7F"}) {
    values.push_back("42"s + junk);
    values.push_back("-0x2a"s + junk);
    values.push_back(std::string(junk) + "42");
  }
  return values;
}

// Values near the 29 characters the reader copies, and far past them.
std::vector<std::string> lengthValues() {
  std::vector<std::string> values;
  for (size_t length = 24; length <= 34; ++length) {
    const auto padded = [&](const std::string& head, char pad, const std::string& tail) {
      const size_t fixed = head.size() + tail.size();
      return head + std::string(length > fixed ? length - fixed : 0, pad) + tail;
    };
    for (const std::string& quote : {""s, "\""s, "'"s}) {
      values.push_back(padded(quote, '0', "123" + quote));
      values.push_back(padded(quote + "-", '0', "123" + quote));
      values.push_back(padded(quote + "0x", '0', "1f" + quote));
      values.push_back(padded(quote, ' ', "42" + quote));
      values.push_back(padded(quote, '\x01', "42" + quote));
      values.push_back(padded(quote + "4", '2', quote));
      values.push_back(padded(quote, '0', "9"));  // unclosed
    }
    values.push_back(padded("\"", '0', "12\"x"));
    values.push_back(padded("\"", '0', "12'"));
  }
  for (const unsigned nines : {10u, 11u, 20u, 28u, 29u, 30u, 31u, 100u, 1000u}) {
    values.push_back(std::string(nines, '9'));
    values.push_back("-" + std::string(nines, '9'));
    values.push_back("\"" + std::string(nines, '9') + "\"");
    values.push_back("0x" + std::string(nines, 'f'));
    values.push_back("0b" + std::string(nines, '1'));
  }
  for (const char* big :
       {"4294967297", "99999999999", "-2147483649", "-4294967297", "0x1FFFFFFFF", "0x100000000",
        "0o37777777777", "0o40000000000", "18446744073709551617", "-18446744073709551615"}) {
    values.push_back(big);
  }
  return values;
}

// Each value three ways: bare, spaced with a comment after it, and tabbed; with the line ends
// and final newline varying from file to file.
void addValues(Files& out, const std::vector<std::string>& values) {
  static constexpr const char* kEnds[] = {"\n", "\r\n", "\r"};
  size_t index = out.size();
  for (const std::string& v : values) {
    const char* end = kEnds[index % 3];
    std::string file = "[Settings]"s + end + "ShortPress=" + v + end + "LongPress = " + v + " " +
                       end + "\tHoldADS\t=\t" + v + "\t;note";
    if (index % 4 != 0) file += end;
    out.push_back(std::move(file));
    ++index;
  }
}

// Duplicate keys and sections, section headers of every shape, comments.
void addStructure(Files& out) {
  for (const std::string& file : {
           // Duplicate keys: the first wins, whatever it holds.
           "[Settings]\nShortPress=1\nShortPress=2\n"s,
           "[Settings]\nShortPress=\nShortPress=2\n"s,
           "[Settings]\nShortPress\nShortPress=2\n"s,
           "[Settings]\nShortPress= \nShortPress=2\n"s,
           "[Settings]\nShortPress=\"\"\nShortPress=2\n"s,
           "[Settings]\nShortPress=x\nShortPress=2\n"s,
           "[Settings]\nshortpress=1\nShortPress=2\n"s,
           "[Settings]\n ShortPress =1\nShortPress=2\n"s,
           "[Settings]\nShort Press=1\nShortPress=2\n"s,
           "[Settings]\nShortPress\0=1\nShortPress=2\n"s,
           "[Settings]\nShortPress;=1\nShortPress=2\n"s,
           "[Settings]\nShortPress==1\nShortPress=2\n"s,
           "[Settings]\n=ShortPress=1\nShortPress=2\n"s,
           "[Settings]\nLongPress=1\nHoldADS=2\nLongPress=3\nHoldADS\n"s,
           // Duplicate sections: only the first is searched.
           "[Settings]\n[Settings]\nShortPress=2\n"s,
           "[Settings]\nLongPress=1\n[Settings]\nShortPress=2\nLongPress=3\n"s,
           "[Settings]\n[Other]\nShortPress=1\n[Settings]\nShortPress=2\n"s,
           "[Other]\nShortPress=1\n[Settings]\nShortPress=2\n[Other]\nLongPress=3\n"s,
           "[settings]\nHoldADS=1\n[SETTINGS]\nHoldADS=2\nShortPress=3\n"s,
           "[ Settings ]\nShortPress=1\n[Settings]\nShortPress=2\nLongPress=3\n"s,
           "[Settings\0x]\nShortPress=1\n[Settings]\nShortPress=2\nLongPress=3\n"s,
           "[Settings]x\nShortPress=1\n[Settings]\nLongPress=2\n"s,
           "[Other]\n[Settings]\n[Other]\nShortPress=1\n[Settings]\nShortPress=2\n"s,
           // Keys outside any section.
           "ShortPress=1\n[Settings]\nLongPress=2\n"s,
           "ShortPress=1\n[]\nLongPress=2\n[Settings]\nHoldADS=3\n"s,
           // Headers of every shape.
           "[]\nShortPress=1\n"s,
           "[Settings]\n[]\nShortPress=1\n"s,
           "[Settings]\n[\nShortPress=1\n"s,
           "[Settings]\n[Other\nShortPress=1\n"s,
           "[Other]\n[Settings\nShortPress=1\n"s,
           "[Settings]\n]Other[\nShortPress=1\n"s,
           "[Settings]\n[[Other]]\nShortPress=1\n"s,
           "[[Settings]]\nShortPress=1\n"s,
           "[[Settings]\nShortPress=1\n"s,
           "[Settings]]\nShortPress=1\n"s,
           "[Settings]]]\nShortPress=1\n"s,
           "[Set]tings]\nShortPress=1\n"s,
           "[Settings] [Other]\nShortPress=1\n"s,
           "[Other] [Settings]\nShortPress=1\n"s,
           "[Settings] ; note\nShortPress=1\n"s,
           "[Settings];\nShortPress=1\n"s,
           "[Settings]=5\nShortPress=1\n"s,
           "[Settings]ShortPress=5\nLongPress=1\n"s,
           "[Settings]\nShortPress=1\n[Settings\nLongPress=2\n"s,
           "[Settings]\nShortPress=1\n[Other\nLongPress=2\n"s,
           "[Settings\n]\nShortPress=1\n"s,
           "[Settings\r]\nShortPress=1\n"s,
           " [Settings]\nShortPress=1\n"s,
           "\t\v\f\x1A[Settings]\nShortPress=1\n"s,
           "x[Settings]\nShortPress=1\n"s,
           "=[Settings]\nShortPress=1\n"s,
           "\"[Settings]\"\nShortPress=1\n"s,
           "[\"Settings\"]\nShortPress=1\n"s,
           "[Settings\"]\nShortPress=1\n"s,
           "[Set tings]\nShortPress=1\n"s,
           "[Settings=1]\nShortPress=1\n"s,
           "[Settings;x]\nShortPress=1\n"s,
           "[;Settings]\nShortPress=1\n"s,
           "[Settings]\nShortPress=1\n[Settings]]\nShortPress=2\n"s,
           "[Settings]\n[Settings ]\nShortPress=2\n"s,
           "[\0]\n[Settings]\nShortPress=2\n"s,
           "[\0Settings]\nShortPress=1\n[Settings]\nShortPress=2\n"s,
           // Comments: ';' lines only; '#' is part of a name.
           ";[Settings]\nShortPress=1\n"s,
           "#[Settings]\nShortPress=1\n"s,
           "; [Settings]\n[Settings]\nShortPress=1\n"s,
           "[Settings]\n#ShortPress=1\nShortPress=2\n"s,
           "[Settings]\n# ShortPress=1\nShortPress=2\n"s,
           "[Settings]\n;ShortPress=1\nShortPress=2\n"s,
           "[Settings]\n \t;ShortPress=1\nShortPress=2\n"s,
           "[Settings]\n;\nShortPress=2\n"s,
           "[Settings]\nShortPress=1;2\n"s,
           "[Settings]\nShortPress=;2\n"s,
           "[Settings]\nShortPress =;\n"s,
           "[Settings]\nShort;Press=3\n"s,
           "[Settings]\nShortPress=\"1;2\"\n"s,
           "[Settings]\nShortPress=1 # 2\n"s,
           "[Settings]\nShortPress=#2\n"s,
           "[Settings]\n//ShortPress=1\nShortPress=2\n"s,
           "[Settings]\nREM ShortPress=1\nShortPress=2\n"s,
           // Line ends inside things.
           "[Settings]\nShort\rPress=1\nShortPress=2\n"s,
           "[Settings]\nShortPress\n=1\nShortPress=2\n"s,
           "[Settings]\nShortPress=\"1\n2\"\n"s,
           "[Settings]\nShortPress=\r5\n"s,
           "[Settings]\nShortPress=5\r\r\r\n\n\nLongPress=6"s,
           // Empty values and files.
           ""s,
           "\n"s,
           "\r\n"s,
           " "s,
           "\0"s,
           "[Settings]"s,
           "[Settings]\n"s,
           "[Settings]\nShortPress"s,
           "[Settings]\nShortPress="s,
           "[Settings]\nShortPress= "s,
           "[Settings]\nShortPress=5"s,
           "[Settings]\nShortPress=\0"s,
           "[Settings]\nShortPress=\0 5"s,
           "[Settings]\nShortPress=\"\0\"\n"s,
           "[Settings]\nShortPress=\"5\0\"\n"s,
           "[Settings]\nShortPress=\" \0\"\n"s,
           "[Settings]\nShortPress=\"\0x\"\n"s,
       }) {
    out.push_back(file);
  }
}

// A small file with three sections and keys, in every style of line end.
void addLineEnds(Files& out) {
  constexpr std::string_view kLines =
      "[Other]|ShortPress=1|[Settings]|LongPress=2|ShortPress=3|HoldADS=4|[Next]|HoldADS=5";
  for (const char* end : {"\n", "\r", "\r\n", "\n\r", "\r\r\n", "\n\n", "\r\n\r\n", "\r\r"}) {
    const std::string file = fill(kLines, '|', end);
    out.push_back(file);
    out.push_back(file + end);
  }
  std::mt19937 random(411);
  static constexpr const char* kEnds[] = {"\n", "\r", "\r\n", "\n\r"};
  for (int round = 0; round < 20; ++round) {
    std::string file;
    for (const char c : kLines) {
      if (c == '|') {
        file += kEnds[random() % 4];
      } else {
        file += c;
      }
    }
    out.push_back(file);
  }
}

// One byte inserted at, put over, or taken from every place of a small file.
void addMutations(Files& out) {
  const std::string base = "[Settings]\nShortPress=12\nLongPress=\"34\"\nHoldADS = -56\n";
  const std::string inserted = "\0 \t\x1A\x01\x7F\r\n;=[]\"'#0x-\xA0\xFF\x80"s;
  for (size_t at = 0; at <= base.size(); ++at) {
    for (const char c : inserted) {
      out.push_back(base.substr(0, at) + c + base.substr(at));
    }
    if (at < base.size()) {
      out.push_back(base.substr(0, at) + base.substr(at + 1));
      for (const char c : "\0 ;\x80"s) {
        std::string replaced = base;
        replaced[at] = c;
        out.push_back(replaced);
      }
    }
  }
}

// Every byte from 0x80 up where it could be taken for a blank, a digit or part of a name.
void addHighBytes(Files& out) {
  for (int b = 0x80; b <= 0xFF; ++b) {
    const std::string h(1, static_cast<char>(b));
    out.push_back("[Settings" + h + "]\nShortPress=1\n[Settings]\nShortPress=" + h +
                  "42\nLongPress=4" + h + "2\nHoldADS" + h + "=1\nHoldADS=" + h + "\n");
  }
}

// Code points that case-fold or best-fit to ASCII, Unicode blanks and line ends, digits of other
// scripts, unpaired surrogates and non-characters.
constexpr char32_t kCodePoints[] = {0x00A0, 0x0085, 0x2028, 0x2029, 0x3000, 0x2000, 0x200B,
                                    0xFEFF, 0xFF14, 0xFF0D, 0xFF1D, 0xFF3B, 0x2212, 0x0660,
                                    0x00B2, 0x2074, 0x017F, 0x0130, 0x0131, 0x212A, 0xFF33,
                                    0x00C0, 0xD800, 0xDC00, 0xFFFE, 0xFFFF, 0x0A31, 0x1F600};

std::u16string utf16Units(char32_t point) {
  if (point < 0x10000) return std::u16string(1, static_cast<char16_t>(point));
  const char32_t rest = point - 0x10000;
  return {static_cast<char16_t>(0xD800 + (rest >> 10)),
          static_cast<char16_t>(0xDC00 + (rest & 0x3FF))};
}

// Files with byte-order marks: many of the ASCII files above re-encoded, and non-ASCII text.
void addMarked(Files& out) {
  const size_t asciiCount = out.size();
  for (size_t i = 0; i < asciiCount; i += 9) {
    const std::string& text = out[i];
    out.push_back(kUtf8Mark + text);
    out.push_back(kUtf16LeMark + utf16(widened(text), false));
    out.push_back(kUtf16BeMark + utf16(widened(text), true));
  }
  const std::string plain = "[Settings]\nShortPress=25\nLongPress=\"-3\"\nHoldADS=0x10\n";
  const std::u16string wide = widened(plain);
  for (const std::string& file :
       {utf16(wide, false), utf16(wide, true), kUtf16LeMark + utf16(wide, false) + "7",
        kUtf16BeMark + utf16(wide, true) + "7", kUtf16LeMark + utf16(wide, true),
        kUtf16BeMark + utf16(wide, false), kUtf8Mark + kUtf8Mark + plain, kUtf8Mark + "\n" + plain,
        kUtf16LeMark + kUtf16LeMark + utf16(wide, false), "\xEF\xBB" + plain, "\xEF" + plain,
        "\xFF" + plain, "\xFE" + plain,
        // UTF-32 marks start like UTF-16LE ones; too rare in a settings file to model, but the
        // little-endian one must still not invent a setting.
        "\xFF\xFE\0\0"s + plain, kUtf8Mark, kUtf16LeMark, kUtf16BeMark, kUtf16LeMark + "\n",
        kUtf16LeMark + utf16(u"\0[Settings]\nShortPress=3\n"s, false)}) {
    out.push_back(file);
  }

  // Each code point in every gap of the gapped file, and in place of letters of the names.
  for (const char32_t point : kCodePoints) {
    const std::u16string units = utf16Units(point);
    const std::string encoded = utf8(point);
    for (size_t gap = 0; gap < gapCount(kGappedFile); gap += 2) {
      const std::string marker(1, '\x01');
      const std::string file = fillGap(kGappedFile, gap, marker);
      std::u16string wideFile;
      std::string utf8File;
      for (const char c : file) {
        wideFile += c == '\x01' ? units : std::u16string(1, static_cast<char16_t>(c));
        utf8File += c == '\x01' ? encoded : std::string(1, c);
      }
      out.push_back(kUtf16LeMark + utf16(wideFile, gap % 4 == 2));
      out.push_back(kUtf8Mark + utf8File);
    }
    for (const std::string_view spelled : {"[@ettings]\nShortPress=1\n[Settings]\nShortPress=2\n",
                                           "[Sett@ngs]\nShortPress=1\n[Settings]\nShortPress=2\n",
                                           "[Settings]\nShortPre@s=1\nShortPress=2\n"}) {
      std::u16string wideFile;
      std::string utf8File;
      for (const char c : spelled) {
        wideFile += c == '@' ? units : std::u16string(1, static_cast<char16_t>(c));
        utf8File += c == '@' ? encoded : std::string(1, c);
      }
      out.push_back(kUtf16LeMark + utf16(wideFile, false));
      out.push_back(kUtf16BeMark + utf16(wideFile, true));
      out.push_back(kUtf8Mark + utf8File);
    }
  }

  // Malformed UTF-8, including overlong spellings of '1', '[', line ends and NUL.
  for (const std::string& bad :
       {"\xC3"s, "\xE2\x80"s, "\xC0\xB1"s, "\xC0\x80"s, "\xC1\x9B"s, "\xC0\x8A"s, "\xE0\x80\xB1"s,
        "\xED\xA0\x80"s, "\xF4\x90\x80\x80"s, "\xF8\x88\x80\x80\x80"s, "\x80"s, "\xFF"s}) {
    for (const std::string_view pattern :
         {"[Settings]\nShortPress=@42\nLongPress=4@2\nHoldADS@=1\n",
          "[Settings@]\nShortPress=1\n[Settings]\nShortPress=2\n",
          "[Settings]\nShortPress=\"@\"\nLongPress=@\nHoldADS=@\n"}) {
      out.push_back(kUtf8Mark + fill(pattern, '@', bad));
    }
  }
}

// Pieces a settings file is made of, and pieces that confuse one.
constexpr std::string_view kPieces[] = {"[Settings]\n",
                                        "[Settings]\n",
                                        "ShortPress=",
                                        "ShortPress=",
                                        "LongPress=",
                                        "HoldADS=",
                                        "[Other]\n",
                                        "[",
                                        "]",
                                        "=",
                                        "=",
                                        ";",
                                        "#",
                                        "\"",
                                        "'",
                                        " ",
                                        " ",
                                        "\t",
                                        "\v",
                                        "\f",
                                        "\x1A",
                                        "\x01",
                                        "\r",
                                        "\n",
                                        "\n",
                                        "\r\n",
                                        std::string_view("\0", 1),
                                        "0",
                                        "1",
                                        "7",
                                        "9",
                                        "42",
                                        "0x",
                                        "0X",
                                        "0o",
                                        "0b",
                                        "-",
                                        "+",
                                        "Settings",
                                        "settings",
                                        "ShortPress",
                                        "shortpress",
                                        "HoldADS",
                                        "\xA0",
                                        "\xFF",
                                        "ffff",
                                        "4294967296",
                                        "0000000000",
                                        "\xEF\xBB\xBF",
                                        "x"};

void addRandom(Files& out) {
  std::mt19937 random(5078);  // seeded: the same files on every run
  const auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
  const auto randomBytes = [&](size_t n) {
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
  };

  for (int round = 0; round < 150; ++round) out.push_back(randomBytes(below(80)));
  for (int round = 0; round < 300; ++round) {
    out.push_back("[Settings]\nShortPress=" + randomBytes(below(40)) + "\nLongPress" +
                  randomBytes(below(4)) + "=" + randomBytes(below(8)) + "\n");
  }
  const std::string base = "[Settings]\nShortPress=12\nLongPress=\"34\"\nHoldADS = -56\n";
  for (int round = 0; round < 300; ++round) {
    std::string file = base;
    for (size_t edits = 1 + below(4); edits > 0; --edits) {
      const size_t at = below(file.size() + 1);
      const auto c = static_cast<char>(random() & 0xFF);
      if (random() % 2 == 0 || at == file.size()) {
        file.insert(at, 1, c);
      } else {
        file[at] = c;
      }
    }
    out.push_back(file);
  }

  constexpr size_t kPieceCount = sizeof(kPieces) / sizeof(kPieces[0]);
  for (int round = 0; round < 1600; ++round) {
    std::string file = random() % 2 == 0 ? "[Settings]\n" : "";
    for (size_t pieces = 1 + below(24); pieces > 0; --pieces) file += kPieces[below(kPieceCount)];
    switch (below(10)) {
      case 0:
        out.push_back(kUtf16LeMark + utf16(widened(file), false));
        break;
      case 1:
        out.push_back(kUtf16BeMark + utf16(widened(file), true));
        break;
      default:
        out.push_back(file);
        break;
    }
  }
}

Files generatedFiles() {
  Files files;
  addSpacing(files);
  addCase(files);
  addValues(files, numberValues());
  addValues(files, quotedValues());
  addValues(files, junkValues());
  addValues(files, lengthValues());
  addStructure(files);
  addLineEnds(files);
  addMutations(files);
  addHighBytes(files);
  addMarked(files);  // after the ASCII files, some of which it re-encodes
  addRandom(files);
  return files;
}

// ---- comparing ----------------------------------------------------------------------------------

std::string escaped(std::string_view bytes) {
  constexpr size_t kShown = 200;
  std::string out;
  for (size_t i = 0; i < bytes.size() && i < kShown; ++i) {
    const auto unit = static_cast<unsigned char>(bytes[i]);
    if (unit >= 0x20 && unit < 0x7F && unit != '\\') {
      out += static_cast<char>(unit);
    } else {
      char code[8];
      std::snprintf(code, sizeof(code), "\\x%02X", unit);
      out += code;
    }
  }
  if (bytes.size() > kShown) out += "... (" + std::to_string(bytes.size()) + " bytes)";
  return out;
}

// A fresh folder of this run's own, the current directory while it lives; the previous one is
// restored and the folder removed however the test ends.
class PrivateFolder {
 public:
  PrivateFolder() {
    const std::filesystem::path temp = std::filesystem::temp_directory_path();
    const std::string stem = "kestova-agreement-" + std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < 1000 && folder_.empty(); ++attempt) {
      const std::filesystem::path candidate = temp / (stem + std::to_string(attempt));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) folder_ = candidate;
    }
    if (folder_.empty()) return;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
  }

  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  ~PrivateFolder() {
    std::error_code ignored;
    if (!previous_.empty()) std::filesystem::current_path(previous_, ignored);
    if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
  }

  bool ok() const { return !folder_.empty(); }

 private:
  std::filesystem::path folder_;
  std::filesystem::path previous_;
};

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
  const PrivateFolder folder;
  ASSERT_TRUE(folder.ok());

  // Every file gets its own name: the real reader keeps files it has read, by name.
  std::vector<std::string> names;
  for (size_t i = 0; i < files.size(); ++i) {
    names.push_back(".\\f" + std::to_string(i) + ".ini");
    std::ofstream out(names.back(), std::ios::binary);
    out.write(files[i].data(), static_cast<std::streamsize>(files[i].size()));
    ASSERT_TRUE(out.good()) << names.back();
  }

  size_t reads = 0;
  std::vector<Disagreement> disagreements;
  const auto compare = [&](size_t file, const Query& query, int fallback) {
    const uint32_t real =
        GetPrivateProfileIntA(query.section, query.key, fallback, names[file].c_str());
    const profile::MemoryBytes bytes{reinterpret_cast<const unsigned char*>(files[file].data()),
                                     files[file].size()};
    const uint32_t standIn =
        profile::readInt(bytes, query.section, query.key, static_cast<uint32_t>(fallback));
    ++reads;
    if (real != standIn) {
      disagreements.push_back(
          {file, query, fallback, static_cast<int32_t>(real), static_cast<int32_t>(standIn)});
    }
  };
  constexpr size_t kOtherCount = sizeof(kOtherNames) / sizeof(kOtherNames[0]);
  for (size_t file = 0; file < files.size(); ++file) {
    const int fallback = kDefaults[file % 2];
    for (const Query& query : kSettingsKeys) compare(file, query, fallback);
    compare(file, kOtherNames[file % kOtherCount], kDefaults[(file + 1) % 2]);
  }

  std::printf("profile reader agreement: %zu/%zu reads, %zu files\n", reads - disagreements.size(),
              reads, files.size());
  constexpr size_t kShown = 12;
  for (size_t i = 0; i < disagreements.size() && i < kShown; ++i) {
    const Disagreement& d = disagreements[i];
    ADD_FAILURE() << "file " << d.file << ": \"" << escaped(files[d.file]) << "\"\n  ["
                  << d.query.section << "] " << d.query.key << ", default " << d.fallback
                  << ": real " << d.real << ", stand-in " << d.standIn;
  }
  EXPECT_TRUE(disagreements.empty()) << disagreements.size() << " disagreements";
}
