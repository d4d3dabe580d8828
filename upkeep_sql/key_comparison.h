// The comparison of a live table's keys (SKDQ) with the declared keys (KDQ): a pair whose
// columns, attributes or directions differ is rebuilt (dropped, then made), a declared key
// without a partner is made, and, when the declaration is master of the file's keys, a live key
// it lacks is dropped before the new keys are made. The statements are queued in SQ after
// those of the column comparison.
#pragma once

#include <string_view>

namespace upkeep_sql {

// Compares the keys of the table in hand on driver code `code` and queues the statements,
// moving the wait window's progress.
void CompareKeys(std::string_view code);

}  // namespace upkeep_sql
