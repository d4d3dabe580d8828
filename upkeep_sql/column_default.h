// The DEFAULT of a column: BlankZero (per field, per file or the global option) gives 0 or the
// empty text; a SetIfNew value replaces it.
#pragma once

#include <string>
#include <string_view>

namespace upkeep_sql {

// The text to write after " Default " for field `name` of the file in hand, declared as
// `type` (an FDQ TYPE), on driver code `code` (whose literal quoting a text value takes).
// Blank: no default.
std::string DefaultExtra(std::string_view type, std::string_view name, std::string_view code);

}  // namespace upkeep_sql
