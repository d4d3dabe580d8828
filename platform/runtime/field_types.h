// Numeric, date, time and decimal fields of records: values stored in their record format with
// alignment 1, so records built of them are packed structs over the record buffer.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "platform/runtime/decimal.h"
#include "platform/runtime/field_type.h"
#include "platform/runtime/standard_date.h"

namespace runtime {

// The type code of a number field holding a T.
template <class T>
constexpr FieldType numberFieldType() {
  if constexpr (std::is_same_v<T, std::uint8_t>)
    return FieldType::Byte;
  else if constexpr (std::is_same_v<T, std::int16_t>)
    return FieldType::Short;
  else if constexpr (std::is_same_v<T, std::uint16_t>)
    return FieldType::UShort;
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return FieldType::Long;
  else if constexpr (std::is_same_v<T, std::uint32_t>)
    return FieldType::ULong;
  else if constexpr (std::is_same_v<T, float>)
    return FieldType::SReal;
  else {
    static_assert(std::is_same_v<T, double>, "no field type holds this number");
    return FieldType::Real;
  }
}

// A number of type T stored as sizeof(T) little-endian bytes. Assignable from T and
// convertible to T, so it reads and writes like the number itself.
template <class T>
class LittleEndian {
  static_assert(std::is_arithmetic_v<T>);

 public:
  using ValueType = T;
  static constexpr FieldType fieldType = numberFieldType<T>();

  constexpr LittleEndian() = default;
  constexpr LittleEndian(T value) { set(value); }
  constexpr LittleEndian& operator=(T value) {
    set(value);
    return *this;
  }

  constexpr T value() const {
    std::array<unsigned char, sizeof(T)> native = bytes_;
    if constexpr (std::endian::native == std::endian::big) reverse(native);
    return std::bit_cast<T>(native);
  }
  constexpr operator T() const { return value(); }

  constexpr LittleEndian& operator+=(T step) { return *this = static_cast<T>(value() + step); }
  constexpr LittleEndian& operator-=(T step) { return *this = static_cast<T>(value() - step); }
  constexpr LittleEndian& operator++() { return *this += 1; }
  constexpr LittleEndian& operator--() { return *this -= 1; }

  // The stored bytes, lowest first.
  constexpr const std::array<unsigned char, sizeof(T)>& bytes() const { return bytes_; }

 private:
  constexpr void set(T value) {
    bytes_ = std::bit_cast<std::array<unsigned char, sizeof(T)>>(value);
    if constexpr (std::endian::native == std::endian::big) reverse(bytes_);
  }
  static constexpr void reverse(std::array<unsigned char, sizeof(T)>& bytes) {
    for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(bytes[i], bytes[sizeof(T) - 1 - i]);
  }

  std::array<unsigned char, sizeof(T)> bytes_{};
};

using Byte = LittleEndian<std::uint8_t>;     // BYTE
using Short = LittleEndian<std::int16_t>;    // SHORT
using UShort = LittleEndian<std::uint16_t>;  // USHORT
using Long = LittleEndian<std::int32_t>;     // LONG
using ULong = LittleEndian<std::uint32_t>;   // ULONG
using SReal = LittleEndian<float>;           // SREAL
using Real = LittleEndian<double>;           // REAL

// DATE: day (byte), month (byte), year (16-bit); all zero = no date. It reads and writes as
// a standard date (a day number, 0 = none).
class Date {
 public:
  static constexpr FieldType fieldType = FieldType::Date;

  constexpr Date() = default;
  // Holds day number `date`; 0, or a day number outside the valid range, stores no date.
  Date(int date) { *this = date; }
  // Holds the calendar date; a date that does not exist stores no date.
  Date(int year, int month, int day) : Date(dateFromYmd(year, month, day)) {}
  Date& operator=(int date) {
    packDate(date, bytes_.data());
    return *this;
  }

  // The day number held; 0 for no date and for bytes that are no valid date.
  int value() const { return unpackDate(bytes_.data()); }
  operator int() const { return value(); }

