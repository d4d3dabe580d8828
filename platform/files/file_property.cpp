#include "platform/files/file_property.h"

#include <optional>

#include "platform/files/sql_driver.h"

namespace files {
namespace {

using runtime::FieldDef;
using runtime::FieldType;

// The properties kept for the drivers as plain values.
bool isDriverValue(std::uint32_t number) {
  switch (number) {
    case PropSqlStatement:
    case PropSqlSetting43:
    case PropSqlSetting45:
    case PropSqlOpenFlag:
    case PropServerVersion:
    case PropDriverOpenFlag: return true;
    default: return false;
  }
}

bool isDecimal(const FieldDef& field) {
  return field.type == FieldType::Decimal || field.type == FieldType::PDecimal;
}

std::string number(std::uint64_t value) { return std::to_string(value); }

// Property `property` of `field`; nothing for a number that is not a field property.
std::optional<std::string> fieldProperty(const FieldDef& field, std::uint32_t property) {
  switch (property) {
    case PropName: return std::string(field.externalName);
    case PropLabel: return std::string(field.label);
    case PropPlaces: return number(isDecimal(field) ? field.scale : 0);
    case PropDigits: return number(isDecimal(field) ? field.digits : 0);
    case PropDimensions: return number(field.isArray() ? field.elementCount() : 0);
    case PropOver: return number(field.over);
    case PropFieldType: return number(static_cast<std::uint8_t>(field.type));
    default: return std::nullopt;
  }
}

}  // namespace

std::string getProperty(const FileDeclaration& file, std::uint32_t property, int index) {
  if (property == PropServerVersion && isSqlDriver(file.driver()) && file.openState().isOpen())
    return sqlServerVersion(file);
  if (isDriverValue(property)) return std::string(file.driverValue(property));
  if (fieldProperty(FieldDef{}, property)) {
    if (index > 0) {
      const FieldDef* field = file.layout().field(index);
      return field != nullptr ? *fieldProperty(*field, property) : "";
    }
    if (index < 0) {
      const Memo* memo = file.memo(-index);
      return memo != nullptr && property == PropName ? memo->def().externalName : "";
    }
    if (property != PropName && property != PropLabel) return {};
  }
  // Properties of the file itself; they take no index.
  switch (property) {
    case PropDriverName: return std::string(driverName(file.driver()));
    case PropKeyCount: return number(file.keyCount());
    case PropFieldCount: return number(file.layout().fieldCount());
    case PropOwner: return file.owner();
    case PropName: return file.openState().isOpen() ? file.openState().name : file.currentName();
    case PropLabel: return file.label();
    case PropPrefix: return file.prefix();
    case PropCreate: return number(file.createAttribute() ? 1 : 0);
    default: return {};
  }
}

bool setProperty(FileDeclaration& file, std::uint32_t property, std::string_view value) {
  if (property == PropOwner) {
    file.setOwner(value);
    return true;
  }
  if (!isDriverValue(property) || property == PropServerVersion) return false;
  file.setDriverValue(property, value);
  if (property == PropSqlStatement && isSqlDriver(file.driver())) sendSqlStatement(file, value);
  return true;
}

}  // namespace files
