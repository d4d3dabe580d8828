#include "platform/runtime/record_layout.h"

#include <cassert>
#include <cmath>
#include <cstring>

#include "platform/runtime/case_fold.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text.h"

namespace runtime {
namespace {

// Points `view` at a copy of its text at `*cursor` in the layout's own text block.
void moveText(std::string_view& view, char*& cursor) {
  if (view.empty()) {
    view = {};
    return;
  }
  std::memcpy(cursor, view.data(), view.size());
  view = std::string_view(cursor, view.size());
  cursor += view.size();
}

template <class T>
T readLittleEndian(const unsigned char* bytes) {
  LittleEndian<T> value;
  static_assert(sizeof(value) == sizeof(T));
  std::memcpy(&value, bytes, sizeof(T));
  return value.value();
}

template <class T>
int compareNumbers(T a, T b) {
  if constexpr (std::is_floating_point_v<T>) {
    // Not-a-number sorts after every number, so that sorting stays well ordered.
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) - std::isnan(b);
  }
  return (a > b) - (a < b);
}

// The value of a 4- or 8-byte BASIC float: the mantissa's low bytes first, then its top byte
// whose high bit is the sign, then the exponent byte (0 = the value 0), bias 129 for 1.m.
double bfloatValue(const unsigned char* bytes, std::size_t size) {
  const int exponent = bytes[size - 1];
  if (exponent == 0) return 0.0;
  const bool negative = (bytes[size - 2] & 0x80) != 0;
  double mantissa = 0.0;
  for (std::size_t i = 0; i + 1 < size; ++i) {
    const unsigned char byte = i + 2 == size ? (bytes[i] & 0x7F) : bytes[i];
    mantissa += std::ldexp(byte, static_cast<int>(8 * i));
  }
  const int mantissaBits = static_cast<int>(8 * (size - 1)) - 1;
  const double value = std::ldexp(1.0 + std::ldexp(mantissa, -mantissaBits), exponent - 129);
  return negative ? -value : value;
}

std::string_view textOf(FieldType type, const unsigned char* bytes, std::size_t size) {
  const char* chars = reinterpret_cast<const char*>(bytes);
  switch (type) {
    case FieldType::CString: return cStringFieldText(chars, size);
    case FieldType::PString: return pStringFieldText(chars, size);
    default: return {chars, size};
  }
}

int compareElements(const FieldDef& field, const unsigned char* a, const unsigned char* b,
                    bool noCase) {
  switch (field.type) {
    case FieldType::Byte: return compareNumbers(a[0], b[0]);
    case FieldType::Short:
      return compareNumbers(readLittleEndian<std::int16_t>(a), readLittleEndian<std::int16_t>(b));
    case FieldType::UShort:
      return compareNumbers(readLittleEndian<std::uint16_t>(a), readLittleEndian<std::uint16_t>(b));
    case FieldType::Long:
      return compareNumbers(readLittleEndian<std::int32_t>(a), readLittleEndian<std::int32_t>(b));
    case FieldType::ULong:
      return compareNumbers(readLittleEndian<std::uint32_t>(a), readLittleEndian<std::uint32_t>(b));
    case FieldType::SReal:
      return compareNumbers(readLittleEndian<float>(a), readLittleEndian<float>(b));
    case FieldType::Real:
      return compareNumbers(readLittleEndian<double>(a), readLittleEndian<double>(b));
    case FieldType::BFloat4:
    case FieldType::BFloat8:
      return compareNumbers(bfloatValue(a, field.size), bfloatValue(b, field.size));
    // Bytes that hold no valid date or time count as none.
    case FieldType::Date: return compareNumbers(unpackDate(a), unpackDate(b));
    case FieldType::Time: return compareNumbers(unpackTime(a), unpackTime(b));
    case FieldType::Decimal:
    case FieldType::PDecimal:
      return comparePacked(a, b, field.digits, field.scale, field.type == FieldType::PDecimal);
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString:
    case FieldType::Group: {
      const std::string_view x = textOf(field.type, a, field.size);
      const std::string_view y = textOf(field.type, b, field.size);
      const int c = noCase ? compareTextNoCase(x, y) : compareText(x, y);
      return (c > 0) - (c < 0);
    }
  }
  assert(false && "unknown field type");
  return 0;
}

}  // namespace

