#include "tests/settings_files.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string_view>

#include "tests/support/bytes.h"

using namespace std::string_literals;
using namespace std::string_view_literals;
using testing_support::Endian;
using testing_support::utf16;

namespace settings_files {
namespace {

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

// Each byte as the code point of the same number: 0x80-0xFF become C1 controls and Latin-1.
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

// Places a blank can sit in, '@', in a section line and in three entries. The section's gaps are
// filled one at a time, as a broken header hides every entry; gap k of each entry is filled in
// the same file, since each entry is read under its own key.
constexpr std::string_view kSectionGaps = "@[@Settings@]@\n";
constexpr std::string_view kEntryGaps[] = {"@ShortPress@=@42@\n", "@LongPress@=@-@1@7@\n",
                                           "HoldADS=@\"@9@\"@\n"};

std::vector<std::string> gappedFiles(std::string_view with) {
  std::vector<std::string> files;
  std::string entries;
  for (const std::string_view entry : kEntryGaps) entries += fill(entry, '@', "");
  for (size_t gap = 0; gap < gapCount(kSectionGaps); ++gap) {
    files.push_back(fillGap(kSectionGaps, gap, with) + entries);
  }
  size_t mostGaps = 0;
  for (const std::string_view entry : kEntryGaps) mostGaps = std::max(mostGaps, gapCount(entry));
  for (size_t gap = 0; gap < mostGaps; ++gap) {
    std::string file = "[Settings]\n";
    for (const std::string_view entry : kEntryGaps) file += fillGap(entry, gap, with);
    files.push_back(file);
  }
  std::string everywhere = fill(kSectionGaps, '@', with);
  for (const std::string_view entry : kEntryGaps) everywhere += fill(entry, '@', with);
  files.push_back(everywhere);
  return files;
}

void addSpacing(Files& out) {
  std::string blanks = blanksToTry();
  for (const char blank : blanks) {
    const std::string one(1, blank);
    for (std::string& file : gappedFiles(one)) out.push_back(std::move(file));
    // Values of nothing but the blank, bare and quoted.
    out.push_back(fill("[Settings]\nShortPress=@\nLongPress=@@5\nHoldADS=\"@\"\n", '@', one));
    out.push_back(fill("[Settings]\nShortPress=@@\nLongPress='@'\nHoldADS=@\"\"@\n", '@', one));
  }
  for (std::string& file : gappedFiles("\t \v\f\x1A ")) out.push_back(std::move(file));
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
  for (const std::string& v :
       {"42"s, "-42"s, "0x1F"s, " 7"s, "7 "s, ""s, "  "s, "x"s, "7 x"s, "\t9"s, "\x01"s + "3"}) {
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
  for (const std::string& junk :
       {"abc"s, " 1"s, ";c"s, " ;c"s,  "#"s,    "=1"s, "\""s,  "'"s,          "\x01"s,
        ".5"s,  "e3"s, ",1"s, "\xA0"s, "\xFF"s, "]"s,  "["s,   "\x1A"s + "5", "\t5"s,
        "\v5"s, "-"s,  "+1"s, "0x1"s,  "\\"s,   "%"s,  "\x7F"s}) {
    values.push_back("42" + junk);
    values.push_back("-0x2a" + junk);
    values.push_back(junk + "42");
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

// Three values to a file, one under each key, framed bare, spaced and tabbed; which value gets
// which key, the line ends and the final newline vary from file to file.
void addValues(Files& out, const std::vector<std::string>& values) {
  static constexpr const char* kEnds[] = {"\n", "\r\n", "\r"};
  for (size_t first = 0; first < values.size(); first += 3) {
    const size_t index = out.size();
    const auto value = [&](size_t slot) {
      const size_t at = first + (slot + index) % 3;
      return at < values.size() ? values[at] : "";
    };
    const char* end = kEnds[index % 3];
    std::string file = "[Settings]"s + end + "ShortPress=" + value(0) + end +
                       "LongPress = " + value(1) + " " + end + "\tHoldADS\t=\t" + value(2) + "\t";
    if (index % 4 != 0) file += end;
    out.push_back(std::move(file));
  }
}

// Duplicate keys and sections, headers of every shape, comment marks, line ends inside things,
// empty values and files, and lines longer than any buffer.
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
           // What other readers take for comments.
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
  // Lines longer than any buffer a reader might read them through.
  out.push_back("[Settings]\n" + std::string(5000, 'x') + "\nShortPress=7\n");
  out.push_back("[" + std::string(5000, 'S') + "]\nShortPress=1\n[Settings]\nShortPress=2\n");
  out.push_back(";" + std::string(70000, 'x') + "\n[Settings]\nHoldADS=3\n");
  out.push_back("[Settings]\nShortPress=" + std::string(70000, ' ') + "42\n");
  out.push_back("[Settings]\nShortPress=" + std::string(100000, '9') + "\nLongPress=\"" +
                std::string(100000, '0') + "5\"\n");
  out.push_back("[Settings]\n" + std::string(70000, 'K') + "=1\nHoldADS" + std::string(70000, ' ') +
                "=3\n");
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
  const std::string inserted = "\0 \t\x1A\x01\r\n;=[]\"\xA0"s;
  for (size_t at = 0; at <= base.size(); ++at) {
    for (const char c : inserted) out.push_back(base.substr(0, at) + c + base.substr(at));
    if (at < base.size()) {
      out.push_back(base.substr(0, at) + base.substr(at + 1));
      for (const char c : "\0;"s) {
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

// Files with byte-order marks: some of the ASCII files above re-encoded, and non-ASCII text.
void addMarked(Files& out) {
  const size_t asciiCount = out.size();
  for (size_t i = 0; i < asciiCount; i += 25) {
    const std::string& text = out[i];
    out.push_back(kUtf8Mark + text);
    out.push_back(kUtf16LeMark + utf16(widened(text), Endian::little));
    out.push_back(kUtf16BeMark + utf16(widened(text), Endian::big));
  }
  const std::string plain = "[Settings]\nShortPress=25\nLongPress=\"-3\"\nHoldADS=0x10\n";
  const std::u16string wide = widened(plain);
  for (const std::string& file :
       {utf16(wide, Endian::little), utf16(wide, Endian::big),
        kUtf16LeMark + utf16(wide, Endian::little) + "7",
        kUtf16BeMark + utf16(wide, Endian::big) + "7", kUtf16LeMark + utf16(wide, Endian::big),
        kUtf16BeMark + utf16(wide, Endian::little), kUtf8Mark + kUtf8Mark + plain,
        kUtf8Mark + "\n" + plain, kUtf16LeMark + kUtf16LeMark + utf16(wide, Endian::little),
        "\xEF\xBB" + plain, "\xEF" + plain, "\xFF" + plain, "\xFE" + plain,
        // UTF-32 is not modelled: its little-endian mark reads as UTF-16LE's and a NUL.
        "\xFF\xFE\0\0"s + plain, kUtf8Mark, kUtf16LeMark, kUtf16BeMark, kUtf16LeMark + "\n",
        kUtf16LeMark + utf16(u"\0[Settings]\nShortPress=3\n"s, Endian::little)}) {
    out.push_back(file);
  }

  // Each code point in the gaps of the gapped files and in place of letters of the names, in
  // UTF-8 and in UTF-16 of both byte orders.
  size_t turn = 0;
  for (const char32_t point : kCodePoints) {
    const std::u16string units = utf16Units(point);
    const std::string encoded = utf8(point);
    const auto encodeBoth = [&](std::string_view text, char marker) {
      std::u16string wideFile;
      std::string utf8File;
      for (const char c : text) {
        wideFile += c == marker ? units : std::u16string(1, static_cast<char16_t>(c));
        utf8File += c == marker ? encoded : std::string(1, c);
      }
      const bool bigEndian = ++turn % 2 == 0;
      out.push_back((bigEndian ? kUtf16BeMark : kUtf16LeMark) +
                    utf16(wideFile, bigEndian ? Endian::big : Endian::little));
      out.push_back(kUtf8Mark + utf8File);
    };
    for (const std::string& file : gappedFiles("\x01")) encodeBoth(file, '\x01');
    for (const std::string_view spelled : {"[@ettings]\nShortPress=1\n[Settings]\nShortPress=2\n",
                                           "[Sett@ngs]\nShortPress=1\n[Settings]\nShortPress=2\n",
                                           "[Settings]\nShortPre@s=1\nShortPress=2\n"}) {
      encodeBoth(spelled, '@');
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

void addRandom(Files& out) {
  std::mt19937 random(5078);  // seeded: the same files on every run
  const auto below = [&](size_t n) { return static_cast<size_t>(random() % n); };
  const auto randomBytes = [&](size_t n) {
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
  };

  for (int round = 0; round < 150; ++round) out.push_back(randomBytes(below(80)));
  for (int round = 0; round < 200; ++round) {
    out.push_back("[Settings]\nShortPress=" + randomBytes(below(40)) + "\nLongPress" +
                  randomBytes(below(4)) + "=" + randomBytes(below(8)) + "\n");
  }
  const std::string base = "[Settings]\nShortPress=12\nLongPress=\"34\"\nHoldADS = -56\n";
  for (int round = 0; round < 200; ++round) {
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

  // Files strung together from pieces a settings file is made of and pieces that confuse one,
  // the likelier ones given twice; '|' parts them.
  constexpr std::string_view kPieces =
      "[Settings]\n|[Settings]\n|ShortPress=|ShortPress=|LongPress=|HoldADS=|[Other]\n|"
      "[|]|=|=|;|#|\"|'| | |\t|\v|\f|\x1A|\x01|\r|\n|\n|\r\n|\0|0|1|7|9|42|0x|0X|0o|0b|-|+|"
      "Settings|settings|ShortPress|shortpress|HoldADS|\xA0|\xFF|ffff|4294967296|0000000000|"
      "\xEF\xBB\xBF|x"sv;
  std::vector<std::string_view> pieces;
  for (size_t begin = 0; begin <= kPieces.size();) {
    const size_t end = std::min(kPieces.find('|', begin), kPieces.size());
    pieces.push_back(kPieces.substr(begin, end - begin));
    begin = end + 1;
  }
  for (int round = 0; round < 1000; ++round) {
    std::string file = random() % 2 == 0 ? "[Settings]\n" : "";
    for (size_t count = 1 + below(24); count > 0; --count) file += pieces[below(pieces.size())];
    switch (below(10)) {
      case 0:
        out.push_back(kUtf16LeMark + utf16(widened(file), Endian::little));
        break;
      case 1:
        out.push_back(kUtf16BeMark + utf16(widened(file), Endian::big));
        break;
      default:
        out.push_back(file);
        break;
    }
  }
}

// Files holding the names of kOddNames.
}  // namespace

Files oddNameFiles() {
  Files files = {
      "ShortPress=1\nLongPress=2\n=3\n[Other]\nShortPress=4\nLongPress=5\n[Settings]\nShort "
      "Press=6\n#ShortPress=7\nShort=Press=8\n=9\n"s,
      " ShortPress = 1\n[]\nLongPress=2\n[other]\nLongPress=3\n[Settings]\n = 4\nShort Press = 5\n"s,
      "\n;c\nLongPress\nShortPress=1\n[OTHER]\nShortPress=2\n[Other]\nShortPress=3\n"s,
      "[]\nShortPress=1\n[ ]\nLongPress=2\n=3\n"s,
      "[\0x]\nShortPress=1\n=3\n"s,
      "=1\n[Settings]\n=2\n"s,
      "\0=1\n[Settings]\n\0x=2\nShortPress=3\n"s,
      "[Set tings]\nShortPress=1\n[Settings]]\nShortPress=2\n[[Settings]\nShortPress=3\n"s,
      "[ Set tings ]\nShortPress=1\n[\tSettings]\t]\nShortPress=2\n"s,
      "[Set  tings]\nShortPress=1\n[Set tings]\nShortPress=2\n"s,
      "[Settings]\n;ShortPress=1\n ;ShortPress=2\nx;ShortPress=3\n"s,
      "[Settings]\n#ShortPress\n#ShortPress=2\n# ShortPress=3\n"s,
      "[Settings]\nShort  Press=1\nShort Press=2\nShort=Press=3\n"s,
      "[Settings]\n\"Short Press\"=1\nShort\tPress=2\n"s,
      "[Settings]\n=\n=2\n"s,
      "[Settings]\n=5\n[Other]\nLongPress=6\n[Other]\nShortPress=7\n"s,
      "[Other]\n[Settings]\nShortPress=1\n[Other]\nShortPress=2\n"s,
      "[Other] junk\nShortPress=1\n[ Other ]\nShortPress=2\n"s,
      "LongPress = -3 \r\nShortPress=\"7\"\r\n[Other]\r\nLongPress=0x10\r\n"s,
      "ShortPress\nShortPress=2\n[Settings]\n"s,
      ";[Other]\n[Other\nShortPress=1\n"s,
      ";ShortPress=1\n[Settings]\n[ShortPress=2\n[=3\n;=4\n"s,
      "[Settings]\n[\n[=3\n;\n;=4\n[ShortPress\n[ShortPress=5\n"s,
      "[Settings]\n [ ShortPress = 6\n ; = 7\n"s,
  };
  for (size_t i = 0, count = files.size(); i < count; i += 2) {
    files.push_back(kUtf16LeMark + utf16(widened(files[i]), Endian::little));
  }
  return files;
}

Files generatedFiles() {
  Files files = oddNameFiles();  // first: kOddNames are asked of them by index
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

}  // namespace settings_files
