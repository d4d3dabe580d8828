// The runtime's type codes of record fields, as the record type descriptor stores them.
#pragma once

#include <cstdint>

namespace runtime {

enum class FieldType : std::uint8_t {
  Byte = 1,
  Short = 2,
  UShort = 3,
  Date = 4,
  Time = 5,
  Long = 6,
  ULong = 7,
  SReal = 8,
  Real = 9,
  Decimal = 10,
  PDecimal = 11,
  BFloat4 = 13,
  BFloat8 = 14,
  String = 18,
  CString = 19,
  PString = 20,
  Group = 22,
};

// The bytes of one element of a field of `type`; 0 for the types whose size is declared
// (DECIMAL, PDECIMAL, the three strings and GROUP).
constexpr std::uint32_t fixedFieldSize(FieldType type) {
  switch (type) {
    case FieldType::Byte: return 1;
    case FieldType::Short:
    case FieldType::UShort: return 2;
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::Long:
    case FieldType::ULong:
    case FieldType::SReal:
    case FieldType::BFloat4: return 4;
    case FieldType::Real:
    case FieldType::BFloat8: return 8;
    default: return 0;
  }
}

}  // namespace runtime
