#include "platform/files/sql_columns.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/os/debug_output.h"
#include "platform/runtime/case_fold.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text_types.h"

namespace files {
namespace {

using runtime::FieldDef;
using runtime::FieldType;

bool isRawBytes(const FieldDef& field) {
  return field.isArray() || field.type == FieldType::BFloat4 || field.type == FieldType::BFloat8;
}

bool isBinaryMemo(const Memo& memo) { return memo.def().kind == 3 || memo.def().kind == 7; }

// The bytes of field `field` in the record.
const unsigned char* fieldBytes(const FileDeclaration& file, const FieldDef& field) {
  return reinterpret_cast<const unsigned char*>(file.record().data()) + field.offset;
}
unsigned char* fieldBytes(FileDeclaration& file, const FieldDef& field) {
  return reinterpret_cast<unsigned char*>(file.record().data()) + field.offset;
}

template <class T>
T readNumber(const unsigned char* bytes) {
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

template <class T>
void writeNumber(unsigned char* bytes, T value) {
  std::memcpy(bytes, &value, sizeof value);
}

std::string wholeText(long long value) { return std::to_string(value); }

template <class Real>
std::string realText(Real value) {
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// The text of a STRING, CSTRING or PSTRING field without its padding, or a GROUP's bytes.
std::string textOf(const FieldDef& field, const unsigned char* bytes) {
  const char* chars = reinterpret_cast<const char*>(bytes);
  std::string_view text;
  switch (field.type) {
    case FieldType::CString: text = runtime::cStringFieldText(chars, field.size); break;
    case FieldType::PString: text = runtime::pStringFieldText(chars, field.size); break;
    default: text = runtime::stringFieldText(chars, field.size); break;
  }
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

void assignText(const FieldDef& field, unsigned char* bytes, std::string_view text) {
  char* chars = reinterpret_cast<char*>(bytes);
  switch (field.type) {
    case FieldType::CString: runtime::assignCStringField(chars, field.size, text); break;
    case FieldType::PString: runtime::assignPStringField(chars, field.size, text); break;
    default: runtime::assignStringField(chars, field.totalSize(), text); break;
  }
}

// "yyyy-mm-dd" (at the start of a text that may go on with a time) as a day number; 0 if none.
int dateOfText(std::string_view text) {
  int year = 0, month = 0, day = 0;
  if (std::sscanf(std::string(text).c_str(), "%d-%d-%d", &year, &month, &day) != 3) return 0;
  return runtime::dateFromYmd(year, month, day);
}

// "hh:mm:ss[.fraction]" as a standard time; 0 if none.
int timeOfText(std::string_view text) {
  int hour = 0, minute = 0, second = 0;
  char fraction[16] = {};
  const std::string copy(text);
  const int parts =
      std::sscanf(copy.c_str(), "%d:%d:%d.%15[0-9]", &hour, &minute, &second, fraction);
  if (parts < 3) return 0;
  const int hundredths = (fraction[0] ? (fraction[0] - '0') * 10 : 0) +
                         (fraction[0] && fraction[1] ? fraction[1] - '0' : 0);
  return runtime::timeFromHms(hour, minute, second, hundredths);
}

template <class Whole>
bool storeWhole(unsigned char* bytes, std::string_view text) {
  const runtime::Decimal value = runtime::Decimal::parse(text);
  const std::optional<long long> whole = value.ok() ? value.toLong() : std::nullopt;
  if (!whole || *whole < static_cast<long long>(std::numeric_limits<Whole>::min()) ||
      *whole > static_cast<long long>(std::numeric_limits<Whole>::max())) {
    writeNumber<Whole>(bytes, 0);
    return false;
  }
  writeNumber<Whole>(bytes, static_cast<Whole>(*whole));
  return true;
}

template <class Real>
bool storeReal(unsigned char* bytes, std::string_view text) {
  const std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  const bool ok = end != copy.c_str() && *end == '\0';
  writeNumber<Real>(bytes, ok ? static_cast<Real>(value) : Real{});
  return ok;
}

// Stores `text` into the field as the field's own value (a number, date, time, decimal or
// text). False, with the field blanked, when the text is no such value.
bool storeText(const FieldDef& field, unsigned char* bytes, std::string_view text) {
  switch (field.type) {
    case FieldType::Byte: return storeWhole<std::uint8_t>(bytes, text);
    case FieldType::Short: return storeWhole<std::int16_t>(bytes, text);
    case FieldType::UShort: return storeWhole<std::uint16_t>(bytes, text);
    case FieldType::Long: return storeWhole<std::int32_t>(bytes, text);
    case FieldType::ULong: return storeWhole<std::uint32_t>(bytes, text);
    case FieldType::SReal: return storeReal<float>(bytes, text);
    case FieldType::Real: return storeReal<double>(bytes, text);
    case FieldType::Date: {
      const int date = dateOfText(text);
      runtime::packDate(date, bytes);
      return date != 0;
    }
    case FieldType::Time: {
      const int time = timeOfText(text);
      runtime::packTime(time, bytes);
      return time != 0;
    }
    case FieldType::Decimal:
    case FieldType::PDecimal: {
      const runtime::Decimal value = runtime::Decimal::parse(text);
      return runtime::packDecimal(value, field.digits, field.scale,
                                  field.type == FieldType::PDecimal, bytes) &&
             value.ok();
    }
    default: assignText(field, bytes, text); return true;
  }
}

// `text` as a text column takes it: a NUL byte, which a text column cannot hold (PostgreSQL
// would end the text there), goes as a space and is traced; the record keeps it. The upgrade's
// INSERTs follow the same rule.
std::string sendableText(std::string text, std::string_view label) {
  const std::size_t first = text.find('\0');
  if (first == std::string::npos) return text;
  os::outputDebugString("NUL byte in the text of " + std::string(label) + " sent as a space");
  std::replace(text.begin() + static_cast<std::ptrdiff_t>(first), text.end(), '\0', ' ');
  return text;
}

void blankField(const FieldDef& field, unsigned char* bytes) {
  if (field.type == FieldType::String || field.type == FieldType::Group) {
    std::memset(bytes, ' ', field.totalSize());
  } else {
    std::memset(bytes, 0, field.totalSize());
  }
}

}  // namespace

std::string namedInCase(SqlBackend backend, std::string_view name) {
  switch (backend) {
    case SqlBackend::PostgreSQL: return runtime::lowerCase(name);
    case SqlBackend::Oracle:
    case SqlBackend::Firebird: return runtime::foldCase(name);
    default: return std::string(name);
  }
}

std::vector<SqlColumn> sqlColumns(const FileDeclaration& file, SqlBackend backend) {
  std::vector<SqlColumn> columns;
  const auto columnName = [&](std::string_view external, std::string_view label) {
    std::string_view name = external.substr(0, external.find('|'));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
      name = name.substr(1, name.size() - 2);
    if (name.empty()) {
      const std::size_t colon = label.find(':');
      name = colon == std::string_view::npos ? label : label.substr(colon + 1);
    }
    return backend == SqlBackend::PostgreSQL ? runtime::lowerCase(name) : runtime::foldCase(name);
  };
  const runtime::RecordLayout& layout = file.layout();
  for (int number = 1; number <= static_cast<int>(layout.fieldCount()); ++number) {
    const FieldDef& field = *layout.field(number);
    if (field.type == FieldType::Group || layout.liesOver(number)) continue;
    columns.push_back({columnName(field.externalName, field.label), number, 0});
  }
  for (int number = 1; number <= static_cast<int>(file.memoCount()); ++number) {
    const Memo& memo = *file.memo(number);
    columns.push_back({columnName(memo.def().externalName, memo.label()), 0, number});
  }
  return columns;
}

std::string firebirdDecimalType(int digits, int places) {
  if (digits > kFirebirdDecimalDigits) return "VARCHAR(" + std::to_string(digits + 2) + ")";
  return "DECIMAL(" + std::to_string(digits) + "," + std::to_string(places) + ")";
}

std::string firebirdTextType(bool fixed, std::size_t characters, int bytesPerCharacter) {
  const std::size_t bytes = fixed ? kFirebirdTextBytes : kFirebirdTextBytes - 2;
  if (characters * static_cast<std::size_t>(std::max(bytesPerCharacter, 1)) > bytes)
    return "BLOB SUB_TYPE 1";
  return (fixed ? "CHAR(" : "VARCHAR(") + std::to_string(characters) + ")";
}

std::string rawBytesType(SqlBackend backend, std::size_t size) {
  const std::string bytes = std::to_string(size);
  switch (backend) {
    case SqlBackend::Firebird: return "CHAR(" + bytes + ") CHARACTER SET OCTETS";
    case SqlBackend::PostgreSQL: return "BYTEA";
    case SqlBackend::Oracle: return "RAW(" + bytes + ")";
    default: return "VARBINARY(" + bytes + ")";
  }
}

std::string sqlColumnType(const FileDeclaration& file, const SqlColumn& column,
                          SqlBackend backend) {
  const bool mysql = backend == SqlBackend::MySql;
  const bool mss = backend == SqlBackend::SqlServer;
  const bool ora = backend == SqlBackend::Oracle;
  if (column.memo != 0) {
    const bool binary = isBinaryMemo(*file.memo(column.memo));
    switch (backend) {
      case SqlBackend::PostgreSQL: return binary ? "BYTEA" : "TEXT";
      case SqlBackend::MySql: return binary ? "LONGBLOB" : "LONGTEXT";
      case SqlBackend::SqlServer: return binary ? "VARBINARY(MAX)" : "VARCHAR(MAX)";
      case SqlBackend::Oracle: return binary ? "BLOB" : "CLOB";
      case SqlBackend::Firebird: return binary ? "BLOB SUB_TYPE 0" : "BLOB SUB_TYPE 1";
      default: return binary ? "LONG BINARY" : "LONG VARCHAR";
    }
  }
  const FieldDef& field = *file.layout().field(column.field);
  if (isRawBytes(field)) return rawBytesType(backend, field.totalSize());
  switch (field.type) {
    case FieldType::Byte:
    case FieldType::Short: return ora ? "NUMBER(5)" : "SMALLINT";
    case FieldType::UShort:
    case FieldType::Long: return ora ? "NUMBER(10)" : "INTEGER";
    case FieldType::ULong: return ora ? "NUMBER(10)" : "BIGINT";
    case FieldType::SReal: return ora ? "BINARY_FLOAT" : "REAL";
    case FieldType::Real:
      return ora ? "BINARY_DOUBLE" : mss ? "FLOAT" : mysql ? "DOUBLE" : "DOUBLE PRECISION";
    case FieldType::Date: return "DATE";
    case FieldType::Time: return ora ? "VARCHAR2(11)" : mss || mysql ? "TIME(2)" : "TIME";
    case FieldType::Decimal:
    case FieldType::PDecimal:
      if (backend == SqlBackend::Firebird) return firebirdDecimalType(field.digits, field.scale);
      return (ora ? "NUMBER(" : "DECIMAL(") + std::to_string(field.digits) + "," +
             std::to_string(field.scale) + ")";
    default: {
      // Room for the text in characters: at most one per byte of the field. The connection
      // speaks UTF-8 to Firebird, so a column may have to hold four bytes per character.
      const std::uint32_t characters = std::max<std::uint32_t>(field.size, 1);
      if (backend == SqlBackend::Firebird)
        return firebirdTextType(false, characters, kFirebirdUtf8Bytes);
      return (ora ? "VARCHAR2(" : "VARCHAR(") + std::to_string(characters) + ")";
    }
  }
}

SqlParam columnParam(const FileDeclaration& file, const SqlColumn& column) {
  if (column.memo != 0) {
    const Memo& memo = *file.memo(column.memo);
    if (isBinaryMemo(memo)) return {SqlType::Binary, std::string(memo.content())};
    return {SqlType::Text, sendableText(std::string(memo.content()), memo.label())};
  }
  const FieldDef& field = *file.layout().field(column.field);
  const unsigned char* bytes = fieldBytes(file, field);
  if (isRawBytes(field)) {
    return {SqlType::Binary, std::string(reinterpret_cast<const char*>(bytes), field.totalSize())};
  }
  switch (field.type) {
    case FieldType::Byte: return {SqlType::Integer, wholeText(bytes[0])};
    case FieldType::Short: return {SqlType::Integer, wholeText(readNumber<std::int16_t>(bytes))};
    case FieldType::UShort: return {SqlType::Integer, wholeText(readNumber<std::uint16_t>(bytes))};
    case FieldType::Long: return {SqlType::Integer, wholeText(readNumber<std::int32_t>(bytes))};
    case FieldType::ULong: return {SqlType::Integer, wholeText(readNumber<std::uint32_t>(bytes))};
    case FieldType::SReal: return {SqlType::Real, realText(readNumber<float>(bytes))};
    case FieldType::Real: return {SqlType::Real, realText(readNumber<double>(bytes))};
    case FieldType::Date: {
      const runtime::Ymd ymd = runtime::ymdFromDate(runtime::unpackDate(bytes));
      if (ymd.year == 0) return SqlParam::null(SqlType::Date);
      char text[16];
      std::snprintf(text, sizeof text, "%04d-%02d-%02d", ymd.year, ymd.month, ymd.day);
      return {SqlType::Date, std::string(text)};
    }
    case FieldType::Time: {
      const int time = runtime::unpackTime(bytes);
      if (time == 0) return SqlParam::null(SqlType::Time);
      const runtime::Hms hms = runtime::hmsFromTime(time);
      char text[16];
      std::snprintf(text, sizeof text, "%02d:%02d:%02d.%02d", hms.hour, hms.minute, hms.second,
                    hms.hundredths);
      return {SqlType::Time, std::string(text)};
    }
    case FieldType::Decimal:
    case FieldType::PDecimal: {
      const runtime::Decimal value = runtime::unpackDecimal(bytes, field.digits, field.scale,
                                                            field.type == FieldType::PDecimal);
      return {SqlType::Decimal, value.rounded(field.scale).toString(), field.digits, field.scale};
    }
    default: return {SqlType::Text, sendableText(textOf(field, bytes), field.label)};
  }
}

bool storeColumnValue(FileDeclaration& file, const SqlColumn& column, const SqlCell& cell) {
  if (column.memo != 0) {
    Memo& memo = *file.memo(column.memo);
    if (!cell.value) {
      memo.clear();
      return true;
    }
    if (isBinaryMemo(memo)) {
      if (memo.setBytes(*cell.value)) return true;
      memo.clear();
      return false;
    }
    memo.assign(*cell.value);
    return true;
  }
  const FieldDef& field = *file.layout().field(column.field);
  unsigned char* bytes = fieldBytes(file, field);
  if (!cell.value) {
    blankField(field, bytes);
    return true;
  }
  if (isRawBytes(field)) {
    blankField(field, bytes);
    if (cell.value->size() != field.totalSize()) return false;
    std::memcpy(bytes, cell.value->data(), field.totalSize());
    return true;
  }
  if (storeText(field, bytes, *cell.value)) return true;
  blankField(field, bytes);
  return false;
}

void storeAnswerRow(FileDeclaration& file, const SqlRow& row) {
  const runtime::RecordLayout& layout = file.layout();
  const std::size_t count = std::min(row.size(), layout.fieldCount());
  for (std::size_t i = 0; i < count; ++i) {
    const FieldDef& field = *layout.field(static_cast<int>(i + 1));
    unsigned char* bytes = fieldBytes(file, field);
    if (!row[i].value) {
      blankField(field, bytes);
    } else if (isRawBytes(field)) {
      blankField(field, bytes);
      std::memcpy(bytes, row[i].value->data(),
                  std::min<std::size_t>(row[i].value->size(), field.totalSize()));
    } else {
      storeText(field, bytes, *row[i].value);
    }
  }
}

}  // namespace files
