#include "platform/runtime/decimal.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace runtime {
namespace {

Decimal D(const char* text) {
  const Decimal value = Decimal::parse(text);
  EXPECT_TRUE(value.ok()) << text;
  return value;
}

std::string hex(const unsigned char* bytes, int size) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (int i = 0; i < size; ++i) {
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 0x0F];
  }
  return text;
}

std::vector<unsigned char> bytesOf(const std::string& hexText) {
  std::vector<unsigned char> bytes;
  for (std::size_t i = 0; i + 1 < hexText.size(); i += 2)
    bytes.push_back(static_cast<unsigned char>(std::stoi(hexText.substr(i, 2), nullptr, 16)));
  return bytes;
}

TEST(Decimal, TextRoundTrips) {
  const struct {
    const char* text;
    const char* expected;
    int scale;
  } cases[] = {
      {"0", "0", 0},
      {"  12.50  ", "12.50", 2},
      {"+5", "5", 0},
      {"-.5", "-0.5", 1},
      {"7.", "7", 0},
      {"007.250", "7.250", 3},
      {"-0", "0", 0},
      {"-0.000", "0.000", 3},
      {"1234567890123456789012345678901", "1234567890123456789012345678901", 0},
      {"-0.1234567890123456789012345678901", "-0.1234567890123456789012345678901", 31},
      {"000000000000000000000000000000000000042", "42", 0},
      // More than 31 digits: the digits after the point are rounded away, half away from zero.
      {"0.12345678901234567890123456789015", "0.1234567890123456789012345678902", 31},
      {"-123456789012345678901234567890.15", "-123456789012345678901234567890.2", 1},
      {"1.00000000000000000000000000000000000000000", "1.000000000000000000000000000000", 30},
      {"0.000000000000000000000000000000000000001", "0.0000000000000000000000000000000", 31},
  };
  for (const auto& c : cases) {
    const Decimal value = Decimal::parse(c.text);
    EXPECT_TRUE(value.ok()) << c.text;
    EXPECT_EQ(value.toString(), c.expected) << c.text;
    EXPECT_EQ(value.scale(), c.scale) << c.text;
    EXPECT_EQ(Decimal::parse(value.toString()).toString(), c.expected) << c.text;
  }
}

TEST(Decimal, JunkAndOverlongTextGiveZeroWithAStatus) {
  const struct {
    const char* text;
    DecimalStatus status;
  } cases[] = {
      {"", DecimalStatus::Invalid},
      {"   ", DecimalStatus::Invalid},
      {"abc", DecimalStatus::Invalid},
      {"1.2.3", DecimalStatus::Invalid},
      {"1e5", DecimalStatus::Invalid},
      {"--1", DecimalStatus::Invalid},
      {"+-1", DecimalStatus::Invalid},
      {"1 2", DecimalStatus::Invalid},
      {"- 1", DecimalStatus::Invalid},
      {".", DecimalStatus::Invalid},
      {"-", DecimalStatus::Invalid},
      {"1,5", DecimalStatus::Invalid},
      {"0x10", DecimalStatus::Invalid},
      {"12\t", DecimalStatus::Invalid},
      {"12345678901234567890123456789012", DecimalStatus::Overflow},
      {"-9999999999999999999999999999999.5", DecimalStatus::Overflow},
  };
  for (const auto& c : cases) {
    const Decimal value = Decimal::parse(c.text);
    EXPECT_EQ(value.status(), c.status) << c.text;
    EXPECT_TRUE(value.isZero()) << c.text;
    EXPECT_EQ(value.toString(), "0") << c.text;
  }
}

