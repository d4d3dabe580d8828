#include "upkeep_sql/interpret_structure.h"

#include <algorithm>

#include "platform/files/file_declaration.h"
#include "platform/files/file_property.h"
#include "platform/files/record_descriptor.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/message.h"
#include "platform/runtime/text.h"
#include "upkeep/declaration_reader.h"
#include "upkeep/message_catalogue.h"
#include "upkeep/registration_tables.h"
#include "upkeep/trace.h"
#include "upkeep_sql/dialect_rules.h"
#include "upkeep_sql/dictionary_master.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

using runtime::FieldDef;
using runtime::FieldType;

constexpr std::uint8_t kOtherAttributes = 0xE0;

// The part of a label after its first ":", lower case with the first letter upper case (all
// lower case in case mode -1).
std::string nameOfLabel(std::string_view label) {
  const std::size_t colon = label.find(':');
  std::string name =
      runtime::LOWER(colon == std::string_view::npos ? label : label.substr(colon + 1));
  if (caseState().CaseMode != -1 && !name.empty())
    name = runtime::UPPER(name.substr(0, 1)) + name.substr(1);
  return name;
}

std::string withoutQuotes(std::string_view text) {
  std::string clipped = runtime::CLIP(text);
  if (clipped.size() >= 2 && clipped.front() == '"' && clipped.back() == '"')
    return clipped.substr(1, clipped.size() - 2);
  return clipped;
}

// A key component's name without the options written after a separator in its external name
// ("ID|READONLY": "ID").
std::string withoutOptions(const std::string& name) {
  const std::string upper = runtime::UPPER(name);
  for (const std::string_view word : {"READONLY", "BINARY", "CHECKFORNULL"}) {
    const std::size_t at = upper.find(word);
    if (at != std::string::npos) return name.substr(0, at == 0 ? 0 : at - 1);
  }
  return name;
}

void progress(std::size_t done, std::size_t total) {
  showProgress(total == 0 ? 0 : static_cast<std::int32_t>(done * 100 / total));
}

void startActivity(std::string_view code) {
  WaitProgress& window = waitProgress();
  window.activity = runtime::CLIP(upkeep::ds_GetMessage(code)) + runtime::CLIP(window.fileName);
}

void readKeys(const files::FileDeclaration& file, DeclaredStructure& declared) {
  startActivity("M64");
  const std::span<const files::KeyDef> keys = file.keys();
  for (std::size_t k = 0; k < keys.size(); ++k) {
    const files::KeyDef& def = keys[k];
    KdqEntry entry;
    entry.PTR = static_cast<std::int32_t>(k + 1);
    entry.KEYFILENAME = runtime::CLIP(def.externalName);
    if ((def.flags & 0xE8) != 0) entry.ATT += " other";
    if ((def.flags & files::KeyDup) != 0) entry.ATT += " dup";
    if ((def.flags & files::KeyOpt) != 0) entry.ATT += " opt";
    if ((def.flags & files::KeyNoCase) != 0) entry.ATT += " nocase";
    if ((def.flags & files::KeyPrimary) != 0) {
      entry.ATT += " primary";
      entry.DCTMASTER = 1;
    }
    entry.ATT = runtime::SUB(entry.ATT, 1, 20);
    entry.NUMFIELDS = static_cast<std::int32_t>(def.components.size());
    for (std::size_t i = 0; i < def.components.size() && i < kMaxKeyFieldNumbers; ++i)
      entry.FIELDNUMS[i] = static_cast<std::int16_t>(def.components[i]);
    entry.KEYNAME = nameOfLabel(def.label);
    if (entry.DCTMASTER == 0)
      entry.DCTMASTER =
          static_cast<std::uint8_t>(ds_CheckCreateKey(def.label, tableInHand().SqlTableName));
    declared.KDQ.entries.push_back(entry);
    declared.KDQ.current = entry;
    progress(k, keys.size());
  }
}

