// REMOVE, RENAME and COPY of Caskfile tables. A table that is its data file's only one moves
// with the whole file; otherwise the table alone is dropped, or carried into the target data
// file (created when missing) in one transaction across both files, so a crash leaves it
// either where it was or where it went. The errors are those of file_ops.h, and 36 for a file
// that is not a data file of this driver (a broken file may still be removed, renamed or
// copied as a whole through its default table's name).
#pragma once

#include "platform/files/cask_name.h"

namespace files {

int removeCaskTable(const CaskName& name);
int renameCaskTable(const CaskName& from, const CaskName& to);
int copyCaskTable(const CaskName& from, const CaskName& to);

}  // namespace files