TEST(Decimal, ArithmeticIsExact) {
  enum Op { Add, Sub, Mul };
  const struct {
    Op op;
    const char* a;
    const char* b;
    const char* expected;
  } cases[] = {
      {Add, "0.1", "0.2", "0.3"},
      {Add, "1.10", "2.205", "3.305"},
      {Sub, "5", "7.5", "-2.5"},
      {Add, "-2.5", "2.50", "0.00"},
      {Sub, "-1", "-1", "0"},
      {Mul, "1.5", "-2.25", "-3.375"},
      {Mul, "-0.5", "0", "0.0"},
      {Mul, "-3", "-0.1", "0.3"},
      {Add, "9999999999999999999999999999998", "1", "9999999999999999999999999999999"},
      {Sub, "-9999999999999999999999999999999", "-9999999999999999999999999999999", "0"},
      // Exact results of more than 31 digits lose digits after the point.
      {Add, "1", "0.0000000000000000000000000000001", "1.000000000000000000000000000000"},
      {Add, "1", "0.0000000000000000000000000000005", "1.000000000000000000000000000001"},
      {Mul, "0.5000000000000000000000000000001", "2", "1.000000000000000000000000000000"},
      {Mul, "1234567890123456.789", "-9876543210.98765", "-12193263113702174187806784.78766"},
      // Rounding up to 32 digits drops one place more.
      {Add, "99999999999999.99999999999999999", "0.000000000000000005",
       "100000000000000.0000000000000000"},
  };
  for (const auto& c : cases) {
    const Decimal a = D(c.a), b = D(c.b);
    const Decimal result = c.op == Add ? a + b : c.op == Sub ? a - b : a * b;
    EXPECT_TRUE(result.ok()) << c.a << " " << c.b;
    EXPECT_EQ(result.toString(), c.expected) << c.a << " " << c.b;
    EXPECT_FALSE(result.isZero() && result.isNegative()) << c.a << " " << c.b;
  }
}

TEST(Decimal, OverflowAndStatusesPassOn) {
  const Decimal largest = D("9999999999999999999999999999999");
  EXPECT_EQ((largest + D("1")).status(), DecimalStatus::Overflow);
  EXPECT_EQ((-largest - D("0.5")).status(), DecimalStatus::Overflow);
  EXPECT_EQ((D("10000000000000000") * D("1000000000000000")).status(), DecimalStatus::Overflow);
  EXPECT_TRUE((D("10000000000000000") * D("100000000000000")).ok());
  EXPECT_EQ((largest + D("0.4")).toString(), "9999999999999999999999999999999");

  const Decimal junk = Decimal::parse("x");
  EXPECT_EQ((junk + D("5")).status(), DecimalStatus::Invalid);
  EXPECT_TRUE((junk + D("5")).isZero());
  EXPECT_EQ((D("5") * junk).status(), DecimalStatus::Invalid);
  EXPECT_EQ(junk.rounded(2).status(), DecimalStatus::Invalid);
  const Decimal overflow = largest + largest;
  EXPECT_EQ((overflow - junk).status(), DecimalStatus::Overflow);  // the first operand's first
  EXPECT_EQ(divide(junk, D("0"), 2).status(), DecimalStatus::Invalid);
}

TEST(Decimal, DivisionRoundsHalfAwayFromZero) {
  const struct {
    const char* a;
    const char* b;
    int scale;
    const char* expected;
  } cases[] = {
      {"1", "3", 5, "0.33333"},
      {"2", "3", 5, "0.66667"},
      {"-2", "3", 2, "-0.67"},
      {"1", "8", 2, "0.13"},
      {"-1", "8", 2, "-0.13"},
      {"1", "-8", 2, "-0.13"},
      {"10", "4", 0, "3"},
      {"-10", "4", 0, "-3"},
      {"7.5", "2.5", 0, "3"},
      {"1.000000000000", "3", 0, "0"},
      {"-0.001", "7", 2, "0.00"},
      {"1", "7", 31, "0.1428571428571428571428571428571"},
      {"1", "1234567890123456789012345.678901", 31, "0.0000000000000000000000008100000"},
      {"9999999999999999999999999999999", "3333333333333333333333333333333", 2, "3.00"},
      {"1234567890123456789012345678901", "98765432109876543210.123", 10, "12499999886.0937500015"},
      // A quotient of more than 31 digits keeps fewer places than asked.
      {"1", "0.0000000000000000000000000000003", 2, "3333333333333333333333333333333"},
  };
  for (const auto& c : cases) {
    const Decimal result = divide(D(c.a), D(c.b), c.scale);
    EXPECT_TRUE(result.ok()) << c.a << " / " << c.b;
    EXPECT_EQ(result.toString(), c.expected) << c.a << " / " << c.b;
  }
  EXPECT_EQ(divide(D("1"), D("0.00"), 2).status(), DecimalStatus::DivisionByZero);
  EXPECT_EQ(divide(D("9999999999999999999999999999999"), D("0.1"), 0).status(),
            DecimalStatus::Overflow);
}

