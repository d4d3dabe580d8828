// The record layouts of the upgrade benchmarks: an old 200-byte project record and the new
// one, whose DESCRIPTION is wider and which adds THREADLINK. Also the per-record
// transformation between them written field by field in plain code, the baseline the record
// copy is measured against.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/runtime/decimal.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text_types.h"

namespace bench {

// The fields both layouts share; the new layout widens DESCRIPTION.
template <std::size_t DescriptionSize>
struct ProjectBody {
  runtime::Long ID;
  runtime::CString<DescriptionSize> DESCRIPTION;
  runtime::CString<50> CATEGORY;
  runtime::String<40> PATH;
  runtime::Date CREATED;
  runtime::Time AT;
  runtime::DecimalField<9, 2> PRICE;
  runtime::Real RATE;
  runtime::Short LEVEL;
  runtime::Byte FLAGS[4];
  runtime::CString<19> CODEBY;
};

using OldProject = ProjectBody<60>;
static_assert(sizeof(OldProject) == 200);

struct NewProject {
  ProjectBody<100> BODY;
  runtime::CString<80> THREADLINK;
};

template <class R>
std::vector<runtime::FieldDef> projectBodyFields() {
  return {GD_FIELD(R, ID, "PRO:ID"),
          GD_FIELD(R, DESCRIPTION, "PRO:DESCRIPTION"),
          GD_FIELD(R, CATEGORY, "PRO:CATEGORY"),
          GD_FIELD(R, PATH, "PRO:PATH"),
          GD_FIELD(R, CREATED, "PRO:CREATED"),
          GD_FIELD(R, AT, "PRO:AT"),
          GD_FIELD(R, PRICE, "PRO:PRICE"),
          GD_FIELD(R, RATE, "PRO:RATE"),
          GD_FIELD(R, LEVEL, "PRO:LEVEL"),
          GD_FIELD(R, FLAGS, "PRO:FLAGS"),
          GD_FIELD(R, CODEBY, "PRO:CODEBY")};
}

inline std::vector<runtime::FieldDef> oldProjectFields() { return projectBodyFields<OldProject>(); }

inline std::vector<runtime::FieldDef> newProjectFields() {
  std::vector<runtime::FieldDef> fields = projectBodyFields<ProjectBody<100>>();  // BODY at 0
  fields.push_back(GD_FIELD(NewProject, THREADLINK, "PRO:THREADLINK"));
  return fields;
}

// Fills the fields of `old` other than ID, DESCRIPTION and CATEGORY with fixed values.
inline void fillFixedFields(OldProject& old) {
  old.PATH = "C:\\AGK\\Projects\\Platformer";
  old.CREATED = runtime::dateFromYmd(2020, 12, 31);
  old.AT = runtime::timeFromHms(12, 30, 0, 0);
  old.PRICE = runtime::Decimal::parse("1234.56");
  old.RATE = 0.75;
  old.LEVEL = 3;
  for (int i = 0; i < 4; ++i) old.FLAGS[i] = static_cast<std::uint8_t>(i);
  old.CODEBY = "someone";
}

// The new record made from `old` field by field, as plain code would write it.
inline void convertByHand(const OldProject& old, NewProject& record) {
  ProjectBody<100>& rec = record.BODY;
  rec.ID = old.ID.value();
  rec.DESCRIPTION = old.DESCRIPTION.view();
  rec.CATEGORY = old.CATEGORY.view();
  rec.PATH = old.PATH.view();
  rec.CREATED = old.CREATED.value();
  rec.AT = old.AT.value();
  rec.PRICE = old.PRICE.value();
  rec.RATE = old.RATE.value();
  rec.LEVEL = old.LEVEL.value();
  for (int i = 0; i < 4; ++i) rec.FLAGS[i] = old.FLAGS[i].value();
  rec.CODEBY = old.CODEBY.view();
  record.THREADLINK = "";
}

}  // namespace bench