  constexpr int day() const { return bytes_[0]; }
  constexpr int month() const { return bytes_[1]; }
  constexpr int year() const { return bytes_[2] | (bytes_[3] << 8); }
  // Stores the three parts as given, valid or not (each cut to its byte or word).
  constexpr void setYmd(int year, int month, int day) {
    bytes_[0] = static_cast<unsigned char>(day);
    bytes_[1] = static_cast<unsigned char>(month);
    bytes_[2] = static_cast<unsigned char>(year & 0xFF);
    bytes_[3] = static_cast<unsigned char>((year >> 8) & 0xFF);
  }

  constexpr const std::array<unsigned char, 4>& bytes() const { return bytes_; }

 private:
  std::array<unsigned char, 4> bytes_{};
};

// TIME: hundredths, second, minute, hour (one byte each); all zero = no time. It reads and
// writes as a standard time (hundredths of a second since midnight plus 1, 0 = none).
class Time {
 public:
  static constexpr FieldType fieldType = FieldType::Time;

  constexpr Time() = default;
  // Holds standard time `time`; 0, or a value outside the valid range, stores no time.
  Time(int time) { *this = time; }
  // Holds the time of day; a part out of its range stores no time.
  Time(int hour, int minute, int second, int hundredths)
      : Time(timeFromHms(hour, minute, second, hundredths)) {}
  Time& operator=(int time) {
    packTime(time, bytes_.data());
    return *this;
  }

  // The standard time held; 0 for no time and for bytes out of range.
  int value() const { return unpackTime(bytes_.data()); }
  operator int() const { return value(); }

  constexpr int hundredths() const { return bytes_[0]; }
  constexpr int second() const { return bytes_[1]; }
  constexpr int minute() const { return bytes_[2]; }
  constexpr int hour() const { return bytes_[3]; }

  constexpr const std::array<unsigned char, 4>& bytes() const { return bytes_; }

 private:
  std::array<unsigned char, 4> bytes_{};
};

enum class DecimalLayout { SignFirst, SignLast };

// A DECIMAL(Digits, Scale) or PDECIMAL(Digits, Scale) field: Digits / 2 + 1 bytes of packed
// digits (the layouts are decimal.h's), all zero for the value 0. It reads and writes as a
// Decimal; a stored value is rounded to Scale places, and one too large for the field keeps
// its low-order digits.
template <DecimalLayout Layout, unsigned Digits, unsigned Scale>
class PackedDecimalField {
  static_assert(Digits >= 1 && Digits <= 31 && Scale <= Digits);
  static constexpr bool pdecimal = Layout == DecimalLayout::SignLast;

 public:
  static constexpr FieldType fieldType = pdecimal ? FieldType::PDecimal : FieldType::Decimal;
  static constexpr unsigned digits = Digits;
  static constexpr unsigned scale = Scale;
  static constexpr std::size_t size = Digits / 2 + 1;  // packedSize(Digits)

  constexpr PackedDecimalField() = default;
  PackedDecimalField(const Decimal& value) { *this = value; }
  PackedDecimalField& operator=(const Decimal& value) {
    packDecimal(value, Digits, Scale, pdecimal, bytes_.data());
    return *this;
  }

  // The value held; zero with status Invalid for bytes with a digit nibble above 9.
  Decimal value() const { return unpackDecimal(bytes_.data(), Digits, Scale, pdecimal); }
  operator Decimal() const { return value(); }

  constexpr const std::array<unsigned char, size>& bytes() const { return bytes_; }

 private:
  std::array<unsigned char, size> bytes_{};
};

// DECIMAL(Digits, Scale): the sign nibble first, then the digits.
template <unsigned Digits, unsigned Scale>
using DecimalField = PackedDecimalField<DecimalLayout::SignFirst, Digits, Scale>;
// PDECIMAL(Digits, Scale): the digits, then the sign nibble.
template <unsigned Digits, unsigned Scale>
using PDecimalField = PackedDecimalField<DecimalLayout::SignLast, Digits, Scale>;

}  // namespace runtime
