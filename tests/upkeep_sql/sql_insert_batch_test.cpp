#include "upkeep/sql_insert_batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/upkeep_sql/sql_engine_fixture.h"

namespace upkeep_sql {
namespace {

using upkeep::SqlInsertBatch;

// A server that takes several rows in one INSERT, behind the backend FILE.
class SqlInsertBatchTest : public testing::SqlEngineTest {
 protected:
  SqlInsertBatchTest() { script->takeManyRows(true); }

  // Gathers records (column list, value list) and sends them; answers the statements the
  // server was sent and, in `alone`, those handed back to be sent one record at a time.
  std::vector<std::string> send(const std::vector<std::pair<std::string, std::string>>& records,
                                std::vector<std::string>& alone, std::int64_t& written) {
    SqlInsertBatch batch(*backend, "items",
                         [&](const std::string& statement) { alone.push_back(statement); });
    for (const auto& [names, values] : records) batch.add(names, values);
    written = batch.flush();
    EXPECT_EQ(batch.pending(), 0u);
    return script->statements();
  }
};

TEST_F(SqlInsertBatchTest, RecordsGoTogetherWhileTheirColumnsAgreeAndAreSentAloneAfterARefusal) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> records;
    const char* refused;  // statements containing this are refused; nullptr: none
    std::vector<std::string> sent;
    std::vector<std::string> alone;
    std::int64_t written;
  };
  const std::vector<Case> cases = {
      {"one record goes alone, as it always went",
       {{"ID, NAME", "  1, 'a'"}},
       nullptr,
       {},
       {"INSERT INTO items (ID, NAME) VALUES (  1, 'a')"},
       0},
      {"records with one column list go in one INSERT",
       {{"ID, NAME", "  1, 'a'"}, {"ID, NAME", "  2, 'b'"}, {"ID, NAME", "  3, 'c'"}},
       nullptr,
       {"INSERT INTO items (ID, NAME) VALUES (  1, 'a'), (  2, 'b'), (  3, 'c')"},
       {},
       3},
      {"another column list starts another INSERT",
       {{"ID, NAME", "  1, 'a'"}, {"ID, NAME", "  2, 'b'"}, {"ID", "  3"}, {"ID", "  4"}},
       nullptr,
       {"INSERT INTO items (ID, NAME) VALUES (  1, 'a'), (  2, 'b')",
        "INSERT INTO items (ID) VALUES (  3), (  4)"},
       {},
       4},
      {"a refused INSERT of many rows is sent again one record at a time",
       {{"ID, NAME", "  1, 'a'"}, {"ID, NAME", "  2, 'bad'"}, {"ID, NAME", "  3, 'c'"}},
       "'bad'",
       {"INSERT INTO items (ID, NAME) VALUES (  1, 'a'), (  2, 'bad'), (  3, 'c')"},
       {"INSERT INTO items (ID, NAME) VALUES (  1, 'a')",
        "INSERT INTO items (ID, NAME) VALUES (  2, 'bad')",
        "INSERT INTO items (ID, NAME) VALUES (  3, 'c')"},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    script->clearCalls();
    if (c.refused) refuse(c.refused, "23000", 1, "refused");
    std::vector<std::string> alone;
    std::int64_t written = 0;
    EXPECT_EQ(send(c.records, alone, written), c.sent);
    EXPECT_EQ(alone, c.alone);
    EXPECT_EQ(written, c.written);
  }
}

TEST_F(SqlInsertBatchTest, AnInsertHoldsAtMostItsShareOfRows) {
  std::vector<std::pair<std::string, std::string>> records;
  const std::size_t count = 2 * SqlInsertBatch::kMostRows + 1;
  for (std::size_t i = 1; i <= count; ++i) records.push_back({"ID", std::to_string(i)});
  std::vector<std::string> alone;
  std::int64_t written = 0;
  const std::vector<std::string> sent = send(records, alone, written);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_TRUE(sent[1].ends_with("(" + std::to_string(2 * SqlInsertBatch::kMostRows) + ")"));
  EXPECT_EQ(alone, std::vector<std::string>{"INSERT INTO items (ID) VALUES (" +
                                            std::to_string(count) + ")"});
  EXPECT_EQ(written, static_cast<std::int64_t>(count - 1));
}

}  // namespace
}  // namespace upkeep_sql
