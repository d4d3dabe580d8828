#include "upkeep/field_conversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "platform/files/file_declaration.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/picture.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text.h"
#include "platform/runtime/text_types.h"
#include "platform/runtime/utf8.h"
#include "upkeep/text_converters.h"

namespace upkeep {
namespace {

using runtime::FieldType;

// A text read as a number takes at most this many bytes of it.
constexpr std::size_t NumberTextLimit = 34;

FieldType typeOf(const FieldElement& field) { return static_cast<FieldType>(field.type); }

bool isTextType(std::uint8_t type) {
  switch (static_cast<FieldType>(type)) {
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString: return true;
    default: return type == kMemoEntryType;
  }
}

// The value of one source element, in the form its type gives it.
struct Value {
  enum class Kind { Integer, Real, Packed, Text, Date, Time } kind = Kind::Integer;
  long long integer = 0;  // Integer; the day number of a Date; the standard time of a Time
  double real = 0;
  runtime::Decimal packed;
  std::string text;
  std::string_view picture{};  // the picture a Text was written with
};

template <class Number>
auto load(const unsigned char* bytes) {
  Number number;
  std::memcpy(&number, bytes, sizeof number);
  return number.value();
}

template <class Number, class T>
void save(unsigned char* bytes, T value) {
  const Number number(value);
  std::memcpy(bytes, &number, sizeof number);
}

std::string_view withoutTrailingSpaces(std::string_view text) {
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

// True when the source's bytes are the destination's value as they stand: the same number
// type, or a STRING of the same size and picture.
bool sameBytes(const FieldElement& source, const FieldElement& destination) {
  if (source.type != destination.type || source.len != destination.len) return false;
  switch (typeOf(source)) {
    case FieldType::Byte:
    case FieldType::Short:
    case FieldType::UShort:
    case FieldType::Long:
    case FieldType::ULong:
    case FieldType::SReal:
    case FieldType::Real: return true;
    case FieldType::String: return source.picture == destination.picture;
    default: return false;
  }
}

Value read(const FieldElement& source) {
  Value value;
  const unsigned char* bytes = source.bytes;
  switch (typeOf(source)) {
    case FieldType::Byte: value.integer = bytes[0]; break;
    case FieldType::Short: value.integer = load<runtime::Short>(bytes); break;
    case FieldType::UShort: value.integer = load<runtime::UShort>(bytes); break;
    case FieldType::Long: value.integer = load<runtime::Long>(bytes); break;
    case FieldType::ULong: value.integer = load<runtime::ULong>(bytes); break;
    case FieldType::SReal:
      value.kind = Value::Kind::Real;
      value.real = load<runtime::SReal>(bytes);
      break;
    case FieldType::Real:
      value.kind = Value::Kind::Real;
      value.real = load<runtime::Real>(bytes);
      break;
    case FieldType::Decimal:
    case FieldType::PDecimal:
      value.kind = Value::Kind::Packed;
      value.packed = PackedValue(source);
      break;
    case FieldType::Date:
      value.kind = Value::Kind::Date;
      value.integer = runtime::unpackDate(bytes);
      break;
    case FieldType::Time:
      value.kind = Value::Kind::Time;
      value.integer = runtime::unpackTime(bytes);
      break;
    default:
      if (isTextType(source.type)) {
        value.kind = Value::Kind::Text;
        value.text = FieldText(source);
        // A memo has no picture of its own.
        if (source.type != kMemoEntryType) value.picture = source.picture;
      }
      break;  // a type without a value of its own reads as 0
  }
  return value;
}

// The text of a Text value as a number is read from: its first bytes, read back through the
// picture it was written with when it looks formatted.
std::string numberTextOf(const Value& value) {
  std::string text = value.text.substr(0, NumberTextLimit);
  if (!runtime::CLIP(value.picture).empty() && IsFormatted(runtime::CLIP(text), value.picture))
    text = runtime::DEFORMAT(text, value.picture);
  return text;
}

long long truncateReal(double real) {
  if (std::isnan(real)) return 0;
  constexpr double limit = 9223372036854775807.0;
  if (real >= limit) return std::numeric_limits<long long>::max();
  if (real <= -limit) return std::numeric_limits<long long>::min();
  return static_cast<long long>(real);
}

// The value as a whole number, truncated toward zero.
long long integerOf(const Value& value) {
  switch (value.kind) {
    case Value::Kind::Real: return truncateReal(value.real);
    case Value::Kind::Packed:
      return value.packed.toLong().value_or(truncateReal(value.packed.toDouble()));
    case Value::Kind::Text: return runtime::textToLong(numberTextOf(value));
    default: return value.integer;
  }
}

double realOf(const Value& value) {
  switch (value.kind) {
    case Value::Kind::Real: return value.real;
    case Value::Kind::Packed: return value.packed.toDouble();
    case Value::Kind::Text: return runtime::textToReal(numberTextOf(value));
    default: return static_cast<double>(value.integer);
  }
}

runtime::Decimal decimalOf(const Value& value) {
  switch (value.kind) {
    case Value::Kind::Real: return runtime::Decimal::fromDouble(value.real);
    case Value::Kind::Packed: return value.packed;
    case Value::Kind::Text: {
      const std::string text = numberTextOf(value);
      const runtime::Decimal parsed = runtime::Decimal::parse(text);
      if (parsed.ok() || !runtime::NUMERIC(text)) return parsed;
      return runtime::Decimal::fromDouble(runtime::textToReal(text));  // "1e3"
    }
    default: return runtime::Decimal::fromLong(value.integer);
  }
}

// A number's text without the zeros in front of its first significant digit and without a
// point that ends it: "0.50" gives ".50", "-0.5" gives "-.5", "12." gives "12", 0 gives "".
std::string withoutLeadingZeros(std::string text) {
  if (!text.empty() && text.back() == '.') text.pop_back();
  const std::size_t start = text.starts_with('-') ? 1 : 0;
  const std::size_t firstKept = text.find_first_not_of('0', start);
  text.erase(start, (firstKept == std::string::npos ? text.size() : firstKept) - start);
  return text == "-" ? std::string() : text;
}

std::string numberText(const Value& value) {
  switch (value.kind) {
    case Value::Kind::Real: return runtime::realToText(value.real);
    case Value::Kind::Packed: return value.packed.toString();
    default: return runtime::longToText(value.integer);
  }
}

// A number's text written with `picture`, without its leading zeros when it is a number
// ("001234" gives "1234"), unless the shorter text would read back through the picture as
// another value (34 in "@p##.##p" is "00.34", of which ".34" reads as 3).
std::string pictured(const std::string& number, std::string_view picture) {
  const std::string formatted = runtime::FORMAT(number, picture);
  if (!runtime::NUMERIC(formatted)) return formatted;
  std::string clipped = withoutLeadingZeros(formatted);
  if (runtime::DEFORMAT(clipped, picture) != runtime::DEFORMAT(formatted, picture))
    return formatted;
  return clipped;
}

// The text a text destination of picture `picture` receives.
std::string textFor(const Value& value, std::string_view picture) {
  const bool withPicture = !runtime::CLIP(picture).empty();
  if (value.kind != Value::Kind::Text) {
    const std::string text = numberText(value);
    return withPicture ? pictured(text, picture) : withoutLeadingZeros(text);
  }
  if (value.picture == picture) return value.text;
  std::string text = value.text;
  if (!runtime::CLIP(value.picture).empty() && IsFormatted(runtime::CLIP(text), value.picture))
    text = runtime::DEFORMAT(text, value.picture);
  return withPicture ? runtime::FORMAT(text, picture) : text;
}

void storeText(const FieldElement& destination, std::string_view text) {
  char* chars = reinterpret_cast<char*>(destination.bytes);
  switch (typeOf(destination)) {
    case FieldType::String: runtime::assignStringField(chars, destination.len, text); return;
    case FieldType::CString: {
      // A CSTRING holds as many bytes as it has; a shorter text is NUL-filled after it.
      const std::string_view kept =
          runtime::utf8Prefix(withoutTrailingSpaces(text), destination.len);
      std::memcpy(chars, kept.data(), kept.size());
      std::memset(chars + kept.size(), 0, destination.len - kept.size());
      return;
    }
    case FieldType::PString: {
      const std::size_t withLength = std::min<std::size_t>(destination.len, 256);
      runtime::assignPStringField(chars, withLength, text);
      std::memset(chars + withLength, 0, destination.len - withLength);
      return;
    }
    default: break;
  }
  files::Memo* memo = destination.memo;
  if (!memo) return;
  if (text.size() <= memo->size())
    memo->setBytes(text);
  else if (memo->def().kind == files::MemoKindMemo)
    memo->assign(text);
  else
    memo->setBytes(text.substr(0, memo->size()));
}

void storeInteger(const FieldElement& destination, long long integer) {
  unsigned char* bytes = destination.bytes;
  switch (typeOf(destination)) {
    case FieldType::Byte: bytes[0] = static_cast<unsigned char>(integer); return;
    case FieldType::Short:
      save<runtime::Short>(bytes, static_cast<std::int16_t>(static_cast<std::uint16_t>(integer)));
      return;
    case FieldType::UShort:
      save<runtime::UShort>(bytes, static_cast<std::uint16_t>(integer));
      return;
    case FieldType::Long:
      save<runtime::Long>(bytes, static_cast<std::int32_t>(static_cast<std::uint32_t>(integer)));
      return;
    default: save<runtime::ULong>(bytes, static_cast<std::uint32_t>(integer)); return;
  }
}

// The standard number a DATE or TIME destination receives: a date or a time only from its own
// kind, nothing from the other, any number as a day number or standard time.
long long standardNumberFor(const Value& value, Value::Kind own) {
  const Value::Kind other = own == Value::Kind::Date ? Value::Kind::Time : Value::Kind::Date;
  if (value.kind == other) return 0;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(integerOf(value)));
}

void store(const Value& value, const FieldElement& destination) {
  unsigned char* bytes = destination.bytes;
  const FieldType type = typeOf(destination);
  if (isTextType(destination.type)) {
    storeText(destination, textFor(value, destination.picture));
    return;
  }
  if (!bytes) return;
  switch (type) {
    case FieldType::Byte:
    case FieldType::Short:
    case FieldType::UShort:
    case FieldType::Long:
    case FieldType::ULong: storeInteger(destination, integerOf(value)); return;
    case FieldType::SReal: save<runtime::SReal>(bytes, static_cast<float>(realOf(value))); return;
    case FieldType::Real: save<runtime::Real>(bytes, realOf(value)); return;
    case FieldType::Date:
      runtime::packDate(static_cast<int>(standardNumberFor(value, Value::Kind::Date)), bytes);
      return;
    case FieldType::Time:
      runtime::packTime(static_cast<int>(standardNumberFor(value, Value::Kind::Time)), bytes);
      return;
    case FieldType::Decimal:
    case FieldType::PDecimal:
      // Surplus decimals are dropped, not rounded; a value too large keeps its low digits.
      std::memset(bytes, 0, destination.len);
      if (runtime::packedSize(destination.chars) != static_cast<int>(destination.len)) return;
      runtime::packDecimal(decimalOf(value).truncated(destination.places), destination.chars,
                           destination.places, type == FieldType::PDecimal, bytes);
      return;
    default: std::memset(bytes, 0, destination.len); return;
  }
}

}  // namespace

std::string_view FieldText(const FieldElement& field) {
  const char* chars = reinterpret_cast<const char*>(field.bytes);
  switch (typeOf(field)) {
    case FieldType::String:
      return withoutTrailingSpaces(runtime::stringFieldText(chars, field.len));
    case FieldType::CString: return runtime::cStringFieldText(chars, field.len);
    case FieldType::PString: return runtime::pStringFieldText(chars, field.len);
    default: return field.memo ? field.memo->content() : std::string_view();
  }
}

runtime::Decimal PackedValue(const FieldElement& field) {
  if (runtime::packedSize(field.chars) != static_cast<int>(field.len)) return runtime::Decimal();
  return runtime::unpackDecimal(field.bytes, field.chars, field.places,
                                typeOf(field) == FieldType::PDecimal);
}

void ConvertingField(const FieldElement& source, const FieldElement& destination) {
  if (sameBytes(source, destination)) {
    std::memcpy(destination.bytes, source.bytes, destination.len);
    return;
  }
  const bool memo = source.type == kMemoEntryType || destination.type == kMemoEntryType;
  if (isTextType(source.type) && isTextType(destination.type) &&
      (memo || source.picture == destination.picture)) {
    storeText(destination, FieldText(source));
    return;
  }
  Value value = read(source);
  store(value, destination);
}

void ConvertText(std::string_view text, const FieldElement& destination) {
  Value value;
  value.kind = Value::Kind::Text;
  value.text = text;
  value.picture = destination.picture;
  store(value, destination);
}

void BlankField(const FieldElement& destination) {
  if (destination.type == kMemoEntryType) {
    if (destination.memo) destination.memo->clear();
    return;
  }
  const bool spaces = typeOf(destination) == FieldType::String;
  std::memset(destination.bytes, spaces ? ' ' : 0, destination.len);
}

}  // namespace upkeep
