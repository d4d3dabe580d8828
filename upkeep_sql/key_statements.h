// Keys of a declaration as primary keys, unique constraints, unique indexes and indexes of a SQL
// table, per backend: the statements that create them with a new table (CreateKeys), that add or
// re-create one (BuildKey) and that remove one (DropKey), and the column list they use.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "upkeep_sql/statement_dialect.h"
#include "upkeep_sql/structure_queues.h"

namespace upkeep_sql {

// 0, or 255 while the one-column key last listed from the declaration is a MySQL field longer
// than 255 bytes: its index then takes the column's first 255 characters.
std::int32_t& MySQLIndexPrefixLength();

// Table `name` of schema `schema` (blank: none) as statements write it: PostgreSQL
// "schema"."name" (schema "public" when blank, the name in lower case), Firebird "NAME" without
// a schema, else schema.name or name, each part quoted unless it is a plain identifier where
// quoting would change its meaning.
std::string QuotedTableNameIn(std::string_view schema, std::string_view name,
                              std::string_view code);
// Table `name` of the table in hand's schema (TableSchema) as statements write it.
std::string QuotedTableName(std::string_view name, std::string_view code);

// 1 for the SQL driver codes "MSS", "ORA", "ODB" and "ASA", else 0.
std::int32_t IsSqlDriverCode(std::string_view code);

// The owner string last stored for the backend of driver code `code` (its connection).
std::string OwnerForDriver(std::string_view code);

// The column list of the current declared ("D") or live ("S") key: the components joined by
// ", ", a descending one with " DESC" (not on PostgreSQL, where each name is quoted in lower
// case). "D" also sets MySQLIndexPrefixLength. Any other letter: the empty list.
std::string CommaSeperateAndDescCheck(std::string_view which, std::string_view code);

// The word that orders a new index over a key on `backend`: "DESCENDING " on Firebird when
// every component of the key is descending (`wholly`, EveryComponentDescending), else nothing.
std::string IndexDirectionWord(StatementDialect backend, bool whollyDescending);

// What a key constraint on `backend` adds after its column list so that its index, named
// `indexName` as the constraint is, runs descending: on Firebird when every component of the
// key is descending; else nothing.
std::string ConstraintIndexClause(StatementDialect backend, bool whollyDescending,
                                  std::string_view indexName);

// The statement that adds key `keyName` (attributes `attributes`, columns `columns`) to the
// table in hand; blank when the backend builds none or the key is refused (reserved name M48,
// unsuitable type M43, too long M44, each at level 1). A DUP key gets an index when
// `isIndex` is set, and with `force` a unique constraint otherwise. The index runs as the
// current declared ("D") or live ("S") key, `which`, whose columns are given.
std::string BuildKey(std::string_view attributes, std::string_view columns,
                     std::string_view keyName, std::string_view code, std::uint8_t isIndex,
                     std::uint8_t force, std::string_view which = "D");

// The statement that removes key `keyName` (an index when `isIndex` is set) of table
// `tableName`; blank for an unknown backend.
std::string DropKey(std::string_view attributes, std::string_view keyName,
                    std::string_view tableName, std::string_view code, std::uint8_t isIndex);

// Queues in SQ a statement for each key of the thread's KDQ that a new table needs: the primary
// key unless the CREATE TABLE holds it, DUP keys only when the declaration is their master,
// unique keys as unique constraints (unique indexes when the declaration is their master).
void CreateKeys(std::string_view code);

}  // namespace upkeep_sql
