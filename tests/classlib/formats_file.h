// The list-format file of the tests, laid out as the program declares its "Formats.FDB".
#pragma once

#include <string>

#include "platform/files/file_declaration.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/text_types.h"

namespace classlib::testing {

struct FormatRecord {
  runtime::String<30> APPNAME;
  runtime::String<30> PROCID;
  runtime::Short USERID;
  runtime::Short CTRLID;
  runtime::Short FORMATID;
  runtime::String<30> FORMATNAME;
  runtime::Byte FLAG;
  runtime::String<5120> FORMAT;
  runtime::String<2048> VARLINE;
};
static_assert(sizeof(FormatRecord) == 7265);

inline const runtime::FieldDef kFormatFields[] = {
    GD_FIELD(FormatRecord, APPNAME, "CFG:APPNAME"),
    GD_FIELD(FormatRecord, PROCID, "CFG:PROCID"),
    GD_FIELD(FormatRecord, USERID, "CFG:USERID"),
    GD_FIELD(FormatRecord, CTRLID, "CFG:CTRLID"),
    GD_FIELD(FormatRecord, FORMATID, "CFG:FORMATID"),
    GD_FIELD(FormatRecord, FORMATNAME, "CFG:FORMATNAME"),
    GD_FIELD(FormatRecord, FLAG, "CFG:FLAG"),
    GD_FIELD(FormatRecord, FORMAT, "CFG:FORMAT"),
    GD_FIELD(FormatRecord, VARLINE, "CFG:VARLINE"),
};
inline const files::KeySpec kFormatKeys[] = {
    {"CFG:KEY_MAIN", files::KeyNoCase | files::KeyOpt, {1, 2, 3, 4, 5}},
};

// The declaration of the list-format file called `name`; the FileSpec holds a view of `name`, so
// make the declaration from it at once.
inline files::FileSpec formatSpec(const std::string& name) {
  files::FileSpec s;
  s.label = "Formats";
  s.prefix = "CFG";
  s.name = name;
  s.create = true;
  s.fields = kFormatFields;
  s.recordSize = sizeof(FormatRecord);
  s.keys = kFormatKeys;
  return s;
}

}  // namespace classlib::testing
