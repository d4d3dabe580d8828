// Numeric, date and time fields of records: little-endian values with alignment 1, so records
// built of them are packed structs over the record buffer whose bytes are the stored format.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "platform/runtime/field_type.h"

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

// DATE: day (byte), month (byte), year (16-bit); all zero = no date.
class Date {
 public:
  static constexpr FieldType fieldType = FieldType::Date;
  constexpr Date() = default;
  constexpr Date(int year, int month, int day) { setYmd(year, month, day); }

  constexpr int day() const { return bytes_[0]; }
  constexpr int month() const { return bytes_[1]; }
  constexpr int year() const { return bytes_[2] | (bytes_[3] << 8); }
  // Stores the three parts as given (each cut to its byte or word).
  constexpr void setYmd(int year, int month, int day) {
    bytes_[0] = static_cast<unsigned char>(day);
    bytes_[1] = static_cast<unsigned char>(month);
    bytes_[2] = static_cast<unsigned char>(year & 0xFF);
    bytes_[3] = static_cast<unsigned char>((year >> 8) & 0xFF);
  }
  // True when no date is stored (all bytes zero).
  constexpr bool isBlank() const { return (bytes_[0] | bytes_[1] | bytes_[2] | bytes_[3]) == 0; }

  constexpr const std::array<unsigned char, 4>& bytes() const { return bytes_; }

 private:
  std::array<unsigned char, 4> bytes_{};
};

// TIME: hundredths, second, minute, hour (one byte each); all zero = no time.
class Time {
 public:
  static constexpr FieldType fieldType = FieldType::Time;
  constexpr Time() = default;
  constexpr Time(int hour, int minute, int second, int hundredths) {
    set(hour, minute, second, hundredths);
  }

  constexpr int hundredths() const { return bytes_[0]; }
  constexpr int second() const { return bytes_[1]; }
  constexpr int minute() const { return bytes_[2]; }
  constexpr int hour() const { return bytes_[3]; }
  // Stores the four parts as given (each cut to its byte).
  constexpr void set(int hour, int minute, int second, int hundredths) {
    bytes_[0] = static_cast<unsigned char>(hundredths);
    bytes_[1] = static_cast<unsigned char>(second);
    bytes_[2] = static_cast<unsigned char>(minute);
    bytes_[3] = static_cast<unsigned char>(hour);
  }
  constexpr bool isBlank() const { return (bytes_[0] | bytes_[1] | bytes_[2] | bytes_[3]) == 0; }

  constexpr const std::array<unsigned char, 4>& bytes() const { return bytes_; }

 private:
  std::array<unsigned char, 4> bytes_{};
};

// The stored bytes of a DECIMAL(Digits, Scale) or PDECIMAL(Digits, Scale) field: Digits / 2 + 1
// bytes of packed digits, all zero for the value 0. Reading and writing their values is the
// decimal module's (decimal.h); the records only hold and compare the bytes.
enum class DecimalLayout { SignFirst, SignLast };

template <DecimalLayout Layout, unsigned Digits, unsigned Scale>
class PackedDecimalField {
  static_assert(Digits >= 1 && Digits <= 31 && Scale <= Digits);

 public:
  static constexpr FieldType fieldType =
      Layout == DecimalLayout::SignFirst ? FieldType::Decimal : FieldType::PDecimal;
  static constexpr unsigned digits = Digits;
  static constexpr unsigned scale = Scale;
  static constexpr std::size_t size = Digits / 2 + 1;

  constexpr std::array<unsigned char, size>& bytes() { return bytes_; }
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
