// Field lists of declarations built in code, read as the upgrade reads them.
#pragma once

#include "platform/files/file_declaration.h"
#include "upkeep/declaration_reader.h"

namespace upkeep {

// The field list of `file` (LoadpQueue): a destination list when `destination` is set, else a
// source list. A declaration that does not read fails the test.
FieldQueue fieldList(files::FileDeclaration& file, bool destination);

}  // namespace upkeep
