#include "upkeep_sql/mss_utility_procedures.h"

#include "platform/runtime/number_text.h"
#include "platform/runtime/picture.h"
#include "platform/runtime/text.h"
#include "upkeep_sql/catalogue_reading.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/sql_trace.h"
#include "upkeep_sql/statement_execution.h"

namespace upkeep_sql {
namespace {

constexpr int kDefaultPrecision = 38;
constexpr int kStatementLength = 3000;

int GetMaxPrecision() {
  int precision = kDefaultPrecision;
  if (ExecuteStatement("Select @@Max_Precision", 0) == StatementAccepted && nextAnswerRow())
    precision = static_cast<std::uint8_t>(runtime::textToLong(rowColumn(1)));
  traceDetail("MSS Decimal Precision set to: " + std::to_string(precision));
  return precision;
}

// A root date ("Dec 28, 1800") in the procedure's date picture; with none, `plain` (the date as
// yyyymmdd: the runtime's pictures start after the first root date).
std::string rootDate(std::string_view date, std::string_view plain) {
  const std::string picture = runtime::CLIP(MSSDatePicture());
  if (picture.empty()) return std::string(plain);
  return runtime::FORMAT(runtime::DEFORMAT(date, "@d3"), picture);
}

void CreateConvertDateTimeProc(int precision) {
  ExecuteStatement(
      "if exists (select Name from sysobjects where name = 'ds_ConvertCorvidDateTime' and type "
      "= 'P') drop procedure ds_ConvertCorvidDateTime",
      0);
  traceDetail("About to create ds_ConvertCorvidDateTime stored procedure. MSSDatePicture: " +
              runtime::CLIP(MSSDatePicture()));
  ExecuteStatement(runtime::SUB(ConvertDateTimeProcedure(precision), 1, kStatementLength), 0);
}

}  // namespace

std::string& MSSDatePicture() {
  static std::string picture;
  return picture;
}

std::string ConvertDateTimeProcedure(int precision) {
  const std::string p = std::to_string(precision);
  const std::string lines[] = {
      "Create Procedure ds_ConvertCorvidDateTime @CorDate int = 0, @CorTime int = 0, "
      "@SqlDateTime datetime output",
      "as",
      "declare @SqlDate int                                               -- date days",
      "declare @SqlTime decimal(" + p + ",12)                 -- time days",
      "declare @CorRoot datetime",
      "declare @MssqlRoot datetime",
      "declare @OneMssqlSecond decimal(" + p + ",12)",
      "set @OneMssqlSecond = 0.000011574077                               -- 1 mssql second in "
      "days",
      "set @CorRoot = '" + rootDate("Dec 28, 1800", "18001228") +
          "'                            -- Root date for Corvid Date",
      "set @MSSQLRoot = '" + rootDate("Jan 01, 1900", "19000101") +
          "'                          -- Root date for MSSQL Date",
      "set @SqlDate = @CorDate - datediff(day,@CorRoot,@MssqlRoot)        -- corvid date - the "
      "difference between root dates",
      "set @SqlTime = (@CorTime / 100) * @OneMssqlSecond                  -- corvid time / 100 "
      "* day value of mssql seconds",
      "if @CorDate > 2994626                                              -- invalid Corvid Date",
      "  return 1",
      "if @CorTime > 8640000                                              -- invalid Corvid Time",
      "  return 2",
      "if @CorDate = 0",
      "  begin",
      "    if @CorTime = 0",
      "      return -1                                                    -- zero date and time",
      "    else",
      "      set @SqlDateTime = convert(datetime,@SqlTime,0)              -- convert to datetime "
      "type with only time - date = root",
      "  end",
      "else",
      "  begin",
      "    if @CorTime = 0",
      "      set @SqlDateTime = convert(datetime,@SqlDate,0)              -- convert to datetime "
      "type with only date - time = root",
      "    else",
      "      begin",
      "        set @SqlDateTime = @SqlDate + @SqlTime                     -- add date + time",
      "        set @SqlDateTime = convert(datetime,@SqlDateTime,0)        -- convert to datetime",
      "      end",
      "  end",
  };
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

void CreateUtilitySPs(std::string_view code) {
  traceLoaderStart("CreateUtilitySPs");
  if (code == "MSS") CreateConvertDateTimeProc(GetMaxPrecision());
  traceInOut("-- End of CreateUtilitySPs  --");
}

}  // namespace upkeep_sql
