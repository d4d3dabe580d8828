// The NORESULTCALL statement form rewritten as an ODBC call with its bound arguments.
#include "platform/files/sql_procedure_call.h"

#include <gtest/gtest.h>

namespace files {
namespace {

TEST(SqlProcedureCall, BoundArgumentsBecomeMarkersInOrder) {
  struct Case {
    const char* statement;
    std::optional<std::string> call;
    std::vector<std::pair<std::string, bool>> arguments;
  };
  const Case cases[] = {
      {"NORESULTCALL ds_GetServerCase(&locCase [OUT])",
       "{call ds_GetServerCase(?)}",
       {{"locCase", true}}},
      {"  noresultcall p ( &a , 5, &b [in], &c[out] ) ",
       "{call p(?, 5, ?, ?)}",
       {{"a", false}, {"b", false}, {"c", true}}},
      {"NORESULTCALL refresh", "{call refresh}", {}},
      {"SELECT 1", std::nullopt, {}},
      {"CALL p(&a)", std::nullopt, {}},
  };
  for (const Case& c : cases) {
    std::vector<CallArgument> arguments;
    EXPECT_EQ(procedureCall(c.statement, arguments), c.call) << c.statement;
    ASSERT_EQ(arguments.size(), c.arguments.size()) << c.statement;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      EXPECT_EQ(arguments[i].name, c.arguments[i].first);
      EXPECT_EQ(arguments[i].output, c.arguments[i].second);
    }
  }
}

}  // namespace
}  // namespace files
