// profile::scanInteger: the same number parseInteger reads, and where it stopped, for tools that
// explain a value to a player.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

#include "compat/profile_reader.h"

namespace {

struct Text {
  std::string_view units;
  size_t size() const { return units.size(); }
  uint32_t operator[](size_t index) const { return static_cast<unsigned char>(units[index]); }
};

profile::IntegerScan scan(std::string_view value) {
  return profile::scanInteger(Text{value}, {0, value.size()});
}

TEST(CheckIntegerScan, StopsWhereTheNumberStopsAndKnowsItsBase) {
  struct Case {
    std::string_view value;
    size_t digitsBegin;
    size_t end;
    uint32_t base;
  };
  const Case cases[] = {
      {"70ms", 0, 2, 10},        {"  -0x1fz", 5, 7, 16}, {"0X10", 0, 1, 10}, {"0x", 2, 2, 16},
      {"abc", 0, 0, 10},         {"+0b102", 3, 5, 2},    {"1.5", 0, 1, 10},  {"0o78", 2, 3, 8},
      {"\x01\x02 42", 3, 5, 10}, {"", 0, 0, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.value));
    const profile::IntegerScan s = scan(c.value);
    EXPECT_EQ(s.digitsBegin, c.digitsBegin);
    EXPECT_EQ(s.end, c.end);
    EXPECT_EQ(s.base, c.base);
  }
}

TEST(CheckIntegerScan, OverflowIsOnlyDigitsPastThirtyTwoBits) {
  EXPECT_FALSE(scan("4294967295").overflowed);
  EXPECT_TRUE(scan("4294967296").overflowed);
  EXPECT_TRUE(scan("-4294967297").overflowed);
  EXPECT_FALSE(scan("0xFFFFFFFF").overflowed);
  EXPECT_TRUE(scan("0x100000000").overflowed);
  // Leading zeros are no overflow, however many.
  EXPECT_FALSE(scan("000000000000000000000000007").overflowed);
  EXPECT_TRUE(scan("-5").negative);
}

TEST(CheckIntegerScan, ReadsTheSameValueAsParseIntegerOnAnyText) {
  std::mt19937 random(7);
  const std::string_view alphabet = "0123456789abxoXB+- \t.\x01\"";
  for (int round = 0; round < 20000; ++round) {
    std::string value(random() % 16, ' ');
    for (char& c : value) c = alphabet[random() % alphabet.size()];
    const Text text{value};
    ASSERT_EQ(profile::scanInteger(text, {0, value.size()}).value,
              profile::parseInteger(text, {0, value.size()}))
        << value;
  }
}

}  // namespace
