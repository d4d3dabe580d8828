// A row of the template lists (browse_Templates, select_template): the description, the path of
// the template line file and the ID, then the browse's MARK and VIEWPOSITION.
#pragma once

#include "app/dictionary/records.h"

namespace app {

struct TemplateRow {
  CString<100> DESCRIPTION;
  CString<255> PROJECTPATH;
  Long ID;
  Byte MARK;
  String<1024> VIEWPOSITION;

  static const runtime::RecordLayout& layout() {
    static const FieldDef fields[] = {
        GD_FIELD(TemplateRow, DESCRIPTION, "TPL:DESCRIPTION"),
        GD_FIELD(TemplateRow, PROJECTPATH, "TPL:PROJECTPATH"),
        GD_FIELD(TemplateRow, ID, "TPL:ID"),
        GD_FIELD(TemplateRow, MARK, "MARK"),
        GD_FIELD(TemplateRow, VIEWPOSITION, "VIEWPOSITION"),
    };
    static const runtime::RecordLayout layout(fields, sizeof(TemplateRow));
    return layout;
  }
};

}  // namespace app
