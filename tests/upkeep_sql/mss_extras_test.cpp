// What only SQL Server has, against a scripted server: the utility procedure word for word,
// the linked servers left alone when they are there already, and the change guard.
#include <gtest/gtest.h>

#include "platform/runtime/message.h"
#include "tests/upkeep_sql/catalogue_rows.h"
#include "tests/upkeep_sql/sql_engine_fixture.h"
#include "upkeep_sql/mss_change_guard.h"
#include "upkeep_sql/mss_linked_server.h"
#include "upkeep_sql/mss_utility_procedures.h"
#include "upkeep_sql/sql_row_buffer.h"
#include "upkeep_sql/table_in_hand.h"

namespace upkeep_sql {
namespace {

using testing::row;
using Lines = std::vector<std::string>;

class MssExtrasTest : public testing::SqlEngineTest {
 protected:
  MssExtrasTest()
      : SqlEngineTest(files::Driver::Mssql, "MSS", sqlRowFields(), sizeof(SqlRowBuffer)) {}
};

// The procedure's lines with precision 18 and the root dates as SQL Server reads them.
const std::string kProcedureLines[] = {
    "Create Procedure ds_ConvertCorvidDateTime @CorDate int = 0, @CorTime int = 0, @SqlDateTime "
    "datetime output",
    "as",
    "declare @SqlDate int                                               -- date days",
    "declare @SqlTime decimal(18,12)                 -- time days",
    "declare @CorRoot datetime",
    "declare @MssqlRoot datetime",
    "declare @OneMssqlSecond decimal(18,12)",
    "set @OneMssqlSecond = 0.000011574077                               -- 1 mssql second in days",
    "set @CorRoot = '18001228'                            -- Root date for Corvid Date",
    "set @MSSQLRoot = '19000101'                          -- Root date for MSSQL Date",
    "set @SqlDate = @CorDate - datediff(day,@CorRoot,@MssqlRoot)        -- corvid date - the "
    "difference between root dates",
    "set @SqlTime = (@CorTime / 100) * @OneMssqlSecond                  -- corvid time / 100 * day "
    "value of mssql seconds",
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
    "  end"};

std::string procedureWithPrecision(const std::string& precision) {
  std::string text;
  for (std::string line : kProcedureLines) {
    for (std::size_t at = line.find("(18,"); at != std::string::npos;
         at = line.find("(18,", at + 1))
      line.replace(at + 1, 2, precision);
    text += line + "\r\n";
  }
  return text;
}

TEST_F(MssExtrasTest, TheUtilityProcedureIsDroppedAndMadeWithTheServersPrecision) {
  script->answer({.match = "@@Max_Precision", .rows = {row({"18"})}, .times = 1});
  CreateUtilitySPs("MSS");
  const std::string drop =
      "if exists (select Name from sysobjects where name = 'ds_ConvertCorvidDateTime' and type "
      "= 'P') drop procedure ds_ConvertCorvidDateTime";
  EXPECT_EQ(script->statements(),
            (Lines{"Select @@Max_Precision", drop, procedureWithPrecision("18")}));

  // No answer: precision 38. Another driver code: nothing at all.
  script->clearCalls();
  refuse("@@Max_Precision");
  CreateUtilitySPs("MSS");
  EXPECT_EQ(script->statements().back(), procedureWithPrecision("38"));
  script->clearCalls();
  CreateUtilitySPs("mss");
  CreateUtilitySPs("ORA");
  EXPECT_TRUE(script->statements().empty());
}

TEST_F(MssExtrasTest, AListedServerWithDataAccessNeedsNothing) {
  tableInHand().LinkedServerName = "dbhost";
  script->answer(
      {.match = "sp_linkedservers", .rows = {row({"OTHER"}), row({"DBHOST", "SQLOLEDB"})}});
  script->answer({.match = "sp_helpserver",
                  .rows = {row({"DBHOST", "x", "rpc,rpc out,data access"})},
                  .times = 1});
  EXPECT_EQ(ds_MSSLinkedServer(), 0);
  EXPECT_EQ(script->statements(), (Lines{"CALL sp_linkedservers", "CALL sp_helpserver('dbhost')"}));

  // Without data access it is switched on; a refusal is reported, never returned.
  script->clearCalls();
  script->answer(
      {.match = "sp_helpserver('dbhost')", .rows = {row({"DBHOST", "x", "rpc"})}, .times = 1});
  refuse("sp_serveroption", "42000", 1, "denied");
  answerer.addAnswer(runtime::ButtonNo);
  EXPECT_EQ(ds_MSSLinkedServer(), 0);
  EXPECT_EQ(script->statements().back(), "CALL sp_serveroption('dbhost','DATA ACCESS','TRUE')");
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_NE(answerer.shown()[0].text.find("[1] 42000 - denied"), std::string::npos);
}

TEST_F(MssExtrasTest, AnAlreadyLinkedServerIsNotReported) {
  tableInHand().LinkedServerName = "DBHOST";
  refuse("sp_linkedservers");
  refuse("sp_addlinkedserver", "37000", -1, "already linked");
  EXPECT_EQ(ds_MSSLinkedServer(), 0);
  EXPECT_TRUE(answerer.shown().empty());
}

TEST_F(MssExtrasTest, TheGuardRefusesRowGuidAndImageTypeChanges) {
  struct Case {
    const char* newType;
    const char* currentType;
    const char* column;
    std::int32_t result;
    const char* operation;
  };
  const Case cases[] = {
      {"int(4)", "uniqueidentifier(16)", "ROWGUID", 1, "You are trying to alter a ROWGUID field."},
      {"", "", "ROWGUID", 1, "You are trying to alter a ROWGUID field."},
      {"varbinary(8000)", "image(16)", "PICTURE", 1,
       "You are trying to alter an IMAGE field's type."},
      {"image(16)", "IMAGE(16)", "PICTURE", 0, nullptr},
      {"varchar(40)", "varchar(20)", "NAME", 0, nullptr},
      {"int(4)", "int(4)", "rowguid", 0, nullptr},
  };
  for (const Case& c : cases) {
    if (c.result == 1) answerer.addAnswer(runtime::ButtonOk);
    const std::size_t before = answerer.shown().size();
    EXPECT_EQ(ds_MSSWarnForIllegalFieldChanges("", "", c.newType, c.currentType, c.column,
                                               "ITM:FIELD", "Items"),
              c.result)
        << c.column << " " << c.currentType << " -> " << c.newType;
    if (c.operation == nullptr) {
      EXPECT_EQ(answerer.shown().size(), before);
      continue;
    }
    ASSERT_EQ(answerer.shown().size(), before + 1);
    const runtime::MessageRequest box = answerer.shown().back();
    EXPECT_EQ(box.caption, "Upkeep Warning:");
    EXPECT_EQ(box.text,
              "Upkeep Warning: Attempting illegal operation on file: Items\nFor field: "
              "ITM:FIELD\nOperation: " +
                  std::string(c.operation) + "\nConsult your application supplier for details.");
  }
}

}  // namespace
}  // namespace upkeep_sql