void readMemos(const files::FileDeclaration& file, DeclaredStructure& declared) {
  startActivity("M65");
  const std::int32_t mode = caseState().CaseMode;
  for (std::size_t m = 1; m <= file.memoCount(); ++m) {
    const files::MemoDef& def = file.memo(static_cast<int>(m))->def();
    MdqEntry entry;
    entry.MEMOFILENAME = runtime::CLIP(def.externalName);
    if (def.kind == 1 || def.kind == 5) {
      entry.ATTRIB = "Ascii";
      entry.TYPE = "text";
    } else if (def.kind == 3 || def.kind == 7) {
      entry.ATTRIB = "Binary";
      entry.TYPE = "binary";
    }
    entry.LENGTH = static_cast<std::int32_t>(def.size);
    entry.PTR = static_cast<std::int32_t>(m);
    entry.MEMONAME = nameOfLabel(def.label);
    const std::string external = files::getProperty(file, files::PropName, -static_cast<int>(m));
    if (mode == 2) {
      entry.SQLNAME = runtime::UPPER(external);
      entry.MEMONAME = runtime::UPPER(entry.MEMONAME);
    } else if (mode != -1) {
      entry.SQLNAME = external;
    }
    declared.MDQ.entries.push_back(entry);
    declared.MDQ.current = entry;
    progress(m - 1, file.memoCount());
  }
}

// The type word, length, picture and other text of a field entry (its type's row of the table).
void describeType(const files::FileDeclaration& file, int number, const FieldDef& field,
                  std::uint8_t flags, FdqEntry& entry) {
  const auto fixed = [&](const char* type, std::int32_t length, const char* picture) {
    entry.TYPE = type;
    entry.LENGTH = length;
    entry.CPICT = picture;
  };
  switch (field.type) {
    case FieldType::Byte: fixed("byte", 1, "@n3"); break;
    case FieldType::Short: fixed("short", 2, "@n-7"); break;
    case FieldType::UShort: fixed("ushort", 2, "@n6"); break;
    case FieldType::Date: fixed("date", 4, "@d1"); break;
    case FieldType::Time: fixed("time", 4, "@t1"); break;
    case FieldType::Long: fixed("long", 4, "@n-13"); break;
    case FieldType::ULong: fixed("ulong", 4, "@n13"); break;
    case FieldType::SReal: fixed("sreal", 4, "@n-13.2"); break;
    case FieldType::Real: fixed("real", 8, "@n-13.2"); break;
    case FieldType::BFloat4: fixed("bfloat4", 4, "@n-13.2"); break;
    case FieldType::BFloat8: fixed("bfloat8", 8, "@n-13.2"); break;
    case FieldType::Decimal:
    case FieldType::PDecimal: {
      const bool packed = field.type == FieldType::PDecimal;
      entry.LENGTH = static_cast<std::int32_t>(field.size);
      entry.CHARS = static_cast<std::uint8_t>(2 * field.size - 1);
      entry.PLACES = field.scale;
      entry.TYPE = std::string(packed ? "pdecimal(" : "decimal(") + std::to_string(entry.CHARS) +
                   "," + std::to_string(entry.PLACES) + ")";
      entry.DCTTYPE = std::string(packed ? "pdecimal(" : "decimal(") +
                      files::getProperty(file, files::PropDigits, number) + "," +
                      files::getProperty(file, files::PropPlaces, number);
      entry.CPICT = "@n-13.2";
      break;
    }
    case FieldType::String:
    case FieldType::CString:
    case FieldType::PString: {
      const char* word = field.type == FieldType::String    ? "string"
                         : field.type == FieldType::CString ? "cstring"
                                                            : "pstring";
      entry.LENGTH = static_cast<std::int32_t>(field.size);
      if ((flags & files::FieldHasPicture) != 0) {
        entry.PICTURE = field.picture;
        entry.CPICT = field.picture.starts_with('@') ? std::string(field.picture)
                                                     : "@" + std::string(field.picture);
        entry.OTHER = "(" + std::string(field.picture) + ")";
      } else {
        entry.CPICT = "@s" + std::to_string(field.size);
        entry.OTHER = "(" + std::to_string(field.size) + ")";
      }
      entry.TYPE = word + entry.OTHER;
      break;
    }
    case FieldType::Group:
      entry.TYPE = "group (next " + std::to_string(field.members) + " fields)";
      entry.LENGTH = static_cast<std::int32_t>(field.size);
      entry.CPICT = "@s" + std::to_string(field.size);
      break;
  }
}

