// Field lists of declarations built in code, as the record copy reads them.
#pragma once

#include <vector>

#include "platform/files/file_declaration.h"
#include "upkeep/record_copy.h"

namespace upkeep {

// The field list of `file`: fields in declaration order, then memos; `destination` keeps the
// fields laid over others (marked OVERED), a source list drops them.
std::vector<FieldEntry> fieldList(files::FileDeclaration& file, bool destination);

}  // namespace upkeep
