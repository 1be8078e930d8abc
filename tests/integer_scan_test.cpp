// profile::scanInteger, the reader's one integer parser: where the number starts and stops, for
// tools that explain a value to a player, and the value it reads from those digits.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

#include "profile/value.h"

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

// strtoull, an independent reader of the digits, agrees on the value, modulo 2^32 and negated
// for a minus, and on whether the digits overflowed 32 bits.
TEST(CheckIntegerScan, TheValueIsTheDigitsItReportsWrappedToThirtyTwoBits) {
  std::mt19937 random(7);
  const std::string_view alphabet = "0123456789abxoXB+- \t.\x01\"";
  for (int round = 0; round < 20000; ++round) {
    // At most 16 digits: strtoull reads them all without overflowing 64 bits.
    std::string value(random() % 17, ' ');
    for (char& c : value) c = alphabet[random() % alphabet.size()];
    const profile::IntegerScan s = scan(value);
    ASSERT_LE(s.digitsBegin, s.end) << value;
    const std::string digits = value.substr(s.digitsBegin, s.end - s.digitsBegin);
    char* stop = nullptr;
    const unsigned long long wide = std::strtoull(digits.c_str(), &stop, static_cast<int>(s.base));
    ASSERT_EQ(stop, digits.c_str() + digits.size()) << value << ": not all digits";
    const auto low = static_cast<uint32_t>(wide);
    ASSERT_EQ(s.value, s.negative ? 0u - low : low) << value;
    ASSERT_EQ(s.overflowed, wide > 0xFFFFFFFFu) << value;
    if (s.end < value.size()) {
      ASSERT_GE(profile::digitValue(static_cast<unsigned char>(value[s.end])), s.base) << value;
    }
  }
}

}  // namespace