void readFields(const files::FileDeclaration& file, DeclaredStructure& declared) {
  startActivity("M66");
  declared.InterpretedPrefix.clear();
  std::int32_t offset = 0;
  const runtime::RecordLayout& layout = file.layout();
  const std::size_t count = layout.fieldCount();
  for (std::size_t i = 1; i <= count; ++i) {
    const int number = static_cast<int>(i);
    const FieldDef& field = *layout.field(number);
    const std::uint8_t flags = file.fieldFlags(number);
    FdqEntry entry;
    entry.TYPENUM = static_cast<std::int32_t>(field.type);
    entry.CNUM = i % 75 == 0 ? 75 : static_cast<std::int32_t>(i % 75);
    entry.CWID = 65;
    describeType(file, number, field, flags, entry);
    if ((flags & files::FieldHasExternalName) != 0)
      entry.ALTNAME = withoutQuotes(upkeep::ExternalNameOf(field.externalName));
    const bool over = (flags & files::FieldIsOver) != 0;
    if (over) {
      entry.OVER = 1;
      entry.CPICT = "@s5";
    }
    entry.OFFSET = offset;
    if ((flags & kOtherAttributes) != 0) entry.ATTRIB += " other";
    if ((flags & files::FieldHasPicture) != 0) entry.ATTRIB += " picture";
    if (over) entry.ATTRIB += " over";
    entry.ARRAY = {1, 1, 1, 1};
    std::int32_t total = entry.LENGTH;
    if (field.isArray()) {
      std::string dims;
      std::size_t used = 0;
      for (std::size_t j = 0; j < field.dims.size() && field.dims[j] != 0; ++j) {
        dims += (dims.empty() ? "" : ",") + std::to_string(field.dims[j]);
        entry.DIMS[j] = static_cast<std::int32_t>(field.dims[j]);
        total *= entry.DIMS[j];
        used = j + 1;
      }
      entry.ATTRIB += " dim(" + dims + ")";
      if (over) entry.MATCH = 1;
      entry.FACTOR[used - 1] = entry.LENGTH;
      for (std::size_t j = used - 1; j > 0; --j)
        entry.FACTOR[j - 1] = entry.FACTOR[j] * entry.DIMS[j];
    }
    if (declared.InterpretedPrefix.empty()) {
      const std::size_t colon = field.label.find(':');
      const std::size_t cut = colon != std::string_view::npos ? colon : field.label.find('_');
      declared.InterpretedPrefix = std::string(field.label.substr(0, cut));
    }
    entry.NAME = nameOfLabel(field.label);
    if (!entry.ALTNAME.empty()) entry.ATTRIB += " name(" + entry.ALTNAME + ")";
    entry.DCTMASTER = static_cast<std::uint8_t>(
        ds_CheckCreateField(field.label, runtime::CLIP(declared.InterpretedPrefix) + ":" +
                                             runtime::CLIP(tableInHand().SqlTableName)));
    declared.FDQ.entries.push_back(entry);
    declared.FDQ.current = entry;
    if (!over && field.type != FieldType::Group) offset += total;
    progress(i, count);
  }
}

