#include "upkeep/sql_insert_lists.h"

#include <cstring>
#include <memory>

#include "platform/files/file_declaration.h"
#include "platform/files/sql_columns.h"
#include "platform/files/sql_quoting.h"
#include "platform/os/debug_output.h"
#include "platform/runtime/decimal.h"
#include "platform/runtime/field_type.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/number_text.h"
#include "platform/runtime/picture.h"
#include "platform/runtime/standard_date.h"
#include "platform/runtime/text.h"
#include "upkeep/debug_switches.h"
#include "upkeep/field_clearing.h"
#include "upkeep/postgres_bytea.h"
#include "upkeep/registration_tables.h"
#include "upkeep/sql_file_rules.h"
#include "upkeep/text_buffers.h"
#include "upkeep/text_converters.h"
#include "upkeep/trace.h"

namespace upkeep {
namespace {

using runtime::FieldType;

template <class Number>
long long numberAt(const unsigned char* bytes) {
  Number number;
  std::memcpy(&number, bytes, sizeof number);
  return number.value();
}

bool isMySql(std::string_view kind) {
  const std::string upper = runtime::UPPER(kind);
  return upper == "MYODBC 2" || upper == "MYODBC 3";
}

// The text as a SQL literal of the backend `kind`: quoted, apostrophes doubled (on MySQL, which
// reads backslashes as escapes, backslashes doubled too), a NUL byte (which a text column
// cannot hold) sent as a space and traced whatever the switches.
std::string quoted(std::string_view text, const FieldEntry& field, std::int32_t recordNumber,
                   std::string_view kind) {
  std::string value(text);
  for (char& c : value) {
    if (c != '\0') continue;
    os::outputDebugString(
        "[Upkeep][ERROR] NULL DATA IN NON BINARY STRING (*CHANGED TO SPACE*) record: " +
        std::to_string(recordNumber) + " :: " + field.NAME);
    c = ' ';
  }
  if (isMySql(kind)) return *files::quoteLiteral(files::SqlBackend::MySql, value);
  std::string literal = "'";
  for (const char c : value) {
    if (c == '\'') literal += '\'';
    literal += c;
  }
  return literal + "'";
}

// A binary memo (kinds 3 and 7) becomes a bytea or binary column: its bytes go as they are.
bool isBinaryMemo(const files::Memo& memo) {
  const std::uint8_t kind = memo.def().kind;
  return kind == 3 || kind == 7;
}

// `bytes` as a binary literal, so that every byte, NUL and quote included, arrives unchanged:
// 0x and hexadecimal digits with `hexNumbers`, a bytea text on PostgreSQL, X'..' elsewhere.
std::string binaryLiteral(std::string_view bytes, std::string_view kind, bool hexNumbers) {
  if (!hexNumbers && runtime::UPPER(kind) == "POSTGRES") {
    auto length = static_cast<std::int32_t>(bytes.size());
    const std::unique_ptr<char[]> text = ds_PostGresParseBinaryString(length, 1, bytes.data());
    return "'" + (text ? std::string(text.get(), static_cast<std::size_t>(length)) : "") + "'";
  }
  const std::string literal = HexLiteral(bytes);  // "0x" and the digits
  return hexNumbers ? literal : "X'" + literal.substr(2) + "'";
}

DateTimePair* pairWith(std::string DateTimePair::*member, std::string_view name) {
  for (DateTimePair& pair : DTQ())
    if (runtime::equalTextNoCase(pair.*member, name)) return &pair;
  return nullptr;
}

}  // namespace

std::vector<DateTimePair>& DTQ() {
  static std::vector<DateTimePair> pairs;
  return pairs;
}

std::string_view SqlInsertLists::FieldNames() const {
  return sqlTextBuffers().FieldNames.text(static_cast<std::size_t>(namesUsed_));
}

std::string_view SqlInsertLists::FieldValues() const {
  return sqlTextBuffers().FieldValues.text(static_cast<std::size_t>(valuesUsed_));
}

std::string SqlInsertLists::columnName(const FieldEntry& field) {
  std::string name = runtime::CLIP(field.EXTNAME);
  if (name.empty()) {
    name = runtime::CLIP(field.NAME);
  } else {
    const std::string upper = runtime::UPPER(name);
    for (const std::string_view attribute : {"READONLY", "BINARY"}) {
      const int at = runtime::INSTRING(attribute, upper);
      if (at == 0) continue;
      // The attribute follows the name and one separator character.
      name = runtime::CLIP(name.substr(0, static_cast<std::size_t>(std::max(at - 2, 0))));
      break;
    }
  }
  if (!field.OVERED) {
    const std::size_t colon = name.find(':');
    if (colon != std::string::npos) name.erase(0, colon + 1);
  }
  return name;
}

void SqlInsertLists::add(const std::string& column, std::string_view literal) {
  const std::string separator = namesUsed_ == 0 ? "  " : ", ";
  const std::string name = namesUsed_ == 0 ? column : separator + column;
  const std::string value = separator + runtime::CLIP(literal);
  AppendFieldName(static_cast<std::int32_t>(name.size()), namesUsed_, name);
  CheckRecordBufferSize(static_cast<std::int32_t>(value.size()), valuesUsed_, value);
}

void SqlInsertLists::addField(const FieldEntry& field, const FieldElement& value) {
  const UpgradeOptions& options = registration().options;
  const bool zeroIsNull = options.zeroNullConvert == 1;
  const bool noDateIsNull = options.zeroNullConvert != 0;
  const std::string column = columnName(field);
  const unsigned char* bytes = value.bytes;
  switch (static_cast<FieldType>(value.type)) {
    case FieldType::Byte:
    case FieldType::Short:
    case FieldType::UShort:
    case FieldType::Long:
    case FieldType::ULong: {
      long long number = 0;
      switch (static_cast<FieldType>(value.type)) {
        case FieldType::Byte: number = bytes[0]; break;
        case FieldType::Short: number = numberAt<runtime::Short>(bytes); break;
        case FieldType::UShort: number = numberAt<runtime::UShort>(bytes); break;
        case FieldType::ULong: number = numberAt<runtime::ULong>(bytes); break;
        default: number = numberAt<runtime::Long>(bytes); break;
      }
      if (FromITQ() == 1) WriteTrace("doing autonumcheck");
      if (number != 0 || !zeroIsNull) add(column, runtime::longToText(number));
      return;
    }
    case FieldType::SReal:
    case FieldType::Real: {
      double real = 0;
      if (value.type == static_cast<std::uint8_t>(FieldType::SReal)) {
        runtime::SReal stored;
        std::memcpy(&stored, bytes, sizeof stored);
        real = stored.value();
      } else {
        runtime::Real stored;
        std::memcpy(&stored, bytes, sizeof stored);
        real = stored.value();
      }
      if (real != 0 || !zeroIsNull) add(column, runtime::realToText(real));
      return;
    }
    case FieldType::Decimal:
    case FieldType::PDecimal: {
      const runtime::Decimal number = PackedValue(value);
      if (number.isZero() && zeroIsNull) return;
      // A Firebird column keeps a number wider than its DECIMAL as text: a literal of the text
      // arrives exactly, where a number literal that wide would not.
      if (backendKind == "FIREBIRD" && value.chars > files::kFirebirdDecimalDigits) {
        add(column, "'" + number.toString() + "'");
      } else {
        add(column, number.toString());
      }
      return;
    }
    case FieldType::Date: {
      const int date = runtime::unpackDate(bytes);
      const char* picture = DateFormat == 10 ? "@d10" : DateFormat == 110 ? "@d10-" : "@d12";
      const std::string text = date == 0 ? std::string() : runtime::FORMAT(date, picture);
      if (field.OVERED) {
        if (DateTimePair* pair = pairWith(&DateTimePair::DATENAME, field.NAME))
          pair->DATEVALUE = text;
        return;
      }
      if (date == 0 && (noDateIsNull || NotFirebirdOrPostgres(backendKind) == 0)) return;
      add(column, "'" + text + "'");
      return;
    }
    case FieldType::Time: {
      const int time = runtime::unpackTime(bytes);
      const std::string text = time == 0 ? std::string() : runtime::FORMAT(time, "@t4");
      if (field.OVERED) {
        if (DateTimePair* pair = pairWith(&DateTimePair::TIMENAME, field.NAME))
          pair->TIMEVALUE = text;
        return;
      }
      if (time == 0 && noDateIsNull) return;
      add(column, "'" + text + "'");
      return;
    }
    default: break;
  }
  if (value.type == kMemoEntryType && value.memo != nullptr && isBinaryMemo(*value.memo)) {
    const std::string_view bytes = value.memo->content();
    if (!bytes.empty() || !zeroIsNull) add(column, binaryLiteral(bytes, backendKind, hexNumbers));
    return;
  }
  if (value.type == kMemoEntryType || static_cast<FieldType>(value.type) == FieldType::String ||
      static_cast<FieldType>(value.type) == FieldType::CString ||
      static_cast<FieldType>(value.type) == FieldType::PString) {
    const std::string text = runtime::CLIP(FieldText(value));
    if (text.empty() && zeroIsNull) return;
    if (binaryFields.contains(field.NAME)) {
      add(column, binaryLiteral(text, backendKind, hexNumbers));
    } else {
      add(column, quoted(text, field, recordNumber, backendKind));
    }
  }
}

void SqlInsertLists::addDateTimePairs() {
  for (const DateTimePair& pair : DTQ()) {
    const std::string value =
        runtime::CLIP(runtime::CLIP(pair.DATEVALUE) + " " + runtime::CLIP(pair.TIMEVALUE));
    if (value.empty()) {  // the column gets its default
      if (debugLevels().fieldCopyDetail)
        WriteTrace("Null Date Time data: '" + pair.DATEVALUE + "' '" + pair.TIMEVALUE + "'");
      continue;
    }
    std::string column = runtime::CLIP(pair.SQLSTRINGNAME);
    const std::size_t colon = column.find(':');
    if (colon != std::string::npos) column.erase(0, colon + 1);
    if (!timeAloneTaken && refusal_.empty() && runtime::CLIP(pair.DATEVALUE).empty())
      refusal_ = "A time without a date cannot go into the date-time column " + column;
    add(column, "'" + value + "'");
  }
}

}  // namespace upkeep
