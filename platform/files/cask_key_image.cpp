#include "platform/files/cask_key_image.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/runtime/case_fold.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text_types.h"

namespace files {
namespace {

using runtime::FieldType;

std::uint64_t littleEndian(const unsigned char* bytes, std::size_t size) {
  std::uint64_t value = 0;
  for (std::size_t i = size; i-- > 0;) value = value << 8 | bytes[i];
  return value;
}

void appendBigEndian(std::string& out, std::uint64_t value, std::size_t size) {
  for (std::size_t i = size; i-- > 0;) out.push_back(static_cast<char>(value >> (8 * i)));
}

template <class Real, class Bits>
Bits orderedRealBits(const unsigned char* bytes) {
  Real value = std::bit_cast<Real>(static_cast<Bits>(littleEndian(bytes, sizeof(Real))));
  if (std::isnan(value)) value = std::numeric_limits<Real>::quiet_NaN();
  if (value == 0) value = 0;  // -0 is 0
  Bits bits = std::bit_cast<Bits>(value);
  constexpr Bits sign = Bits{1} << (8 * sizeof(Bits) - 1);
  if (std::isnan(value)) bits &= ~sign;
  return (bits & sign) != 0 ? ~bits : bits | sign;
}

void appendBFloat(std::string& out, const unsigned char* bytes, std::size_t size) {
  const unsigned char exponent = bytes[size - 1];
  const bool negative = exponent != 0 && (bytes[size - 2] & 0x80) != 0;
  out.push_back(negative ? '\x01' : '\x02');
  const unsigned char flip = negative ? 0xFF : 0x00;
  out.push_back(static_cast<char>(exponent ^ flip));
  for (std::size_t i = size - 1; i-- > 0;) {
    unsigned char byte = exponent == 0 ? 0 : bytes[i];
    if (i == size - 2) byte &= 0x7F;
    out.push_back(static_cast<char>(byte ^ flip));
  }
}

std::string_view textOf(FieldType type, const unsigned char* bytes, std::size_t size) {
  const char* chars = reinterpret_cast<const char*>(bytes);
  switch (type) {
    case FieldType::CString: return runtime::cStringFieldText(chars, size);
    case FieldType::PString: return runtime::pStringFieldText(chars, size);
    default: return {chars, size};
  }
}

void appendText(std::string& out, std::string_view text, bool noCase) {
  std::string folded;
  if (noCase) {
    folded = runtime::foldCase(text);
    text = folded;
  }
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  for (const char c : text) {
    if (c == '\x00' || c == '\x01') {
      out.push_back('\x01');
      out.push_back(static_cast<char>(c + 1));
    } else {
      out.push_back(c);
    }
  }
  out.push_back('\x00');
}

void appendElement(std::string& out, const runtime::FieldDef& field, const unsigned char* bytes,
                   bool noCase) {
  switch (field.type) {
    case FieldType::Byte:
    case FieldType::UShort:
    case FieldType::ULong: appendBigEndian(out, littleEndian(bytes, field.size), field.size); break;
    case FieldType::Short:
    case FieldType::Long: {
      const std::uint64_t sign = std::uint64_t{1} << (8 * field.size - 1);
      appendBigEndian(out, littleEndian(bytes, field.size) ^ sign, field.size);
      break;
    }
    case FieldType::SReal:
      appendBigEndian(out, orderedRealBits<float, std::uint32_t>(bytes), 4);
      break;
    case FieldType::Real:
      appendBigEndian(out, orderedRealBits<double, std::uint64_t>(bytes), 8);
      break;
    case FieldType::BFloat4:
    case FieldType::BFloat8: appendBFloat(out, bytes, field.size); break;
    case FieldType::Date:
      appendBigEndian(out, static_cast<std::uint32_t>(runtime::unpackDate(bytes)), 4);
      break;
    case FieldType::Time:
      appendBigEndian(out, static_cast<std::uint32_t>(runtime::unpackTime(bytes)), 4);
      break;
    case FieldType::Decimal:
    case FieldType::PDecimal: {
      const bool pdecimal = field.type == FieldType::PDecimal;
      out += runtime::decimalKeyImage(
          runtime::unpackDecimal(bytes, field.digits, field.scale, pdecimal), field.digits,
          field.scale);
      break;
    }
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString:
    case FieldType::Group: appendText(out, textOf(field.type, bytes, field.size), noCase); break;
  }
}

bool isBlankElement(const runtime::FieldDef& field, const unsigned char* bytes) {
  switch (field.type) {
    case FieldType::SReal:
    case FieldType::Real: {
      const double value =
          field.type == FieldType::SReal
              ? std::bit_cast<float>(static_cast<std::uint32_t>(littleEndian(bytes, 4)))
              : std::bit_cast<double>(littleEndian(bytes, 8));
      return value == 0;
    }
    case FieldType::BFloat4:
    case FieldType::BFloat8: return bytes[field.size - 1] == 0;
    case FieldType::Date: return runtime::unpackDate(bytes) == 0;
    case FieldType::Time: return runtime::unpackTime(bytes) == 0;
    case FieldType::Decimal:
    case FieldType::PDecimal:
      return runtime::unpackDecimal(bytes, field.digits, field.scale,
                                    field.type == FieldType::PDecimal)
          .isZero();
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString:
    case FieldType::Group:
      for (const char c : textOf(field.type, bytes, field.size))
        if (c != ' ' && c != '\0') return false;
      return true;
    default:
      for (std::uint32_t i = 0; i < field.size; ++i)
        if (bytes[i] != 0) return false;
      return true;
  }
}

}  // namespace

void appendKeyComponent(std::string& out, const KeyComponent& component,
                        const unsigned char* record, bool noCase) {
  const runtime::FieldDef& field = *component.field;
  const std::size_t start = out.size();
  const std::uint32_t count = field.elementCount();
  for (std::uint32_t e = 0; e < count; ++e)
    appendElement(out, field, record + field.offset + std::size_t{e} * field.size, noCase);
  if (component.descending)
    for (std::size_t i = start; i < out.size(); ++i) out[i] = static_cast<char>(~out[i]);
}

bool isBlankComponent(const KeyComponent& component, const unsigned char* record) {
  const runtime::FieldDef& field = *component.field;
  const std::uint32_t count = field.elementCount();
  for (std::uint32_t e = 0; e < count; ++e)
    if (!isBlankElement(field, record + field.offset + std::size_t{e} * field.size)) return false;
  return true;
}

void buildKeyImage(std::span<const KeyComponent> components, bool noCase, bool opt,
                   const unsigned char* record, KeyImage& image) {
  image.bytes.clear();
  if (opt) {
    bool blank = true;
    for (const KeyComponent& component : components)
      blank = blank && isBlankComponent(component, record);
    if (blank) {
      image.null = true;
      return;
    }
  }
  image.null = false;
  for (const KeyComponent& component : components)
    appendKeyComponent(image.bytes, component, record, noCase);
}

}  // namespace files
