// Oracle tablespaces of tables and indexes: the one the tablespace tables (TSQ, ISQ) name for a
// table or an index, made when the server lacks it, and the clause of an index statement.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace upkeep_sql {

// The tablespace of a table (`kind` "T", `name` its file name) or an index ("I", its SQL key
// name): its own entry or the default entry; blank when there is none. A named tablespace the
// server lacks is created; a failed creation reports M29 at level 1.
std::string GetTableSpace(std::string_view kind, std::string_view name);

// 1 when the connected user has a tablespace `name`; 0 when not or when the query failed.
std::uint8_t FindTableSpace(std::string_view name);

// Creates tablespace `name` of `size` ("100M") in data file `dataFile`: 0 created, 1 failed
// (reported through ExecuteStatement at level 1). A size that is not a number with an optional
// K, M, G or T is not sent and fails.
std::uint8_t CreateTableSpace(std::string_view size, std::string_view dataFile,
                              std::string_view name);

// " TABLESPACE " and the tablespace of index `indexName`, or the empty text.
std::string IndexTableSpaceClause(std::string_view indexName);

}  // namespace upkeep_sql