TEST(Decimal, RoundingAndTruncationToAScale) {
  const struct {
    const char* value;
    int scale;
    const char* rounded;
    const char* truncated;
  } cases[] = {
      {"2.345", 2, "2.35", "2.34"},
      {"-2.345", 2, "-2.35", "-2.34"},
      {"2.344", 2, "2.34", "2.34"},
      {"-0.004", 2, "0.00", "0.00"},
      {"-0.005", 2, "-0.01", "0.00"},
      {"9.995", 2, "10.00", "9.99"},
      {"1.5", 3, "1.500", "1.500"},
      {"1.5", -1, "2", "1"},  // a scale below 0 is taken as 0
      {"123456789012345678901234567890", 5, "123456789012345678901234567890.0",
       "123456789012345678901234567890.0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(D(c.value).rounded(c.scale).toString(), c.rounded) << c.value;
    EXPECT_EQ(D(c.value).truncated(c.scale).toString(), c.truncated) << c.value;
  }
}

TEST(Decimal, ComparesNumericallyWhateverTheScale) {
  EXPECT_EQ(D("1.5"), D("1.50"));
  EXPECT_EQ(D("-0.0"), D("0"));
  EXPECT_EQ(Decimal::parse("junk"), Decimal());
  const char* ascending[] = {"-9999999999999999999999999999999",
                             "-100",
                             "-12.5",
                             "-12.49",
                             "-1",
                             "-0.0000000000000000000000000000001",
                             "0",
                             "0.001",
                             "0.01",
                             "0.1",
                             "1",
                             "9.99",
                             "10",
                             "9999999999999999999999999999999"};
  for (std::size_t i = 0; i < std::size(ascending); ++i)
    for (std::size_t j = 0; j < std::size(ascending); ++j) {
      const int expected = i < j ? -1 : (i > j ? 1 : 0);
      EXPECT_EQ(compare(D(ascending[i]), D(ascending[j])), expected)
          << ascending[i] << " " << ascending[j];
    }
}

TEST(Decimal, LongsAndDoubles) {
  EXPECT_EQ(Decimal::fromLong(LLONG_MIN).toString(), "-9223372036854775808");
  EXPECT_EQ(Decimal::fromLong(LLONG_MAX).toLong(), LLONG_MAX);
  EXPECT_EQ(Decimal::fromLong(LLONG_MIN).toLong(), LLONG_MIN);
  EXPECT_EQ(D("-2.7").toLong(), -2);
  EXPECT_EQ(D("-0.7").toLong(), 0);
  EXPECT_EQ(D("9223372036854775808").toLong(), std::nullopt);
  EXPECT_EQ(D("-9223372036854775809").toLong(), std::nullopt);

  const struct {
    double value;
    const char* expected;
  } doubles[] = {{0.1, "0.1"},
                 {-2.5, "-2.5"},
                 {0.0, "0"},
                 {-0.0, "0"},
                 {1e30, "1000000000000000000000000000000"},
                 {123456.789, "123456.789"}};
  for (const auto& c : doubles) {
    const Decimal value = Decimal::fromDouble(c.value);
    EXPECT_TRUE(value.ok()) << c.value;
    EXPECT_EQ(value.toString(), c.expected) << c.value;
    EXPECT_EQ(value.toDouble(), c.value) << c.value;
  }
  EXPECT_EQ(Decimal::fromDouble(1e31).status(), DecimalStatus::Overflow);
  EXPECT_EQ(Decimal::fromDouble(std::numeric_limits<double>::quiet_NaN()).status(),
            DecimalStatus::Invalid);
  EXPECT_EQ(Decimal::fromDouble(-std::numeric_limits<double>::infinity()).status(),
            DecimalStatus::Invalid);
  EXPECT_TRUE(Decimal::fromDouble(5e-324).isZero());

  // Nearest: just above the midpoint between 2^53 and 2^53 + 2.
  EXPECT_EQ(D("9007199254740993.000000000000001").toDouble(), 9007199254740994.0);
  EXPECT_EQ(D("9007199254740992.999999999999999").toDouble(), 9007199254740992.0);
  EXPECT_EQ(D("0.3333333333333333333333333333333").toDouble(), 1.0 / 3.0);
}

TEST(PackedDecimal, Layouts) {
  const struct {
    int digits;
    int scale;
    bool pdecimal;
    const char* value;
    const char* bytes;
  } cases[] = {
      {7, 2, false, "12.5", "00001250"},
      {7, 2, false, "-12.5", "80001250"},
      {7, 2, true, "12.5", "0001250F"},
      {7, 2, true, "-12.5", "0001250D"},
      {3, 0, true, "-5", "005D"},
      {1, 0, false, "9", "09"},
      {1, 0, true, "-9", "9D"},
      {6, 2, false, "12345.67", "01234567"},  // an even count holds one digit more
      {6, 2, true, "-12345.67", "1234567D"},
      {4, 4, false, "-0.1234", "801234"},
      {31, 0, false, "-9999999999999999999999999999999", "89999999999999999999999999999999"},
      {31, 31, true, "0.1234567890123456789012345678901", "1234567890123456789012345678901F"},
      {30, 10, false, "-12345678901234567890.0123456789", "80123456789012345678900123456789"},
  };
  for (const auto& c : cases) {
    const int size = packedSize(c.digits);
    unsigned char bytes[16];
    ASSERT_TRUE(packDecimal(D(c.value), c.digits, c.scale, c.pdecimal, bytes)) << c.value;
    EXPECT_EQ(hex(bytes, size), c.bytes) << c.digits << "," << c.scale << " " << c.value;
    const Decimal back = unpackDecimal(bytes, c.digits, c.scale, c.pdecimal);
    EXPECT_TRUE(back.ok()) << c.value;
    EXPECT_EQ(back, D(c.value)) << c.value;
    EXPECT_EQ(back.scale(), c.scale) << c.value;
  }
}

TEST(PackedDecimal, EveryDigitCountHoldsItsCapacity) {
  for (int digits = 1; digits <= Decimal::MaxDigits; ++digits) {
    const int size = packedSize(digits);
    EXPECT_EQ(size, digits / 2 + 1);
    const int held = 2 * size - 1;
    for (int scale : {0, digits / 2, digits}) {
      for (bool pdecimal : {false, true}) {
        // The largest value the field holds, negative, then one unit of its last place more.
        std::string text = "-" + std::string(std::size_t(held - scale), '9');
        if (scale > 0) text += "." + std::string(std::size_t(scale), '9');
        const Decimal largest = D(text.c_str());
        unsigned char bytes[16];
        ASSERT_TRUE(packDecimal(largest, digits, scale, pdecimal, bytes)) << text;
        EXPECT_EQ(unpackDecimal(bytes, digits, scale, pdecimal), largest) << text;
        const Decimal unit =
            scale > 0 ? D(("0." + std::string(std::size_t(scale - 1), '0') + "1").c_str()) : D("1");
        EXPECT_FALSE(packDecimal(largest - unit, digits, scale, pdecimal, bytes)) << text;
      }
    }
  }
}

TEST(PackedDecimal, RoundingAndOverflowOnPacking) {
  unsigned char bytes[16];
  ASSERT_TRUE(packDecimal(D("1.005"), 5, 2, false, bytes));
  EXPECT_EQ(unpackDecimal(bytes, 5, 2, false).toString(), "1.01");
  ASSERT_TRUE(packDecimal(D("-123.455"), 5, 2, true, bytes));
  EXPECT_EQ(unpackDecimal(bytes, 5, 2, true).toString(), "-123.46");
  // A negative value that rounds to zero is stored as a positive zero.
  ASSERT_TRUE(packDecimal(D("-0.001"), 5, 2, false, bytes));
  EXPECT_EQ(hex(bytes, 3), "000000");
  ASSERT_TRUE(packDecimal(D("-0.001"), 5, 2, true, bytes));
  EXPECT_EQ(hex(bytes, 3), "00000F");
  // Too many digits before the point: reported, and the low-order digits are kept.
  EXPECT_FALSE(packDecimal(D("123456.7"), 5, 2, false, bytes));
  EXPECT_EQ(unpackDecimal(bytes, 5, 2, false).toString(), "456.70");
  EXPECT_FALSE(packDecimal(D("-1000"), 5, 2, false, bytes));
  EXPECT_EQ(hex(bytes, 3), "000000");
  // An unsound value stores zero and says so.
  EXPECT_FALSE(packDecimal(Decimal::parse("junk"), 5, 2, false, bytes));
  EXPECT_EQ(hex(bytes, 3), "000000");
}

TEST(PackedDecimal, RefusedDeclarationsWriteNothing) {
  const struct {
    int digits;
    int scale;
  } cases[] = {{0, 0}, {32, 0}, {-1, 0}, {5, 6}, {5, -1}};
  for (const auto& c : cases) {
    unsigned char bytes[20];
    std::memset(bytes, 0xAB, sizeof bytes);
    EXPECT_FALSE(packDecimal(D("1"), c.digits, c.scale, false, bytes));
    EXPECT_EQ(bytes[0], 0xAB);
    EXPECT_EQ(unpackDecimal(bytes, c.digits, c.scale, true).status(), DecimalStatus::Invalid);
    EXPECT_EQ(decimalKeyImage(D("1"), c.digits, c.scale), "");
  }
  EXPECT_EQ(packedSize(0), 0);
  EXPECT_EQ(packedSize(32), 0);
}

TEST(PackedDecimal, CorruptNibbles) {
  const struct {
    const char* bytes;
    bool pdecimal;
    DecimalStatus status;
    const char* value;
  } cases[] = {
      {"0000A250", false, DecimalStatus::Invalid, "0"},  // a digit nibble above 9
      {"FFFFFFFF", false, DecimalStatus::Invalid, "0"},
      {"000125FF", true, DecimalStatus::Invalid, "0"},   // the sign nibble in a digit place
      {"30001250", false, DecimalStatus::Ok, "-12.50"},  // any non-zero sign is negative
      {"80000000", false, DecimalStatus::Ok, "0.00"},    // a negative zero reads as zero
      {"0001250C", true, DecimalStatus::Ok, "12.50"},    // anything but D is positive
      {"0001250B", true, DecimalStatus::Ok, "12.50"},
      {"00012500", true, DecimalStatus::Ok, "12.50"},
      {"0000000D", true, DecimalStatus::Ok, "0.00"},
  };
  for (const auto& c : cases) {
    const std::vector<unsigned char> bytes = bytesOf(c.bytes);
    const Decimal value = unpackDecimal(bytes.data(), 7, 2, c.pdecimal);
    EXPECT_EQ(value.status(), c.status) << c.bytes;
    EXPECT_EQ(value.toString(), c.value) << c.bytes;
    EXPECT_FALSE(value.isZero() && value.isNegative()) << c.bytes;
  }
  const std::vector<unsigned char> negativeZero = bytesOf("80000000"), zero = bytesOf("00000000");
  EXPECT_EQ(comparePacked(negativeZero.data(), zero.data(), 7, 2, false), 0);
}

TEST(PackedDecimal, KeyImagesSortAsTheValues) {
  // Mixed signs and scales, ascending as a DECIMAL(5,2) or DECIMAL(6,2) holds them.
  const char* ascending[] = {"-999.99", "-100", "-12.5", "-12.49", "-1", "-0.01", "0",
                             "0.01",    "0.1",  "1",     "9.99",   "10", "999.99"};
  for (int digits : {5, 6}) {
    std::vector<std::string> images;
    std::vector<std::vector<unsigned char>> packed;
    for (const char* text : ascending) {
      images.push_back(decimalKeyImage(D(text), digits, 2));
      EXPECT_EQ(images.back().size(), std::size_t(packedSize(digits)));
      packed.emplace_back(std::size_t(packedSize(digits)));
      ASSERT_TRUE(packDecimal(D(text), digits, 2, true, packed.back().data())) << text;
      // The image of what the field holds is the image of the value.
      EXPECT_EQ(decimalKeyImage(unpackDecimal(packed.back().data(), digits, 2, true), digits, 2),
                images.back());
    }
    for (std::size_t i = 0; i < images.size(); ++i)
      for (std::size_t j = 0; j < images.size(); ++j) {
        const int expected = i < j ? -1 : (i > j ? 1 : 0);
        const int byImage = std::memcmp(images[i].data(), images[j].data(), images[i].size());
        EXPECT_EQ(byImage < 0 ? -1 : (byImage > 0 ? 1 : 0), expected)
            << ascending[i] << " " << ascending[j];
        EXPECT_EQ(comparePacked(packed[i].data(), packed[j].data(), digits, 2, true), expected)
            << ascending[i] << " " << ascending[j];
      }
  }
  // Values the field holds alike have one image.
  EXPECT_EQ(decimalKeyImage(D("1.5"), 5, 2), decimalKeyImage(D("1.50"), 5, 2));
  EXPECT_EQ(decimalKeyImage(D("-0.001"), 5, 2), decimalKeyImage(D("0"), 5, 2));
  EXPECT_EQ(decimalKeyImage(D("1.004"), 5, 2), decimalKeyImage(D("1"), 5, 2));
}

}  // namespace
}  // namespace runtime
