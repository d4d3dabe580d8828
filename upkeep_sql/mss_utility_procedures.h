// The SQL Server utility procedure ds_ConvertCorvidDateTime: it turns the runtime's day number
// and time (hundredths of a second) into a SQL Server datetime, with the decimal precision the
// server answers.
#pragma once

#include <string>
#include <string_view>

namespace upkeep_sql {

// The date picture of the procedure's root dates; blank at process start, and nothing sets it
// in this program. Blank writes them as yyyymmdd ("18001228", "19000101"), which SQL Server
// reads in every language.
std::string& MSSDatePicture();

// For driver code "MSS" (exactly): reads the server's maximum decimal precision (38 when it
// does not answer) and creates ds_ConvertCorvidDateTime anew. Any other code does nothing.
void CreateUtilitySPs(std::string_view code);

// The procedure's text for precision `precision`: 33 lines, each ending in CR LF.
std::string ConvertDateTimeProcedure(int precision);

}  // namespace upkeep_sql