RecordLayout::RecordLayout(std::span<const FieldDef> fields, std::uint32_t recordSize)
    : fields_(fields.begin(), fields.end()), recordSize_(recordSize) {
  std::size_t textBytes = 0;
  for (const FieldDef& f : fields_)
    textBytes += f.label.size() + f.picture.size() + f.externalName.size();
  texts_ = std::make_unique<char[]>(textBytes + 1);
  char* cursor = texts_.get();

  // Open groups, innermost last: their numbers and the end of their bytes.
  std::vector<std::pair<std::uint16_t, std::uint32_t>> open;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    FieldDef& f = fields_[i];
    const auto number = static_cast<std::uint16_t>(i + 1);
    assert(f.offset + f.totalSize() <= recordSize && "field beyond the record");
    assert(f.over < number && "a field lies over an earlier field");
    assert((fixedFieldSize(f.type) == 0 || fixedFieldSize(f.type) == f.size) &&
           "size of a fixed-size type");
    assert((f.type != FieldType::Decimal && f.type != FieldType::PDecimal) ||
           (packedSize(f.digits) == static_cast<int>(f.size) && f.scale <= f.digits));
    moveText(f.label, cursor);
    moveText(f.picture, cursor);
    moveText(f.externalName, cursor);
    foldedLabels_.push_back(foldCase(f.label));

    while (!open.empty()) {
      const FieldDef& g = fields_[open.back().first - 1];
      if (f.offset >= g.offset && f.offset + f.totalSize() <= open.back().second) break;
      open.pop_back();
    }
    f.group = open.empty() ? 0 : open.back().first;
    f.members = 0;
    for (const auto& [groupNumber, end] : open) ++fields_[groupNumber - 1].members;
    if (f.type == FieldType::Group) open.emplace_back(number, f.offset + f.totalSize());
  }
}

const FieldDef* RecordLayout::field(int number) const {
  if (number < 1 || static_cast<std::size_t>(number) > fields_.size()) return nullptr;
  return &fields_[number - 1];
}

int RecordLayout::numberOf(std::string_view label) const {
  const std::string folded = foldCase(label);
  for (std::size_t i = 0; i < foldedLabels_.size(); ++i)
    if (foldedLabels_[i] == folded) return static_cast<int>(i + 1);
  return 0;
}

int RecordLayout::numberAt(std::uint32_t offset, std::uint32_t size) const {
  int group = 0;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const FieldDef& f = fields_[i];
    if (f.offset != offset || f.totalSize() != size) continue;
    if (f.type != FieldType::Group) return static_cast<int>(i + 1);
    if (group == 0) group = static_cast<int>(i + 1);
  }
  return group;
}

bool RecordLayout::liesOver(int number) const {
  for (const FieldDef* f = field(number); f != nullptr; f = field(f->group))
    if (f->over != 0) return true;
  return false;
}

int compareFieldValues(const FieldDef& field, const void* recordA, const void* recordB,
                       bool noCase) {
  const auto* a = static_cast<const unsigned char*>(recordA) + field.offset;
  const auto* b = static_cast<const unsigned char*>(recordB) + field.offset;
  const std::uint32_t count = field.elementCount();
  for (std::uint32_t e = 0; e < count; ++e) {
    const std::size_t at = std::size_t{e} * field.size;
    if (const int c = compareElements(field, a + at, b + at, noCase)) return c;
  }
  return 0;
}

void blankRecord(const RecordLayout& layout, void* record) {
  auto* bytes = static_cast<unsigned char*>(record);
  std::memset(bytes, 0, layout.recordSize());
  for (std::size_t i = 0; i < layout.fieldCount(); ++i) {
    const FieldDef& f = layout.fields()[i];
    if (f.type == FieldType::String && !layout.liesOver(static_cast<int>(i + 1)))
      std::memset(bytes + f.offset, ' ', f.totalSize());
  }
}

}  // namespace runtime
