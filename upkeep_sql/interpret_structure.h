// The declared side of a SQL table: a FILE declaration read into the calling thread's FDQ
// (fields), KDQ (keys) and MDQ (memos and blobs), in the form the statement builders and the
// structure comparison use (structure_queues.h).
#pragma once

namespace files {
class FileDeclaration;
}

namespace upkeep_sql {

// Empties the calling thread's FDQ, KDQ and MDQ and fills them from `file`: keys first, then
// memos, then fields in record order (a GROUP's members after it), then each key's component
// names. The wait window's activity line names each step and its bar moves unless silent.
// A key component that names no field shows a STOP and the key is kept.
void ds_InterpretStructure(const files::FileDeclaration& file);

}  // namespace upkeep_sql
