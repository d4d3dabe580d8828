// The error report, the statement road, the queue runner, the version probe, the structure
// dump and the owner mask, against a scripted server behind the backend FILE.
#include "upkeep_sql/statement_execution.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/runtime/message.h"
#include "tests/upkeep_sql/sql_engine_fixture.h"
#include "upkeep/debug_switches.h"
#include "upkeep_sql/owner_mask.h"
#include "upkeep_sql/structure_queues.h"
#include "upkeep_sql/table_in_hand.h"
#include "upkeep_sql/wait_progress.h"

namespace upkeep_sql {
namespace {

using runtime::ButtonNo;
using runtime::ButtonOk;
using runtime::ButtonYes;
using runtime::HaltRequested;

class StatementExecutionTest : public testing::SqlEngineTest {
 protected:
  // Turns the trace switches of `switches` on for the rest of the test.
  void traceWith(std::string_view switches) {
    upkeep::resetDebugSettings();
    commandLine(switches);
    upkeep::LoadDebugSettings();
    takeTrace();
  }

  bool traced(std::string_view line) {
    const std::vector<std::string> lines = takeTrace();
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(line) != std::string::npos; });
  }

  void queue(std::string sql, std::int32_t level) {
    statementQueues().SQ.push_back({std::move(sql), 1, level});
  }
};

TEST_F(StatementExecutionTest, ErrorLevelsTraceAskOrEndTheProgram) {
  ds_Error("M26", "detail", "", 0);
  ds_Error("M26", "detail", "", 2);
  EXPECT_TRUE(answerer.shown().empty());
  EXPECT_TRUE(takeTrace().empty()) << "no switch on, no trace";

  answerer.addAnswer(ButtonNo);
  ds_Error("M26", "the detail", "", 1);
  ASSERT_EQ(answerer.shown().size(), 1u);
  const runtime::MessageRequest box = answerer.shown()[0];
  EXPECT_EQ(box.caption, "Upkeep Error");
  EXPECT_NE(box.text.find("Upkeep Error occurred executing SQL Statement:: "), std::string::npos)
      << box.text;
  EXPECT_NE(box.text.find("[Upkeep] the detail"), std::string::npos);
  EXPECT_NE(box.text.find("Would you like to End the Program?"), std::string::npos);
  EXPECT_EQ(box.buttons, ButtonYes | ButtonNo);
  EXPECT_EQ(box.defaultButton, ButtonNo);
  EXPECT_EQ(box.style, runtime::StyleSystemModal);
  EXPECT_EQ(box.icon, std::string("\xFF\x01\x05\x7F", 4));

  // Ending the program because of an error never reports success to the shell.
  answerer.addAnswer(ButtonYes);
  try {
    ds_Error("M26", "x", "", 1);
    FAIL() << "Yes ends the program";
  } catch (const HaltRequested& halt) {
    EXPECT_EQ(halt.exitCode, kUpkeepErrorExitCode);
    EXPECT_NE(halt.exitCode, 0);
  }
  answerer.addAnswer(ButtonOk);
  try {
    ds_Error("M67", "FieldName", "", 6);
    FAIL() << "level 6 ends the program";
  } catch (const HaltRequested& halt) {
    EXPECT_NE(halt.exitCode, 0);
  }
  EXPECT_NE(answerer.shown().back().text.find("Ending Program!"), std::string::npos);

  traceWith("/debugupk");
  ds_Error("M26", "d", "AutoNumber", 0);
  const std::vector<std::string> lines = takeTrace();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "[Upkeep] ds_Error IN: m: AutoNumber, e: d, t: M26, l: 0");
}

