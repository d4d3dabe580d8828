// The Caskfile driver: keyed records of a FILE declaration in a table of an SQLite data file
// (cask_data_file.h, cask_table.h). The table keeps the declaration's structure as
// caskSchemaOf() gives it, and OPEN opens only with exactly that structure.
#pragma once

#include "platform/files/cask_table.h"
#include "platform/files/file_driver.h"

namespace files {

// The Caskfile driver.
FileDriver& caskDriver();

// The structure a declaration stores in its table: the record type descriptor and the memo
// definitions (kind, size, label, external name) as the layout; the keys (flags, components,
// label, external name); which keys are unique; the memo count, record size and owner.
CaskSchema caskSchemaOf(const FileDeclaration& file);

}  // namespace files
