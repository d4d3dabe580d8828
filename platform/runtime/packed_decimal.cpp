// The packed DECIMAL and PDECIMAL layouts and the key image of a decimal field (decimal.h).
#include "platform/runtime/decimal.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace runtime {

namespace {

constexpr unsigned DecimalNegative = 0x8;
constexpr unsigned PDecimalNegative = 0xD;
constexpr unsigned PDecimalPositive = 0xF;

bool validDeclaration(int digits, int scale) {
  return digits >= 1 && digits <= Decimal::MaxDigits && scale >= 0 && scale <= digits;
}

// Digits a field of `digits` declared digits holds: its nibbles less the sign's.
int storedDigits(int digits) { return 2 * packedSize(digits) - 1; }

unsigned nibble(const unsigned char* bytes, int index) {
  const unsigned byte = bytes[index / 2];
  return index % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

// Sets a nibble of bytes that start out zero.
void addNibble(unsigned char* bytes, int index, unsigned value) {
  bytes[index / 2] |= static_cast<unsigned char>(index % 2 == 0 ? value << 4 : value);
}

// A value as a field of a declaration holds it.
struct FieldDigits {
  std::array<std::uint8_t, Decimal::MaxDigits> digits{};
  int count = 0;
  bool negative = false;  // never for a zero
  bool fits = false;      // no digit before the point was lost
};

FieldDigits fieldDigits(const Decimal& value, int digits, int scale) {
  FieldDigits field;
  field.count = storedDigits(digits);
  const auto used = std::span(field.digits.data(), std::size_t(field.count));
  field.fits = value.digitsAtScale(scale, used);
  field.negative =
      value.isNegative() && std::any_of(used.begin(), used.end(), [](auto d) { return d != 0; });
  return field;
}

// Writes a sign nibble and then the digits, nines' complemented when asked, into zeroed bytes.
void writeSignFirst(unsigned char* out, unsigned sign, const FieldDigits& field, bool complement) {
  addNibble(out, 0, sign);
  for (int i = 0; i < field.count; ++i) {
    const unsigned digit = field.digits[std::size_t(i)];
    addNibble(out, i + 1, complement ? 9 - digit : digit);
  }
}

}  // namespace

int packedSize(int digits) {
  return digits >= 1 && digits <= Decimal::MaxDigits ? digits / 2 + 1 : 0;
}

bool packDecimal(const Decimal& value, int digits, int scale, bool pdecimal, unsigned char* out) {
  if (!validDeclaration(digits, scale)) return false;
  const FieldDigits field = fieldDigits(value, digits, scale);
  std::fill(out, out + packedSize(digits), 0);
  if (pdecimal) {
    for (int i = 0; i < field.count; ++i) addNibble(out, i, field.digits[std::size_t(i)]);
    addNibble(out, field.count, field.negative ? PDecimalNegative : PDecimalPositive);
  } else {
    writeSignFirst(out, field.negative ? DecimalNegative : 0, field, false);
  }
  return field.fits && value.ok();
}

Decimal unpackDecimal(const unsigned char* packed, int digits, int scale, bool pdecimal) {
  if (!validDeclaration(digits, scale)) return Decimal::failure(DecimalStatus::Invalid);
  const int count = storedDigits(digits);
  const int firstDigit = pdecimal ? 0 : 1;
  std::array<std::uint8_t, Decimal::MaxDigits> values{};
  for (int i = 0; i < count; ++i)
    values[std::size_t(i)] = std::uint8_t(nibble(packed, firstDigit + i));
  const bool negative =
      pdecimal ? nibble(packed, count) == PDecimalNegative : nibble(packed, 0) != 0;
  return Decimal::fromDigits(negative, std::span(values.data(), std::size_t(count)), scale);
}

int comparePacked(const unsigned char* a, const unsigned char* b, int digits, int scale,
                  bool pdecimal) {
  return compare(unpackDecimal(a, digits, scale, pdecimal),
                 unpackDecimal(b, digits, scale, pdecimal));
}

std::string decimalKeyImage(const Decimal& value, int digits, int scale) {
  if (!validDeclaration(digits, scale)) return {};
  const FieldDigits field = fieldDigits(value, digits, scale);
  // Negative values lead with 0 and carry their digits' nines' complement, so that a larger
  // magnitude sorts lower; zero and positive values lead with 1 and carry their digits.
  std::string image(std::size_t(packedSize(digits)), '\0');
  writeSignFirst(reinterpret_cast<unsigned char*>(image.data()), field.negative ? 0 : 1, field,
                 field.negative);
  return image;
}

}  // namespace runtime