TEST_F(StatementExecutionTest, ExecuteStatementAnswersAcceptedRefusedOrWarning) {
  refuse("bad", "42000", -1, "Incorrect syntax near 'bad'.");
  refuse("print", "01000", -1, "a server note");
  EXPECT_EQ(ExecuteStatement("create table t (a int)   ", 0), StatementAccepted);
  EXPECT_EQ(script->statements().back(), "create table t (a int)") << "sent clipped";

  EXPECT_EQ(ExecuteStatement("bad statement", 0), StatementRefused);
  EXPECT_EQ(LastSQLError(), "42000: Incorrect syntax near 'bad'.");
  EXPECT_EQ(ExecuteStatement("print 'x'", 0), StatementWarning);
  EXPECT_EQ(LastSQLError(), "01000: a server note");
  script->answer({.match = "noted", .warning = files::SqlError{"01000", "printed"}});
  EXPECT_EQ(ExecuteStatement("noted", 0), StatementWarning);
  EXPECT_EQ(LastSQLError(), "01000: printed");

  // The report names the statement and the error, at the caller's level.
  answerer.addAnswer(ButtonNo);
  EXPECT_EQ(ExecuteStatement("bad again", 1), StatementRefused);
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_NE(answerer.shown()[0].text.find("[Upkeep] \"bad again\""), std::string::npos);
  EXPECT_NE(answerer.shown()[0].text.find("[Upkeep] err: 42000: Incorrect syntax near 'bad'."),
            std::string::npos);

  // Without a backend FILE nothing can run, and that is a failure.
  upkeep::registration().CurrentSqlDriver = {};
  EXPECT_EQ(ExecuteStatement("select 1", 0), StatementRefused);
}

TEST_F(StatementExecutionTest, RunSQLScriptsRunsDropsStatementsRetriesAndReAdds) {
  refuse("second");
  refuse("fourth", "37000", 1);  // fails only its first run
  statementQueues().DQ.push_back({"k1", "drop key"});
  queue("first", 2);
  queue("second", 3);
  queue("third", 2);
  queue("fourth", 2);
  statementQueues().AQ.push_back({"k1", "add key"});
  answerer.addAnswer(ButtonNo);

  EXPECT_EQ(RunSQLScripts(), 1) << "a level-3 statement failed twice, though the last retry ran";
  EXPECT_EQ(script->statements(),
            (std::vector<std::string>{"drop key", "first", "second", "third", "fourth", "second",
                                      "fourth", "add key"}));
  ASSERT_EQ(answerer.shown().size(), 1u);
  EXPECT_NE(answerer.shown()[0].text.find("Errors occurred during Upkeep upgrade!"),
            std::string::npos);
  EXPECT_NE(answerer.shown()[0].text.find("37000: Incorrect syntax"), std::string::npos);
  EXPECT_EQ(statementQueues().SQ[0].RETRY, 0);
  EXPECT_EQ(statementQueues().SQ[1].RETRY, 1);
}

