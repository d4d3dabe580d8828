#include "upkeep_sql/column_tables.h"

namespace upkeep_sql {

ColumnTables& columnTables() {
  static ColumnTables tables;
  return tables;
}

}  // namespace upkeep_sql