// The date-time field that a DATE or TIME component stands for: the UNREALFIELD entered just
// before the component's REALFIELD entry (or before the REALFIELD before it). Empty for none.
std::string dateTimeFieldOf(const std::string& prefix, const std::string& name) {
  const std::vector<upkeep::RealFieldEntry>& rfq = upkeep::registration().RFQ;
  const std::string wanted = runtime::UPPER(CasedName(prefix) + ":" + CasedName(name));
  const auto found = std::find_if(rfq.begin(), rfq.end(), [&](const upkeep::RealFieldEntry& e) {
    return runtime::UPPER(e.NAME) == wanted;
  });
  if (found == rfq.end() || found->VALUE != "REALFIELD") return {};
  const auto nameAfterColon = [](const std::string& label) {
    const std::size_t colon = label.find(':');
    return colon == std::string::npos ? label : label.substr(colon + 1);
  };
  const std::size_t at = static_cast<std::size_t>(found - rfq.begin());
  if (at >= 1 && rfq[at - 1].VALUE == "UNREALFIELD") return nameAfterColon(rfq[at - 1].NAME);
  if (at >= 2 && rfq[at - 1].VALUE == "REALFIELD" && rfq[at - 2].VALUE == "UNREALFIELD")
    return nameAfterColon(rfq[at - 2].NAME);
  return {};
}

// Whether key component `field` is skipped because the key already holds the date-time field
// it belongs to; otherwise `field` may move to that date-time field's entry.
bool CheckComponentField(DeclaredStructure& declared, KdqEntry& key, std::string& usedDateTimes,
                         const FdqEntry*& field) {
  const std::string dateTime = dateTimeFieldOf(declared.InterpretedPrefix, field->NAME);
  if (dateTime.empty()) return false;
  const std::string mark = " " + dateTime + ",";
  if (usedDateTimes.find(mark) != std::string::npos) {
    --key.NUMFIELDS;
    return true;
  }
  usedDateTimes += mark;
  const std::vector<FdqEntry>& fields = declared.FDQ.entries;
  const auto target = std::find_if(fields.begin(), fields.end(), [&](const FdqEntry& f) {
    return runtime::UPPER(CasedName(f.NAME)) == runtime::UPPER(dateTime);
  });
  if (target == fields.end()) {
    upkeep::WriteTrace(
        "Could find DateTime field for creating date component key! Further errors expected!");
  } else {
    field = &*target;
  }
  return false;
}

void nameKeyComponents(DeclaredStructure& declared) {
  const std::int32_t mode = caseState().CaseMode;
  for (KdqEntry& key : declared.KDQ.entries) {
    std::string usedDateTimes;
    const std::int32_t count = std::min<std::int32_t>(key.NUMFIELDS, kMaxKeyFieldNumbers);
    for (std::int32_t i = 0; i < count; ++i) {
      const int number = std::abs(key.FIELDNUMS[static_cast<std::size_t>(i)]);
      if (number < 1 || number > static_cast<int>(declared.FDQ.entries.size())) {
        runtime::STOP("Upkeep: kfn " + runtime::errorText(runtime::EntryNotFoundErr) + " " +
                      std::to_string(key.FIELDNUMS[static_cast<std::size_t>(i)]));
        continue;
      }
      const FdqEntry* field = &declared.FDQ.entries[static_cast<std::size_t>(number - 1)];
      if (CheckComponentField(declared, key, usedDateTimes, field)) continue;
      std::string name;
      if (!field->ALTNAME.empty()) {
        name =
            mode == 1 || mode == -1 || mode == 2 ? field->ALTNAME : runtime::UPPER(field->ALTNAME);
      } else {
        name = CasedName(field->NAME);
      }
      key.FIELDS = runtime::CLIP(key.FIELDS) + " " + runtime::CLIP(withoutOptions(name));
    }
    declared.KDQ.current = key;
  }
}

}  // namespace

void ds_InterpretStructure(const files::FileDeclaration& file) {
  DeclaredStructure& declared = declaredStructure();
  declared.FDQ.clear();
  declared.KDQ.clear();
  declared.MDQ.clear();
  readKeys(file, declared);
  readMemos(file, declared);
  readFields(file, declared);
  nameKeyComponents(declared);
}

}  // namespace upkeep_sql