TEST_F(StatementExecutionTest, RunSQLScriptsLevelsBelowTwoAndWarningsDoNotFailTheRun) {
  refuse("noted");
  refuse("warned", "01000");
  queue("noted", 1);
  queue("quiet", 0);
  queue("warned", 3);
  queue("ignored", 0);
  EXPECT_EQ(RunSQLScripts(), 0);
  EXPECT_TRUE(answerer.shown().empty());

  // No first-pass failure: no retry, whatever RETRY the producers stored.
  statementQueues() = {};
  script->clearCalls();
  queue("a", 2);
  queue("b", 2);
  EXPECT_EQ(RunSQLScripts(), 0);
  EXPECT_EQ(script->statements(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(StatementExecutionTest, RunSQLScriptsMovesTheProgressUnlessSilent) {
  std::vector<std::int32_t> shown;
  waitProgress().redisplay = [&] { shown.push_back(waitProgress().SQLProgressPercent); };
  waitProgress().SQLStepTotal = 4;
  refuse("bad", "37000", 1);
  statementQueues().DQ.push_back({"k", "drop"});
  queue("ok", 0);
  queue("bad", 0);
  statementQueues().AQ.push_back({"k", "add"});
  RunSQLScripts();
  // Each queue restarts the bar; the failed first run moves nothing, its retry does.
  EXPECT_EQ(shown, (std::vector<std::int32_t>{25, 25, 50, 25}));

  shown.clear();
  statementQueues().SQ[1].RETRY = 0;
  traceWith("/silentupgrading");
  RunSQLScripts();
  EXPECT_TRUE(shown.empty());
}

TEST_F(StatementExecutionTest, ServerVersionClasses) {
  EXPECT_EQ(GetSQLServerVersion("MSS"), "14.00.1000.169");
  EXPECT_EQ(GetSQLServerVersion("ASA"), "");
  EXPECT_EQ(GetSQLServerVersion("ODB"), "");
  const std::pair<std::string, std::string> rows[] = {
      {"Oracle9i Enterprise Edition Release 9.2.0.1.0 - Production", "9"},
      {"Oracle Database 10g Enterprise Edition Release 10.2.0.4.0", "10g"},
      {"Oracle Database 11g Enterprise Edition Release 11.2.0.1.0", ""},
      {"Oracle8i Release 8.1.7.0.0", "8i"},
      {"Oracle9i Release 9.2.0.7.0 - Production", "9"},
      {"Oracle7 Server Release 7.3.4.0.0", "7"},
      {"a row without a release 9.x", "9"},
  };
  for (const auto& [row, version] : rows) {
    files::SqlScript::Rule rule{.match = "V$Version", .rows = {{{row}}}, .times = 1};
    script->answer(rule);
    EXPECT_EQ(GetSQLServerVersion("ORA"), version) << row;
  }
  refuse("V$Version");
  EXPECT_EQ(GetSQLServerVersion("ORA"), "8i");
}

TEST_F(StatementExecutionTest, PrintSQLStructureTracesColumnsAndKeysOnlyWithTheSwitch) {
  tableInHand().OutFileName = "dbo.Items";
  liveStructure().SFDQ.entries = {{"ID", "int", "", 0}, {"NAME", "varchar(20)", "Name", 1}};
  liveStructure().SKDQ.entries = {{"PK_Items", " primary", "", "ID", 1}};
  PrintSQLStructure();
  EXPECT_TRUE(takeTrace().empty());
  traceWith("/debugupk");
  PrintSQLStructure();
  const std::vector<std::string> lines = takeTrace();
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[1], "[Upkeep] ----------SQL FIELD STRUCTURE (dbo.Items)----------");
  EXPECT_EQ(lines[3], "[Upkeep] -- NAME" + std::string(96, ' ') + " varchar(20)" +
                          std::string(19, ' ') + ", name: Name, nullable: 1 --");
  EXPECT_EQ(lines[4], "[Upkeep] ----------END - Total number of fields: 2----------");
  EXPECT_EQ(lines[7], "[Upkeep] --   Fields: ID --");
  EXPECT_EQ(lines[8], "[Upkeep] ----------END - Total number of keys: 1 ----------");
}

TEST(OwnerMask, NoPasswordSurvives) {
  const std::string stars(16, '*');
  struct Case {
    const char* code;
    const char* owner;
    std::string masked;
  };
  const Case cases[] = {
      {"MSS", "srv,db,sa,secret", "srv,db,sa," + stars},
      {"MSS", "srv,db,sa", "srv,db,sa," + stars},
      {"ASA", "dsn,user,secret", "dsn,user," + stars},
      {"ORA", "scott/tiger@orcl", "scott/" + stars + "@orcl"},
      {"ORA", "scott/tiger", "scott/" + stars},
      {"ORA", "scott,tiger", "scott," + stars},
      {"ODB", "DSN=pg;UID=gd;PWD=secret;PORT=5", "DSN=pg;UID=gd;PWD=" + stars + ";PORT=5"},
      {"ODB", "DSN=pg;UID=gd;Pwd=secret", "DSN=pg;UID=gd;PWD=" + stars},
      {"ODB", "DSN=pg;pWD=secret;x=1", "DSN=pg;PWD=" + stars + ";x=1"},
      {"ODB", "DSN=pg;Password=secret", "DSN=pg;PASSWORD=" + stars},
      {"ODB", "dsn,user,secret", "dsn,user," + stars},
      {"mss", "srv,db,sa,secret", ""},
      {"VKF", "secret", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ds_EncryptOwner(c.code, c.owner), c.masked) << c.code << " " << c.owner;
    EXPECT_EQ(ds_EncryptOwner(c.code, c.owner).find("secret"), std::string::npos);
  }
}

}  // namespace
}  // namespace upkeep_sql
