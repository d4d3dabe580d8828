#include "platform/runtime/bound_field.h"

#include <cstdint>
#include <cstring>

#include "platform/runtime/decimal.h"
#include "platform/runtime/field_types.h"

namespace runtime {
namespace {

// A number field of C++ type T stored little-endian at `bytes`.
template <class T>
class NumberField : public BoundValue {
 public:
  explicit NumberField(std::byte* bytes) : bytes_(bytes) {}

  Value get() const override { return Value::number(static_cast<double>(read())); }

  bool set(const Value& value) override {
    T native = read();
    if (!BoundNumber<T>(native).set(value)) return false;
    const LittleEndian<T> stored(native);
    std::memcpy(bytes_, stored.bytes().data(), sizeof(T));
    return true;
  }

 private:
  T read() const {
    LittleEndian<T> stored;
    std::memcpy(&stored, bytes_, sizeof(T));
    return stored.value();
  }

  std::byte* bytes_;
};

// A DATE or TIME field (Stored is Date or Time), read as its number.
template <class Stored>
class DayOrTimeField : public BoundValue {
 public:
  explicit DayOrTimeField(std::byte* bytes) : bytes_(bytes) {}

  Value get() const override {
    Stored stored;
    std::memcpy(&stored, bytes_, sizeof(Stored));
    return Value::number(stored.value());
  }

  bool set(const Value& value) override {
    const double number = value.toNumber();
    if (!(number >= 0 && number <= INT32_MAX)) return false;
    const Stored stored(static_cast<int>(number));
    std::memcpy(bytes_, stored.bytes().data(), sizeof(Stored));
    return true;
  }

 private:
  std::byte* bytes_;
};

class PackedNumberField : public BoundValue {
 public:
  PackedNumberField(std::byte* bytes, const FieldDef& field)
      : bytes_(reinterpret_cast<unsigned char*>(bytes)),
        digits_(field.digits),
        scale_(field.scale),
        pdecimal_(field.type == FieldType::PDecimal) {}

  Value get() const override {
    return Value::number(unpackDecimal(bytes_, digits_, scale_, pdecimal_).toDouble());
  }

  bool set(const Value& value) override {
    const std::size_t size = static_cast<std::size_t>(packedSize(digits_));
    unsigned char packed[16] = {};
    if (!packDecimal(Decimal::fromDouble(value.toNumber()), digits_, scale_, pdecimal_, packed)) {
      return false;
    }
    std::memcpy(bytes_, packed, size);
    return true;
  }

 private:
  unsigned char* bytes_;
  int digits_;
  int scale_;
  bool pdecimal_;
};

}  // namespace

std::shared_ptr<BoundValue> boundField(const FieldDef& field, std::byte* record) {
  if (field.isArray()) return nullptr;
  std::byte* bytes = record + field.offset;
  char* text = reinterpret_cast<char*>(bytes);
  switch (field.type) {
    case FieldType::Byte: return std::make_shared<NumberField<std::uint8_t>>(bytes);
    case FieldType::Short: return std::make_shared<NumberField<std::int16_t>>(bytes);
    case FieldType::UShort: return std::make_shared<NumberField<std::uint16_t>>(bytes);
    case FieldType::Long: return std::make_shared<NumberField<std::int32_t>>(bytes);
    case FieldType::ULong: return std::make_shared<NumberField<std::uint32_t>>(bytes);
    case FieldType::SReal: return std::make_shared<NumberField<float>>(bytes);
    case FieldType::Real: return std::make_shared<NumberField<double>>(bytes);
    case FieldType::Date: return std::make_shared<DayOrTimeField<Date>>(bytes);
    case FieldType::Time: return std::make_shared<DayOrTimeField<Time>>(bytes);
    case FieldType::Decimal:
    case FieldType::PDecimal: return std::make_shared<PackedNumberField>(bytes, field);
    case FieldType::String:
    case FieldType::Group: return std::make_shared<BoundText>(text, field.size, TextKind::String);
    case FieldType::CString:
      return std::make_shared<BoundText>(text, field.size, TextKind::CString);
    case FieldType::PString:
      return std::make_shared<BoundText>(text, field.size, TextKind::PString);
    case FieldType::BFloat4:
    case FieldType::BFloat8: return nullptr;
  }
  return nullptr;
}

}  // namespace runtime
