// The SQL table manager driven through ds_FileOpen against a live server, one start of the
// program after another: each start registers a fresh engine, declares the table at a version
// and opens it, the statements each start sends kept for the test to read.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/text.h"
#include "tests/upkeep_sql/item_versions.h"
#include "tests/upkeep_sql/live_backend.h"
#include "upkeep/file_open.h"
#include "upkeep/open_flags.h"
#include "upkeep/registration.h"
#include "upkeep/registration_tables.h"
#include "upkeep_sql/sql_backends.h"

namespace upkeep_sql::testing {

using Lines = std::vector<std::string>;

class TableManagerLiveTest : public LiveBackendTest,
                             public ::testing::WithParamInterface<ServerCase> {
 protected:
  void SetUp() override {
    std::string server;
    GD_LIVE_CONNECTION(GetParam().server, server);
    ASSERT_TRUE(connect(GetParam().server));
    // MySQL structures are read over a connection of their own, from "dsn,user,password".
    if (mySql()) owner = mySqlOwner(owner);
    systemTable = GetParam().database + files::test::uniqueTableName("upk_mgr_sys");
    table = files::test::uniqueTableName("upk_mgr_items");
    kind = GetParam().kind;
    remember(systemTable);
    remember(GetParam().database + table);
    recordStatements();
  }
  void TearDown() override {
    if (file_) files::CLOSE(*file_);
  }

  std::string fullName() const { return GetParam().database + table; }
  bool mySql() const { return std::string_view(GetParam().kind) == "MYODBC 3"; }
  bool firebird() const { return std::string_view(GetParam().kind) == "FIREBIRD"; }

  // One start of the program with the declaration (`fields`, `keys`, `memos`) at `version`, then
  // the program's open of the table. Answers the open's error code.
  template <class Record>
  int start(std::span<const runtime::FieldDef> fields, std::span<const files::KeySpec> keys,
            std::int16_t version, std::span<const files::MemoSpec> memos = {}) {
    if (file_) files::CLOSE(*file_);
    if (backend) files::CLOSE(*backend);
    upkeep::resetRegistrationTables();
    upkeep::resetOpenFlags();
    resetSqlBackendState();
    declareBackend(systemTable, kind, false);
    installSqlBackends();
    upkeep::ds_SetOption("dctmasterkeys", "1");
    file_ = std::make_unique<files::FileDeclaration>(files::FileSpec{
        .label = "Items",
        .prefix = "ITM",
        .driver = files::Driver::Odbc,
        .name = GetParam().database + table,
        .owner = owner,
        .fields = fields,
        .recordSize = sizeof(Record),
        .keys = keys,
        .memos = memos,
    });
    upkeep::ds_UsingFile("ITM", "Items", *file_, version, 0);
    sent.clear();
    upkeep::ds_FileOpen(*file_, 0x42);
    return runtime::ERRORCODE();
  }

  Lines rows() {
    Lines lines;
    if (!plain->execute("SELECT * FROM " + fullName() + " ORDER BY id", {}))
      return {plain->lastError().text};
    for (files::SqlRow row; plain->fetch(row);) {
      std::string line;
      for (const files::SqlCell& cell : row)
        line += (line.empty() ? "" : "|") + cell.value.value_or("NULL");
      lines.push_back(line);
    }
    return lines;
  }
  std::string storedVersion() {
    if (!plain->execute("SELECT ds_field3 FROM " + systemTable + " WHERE ds_field2 = 'ITM'", {}))
      return plain->lastError().text;
    files::SqlRow row;
    return plain->fetch(row) && row[0].value ? *row[0].value : "none";
  }
  // The table's indexes as "name:unique", sorted.
  Lines indexes() {
    const std::string query =
        firebird() ? "SELECT trim(rdb$index_name), iif(rdb$unique_flag = 1, 'unique', 'dup') FROM "
                     "rdb$indices WHERE rdb$relation_name = '" +
                         runtime::UPPER(table) + "'"
        : mySql() ? "SELECT DISTINCT index_name, CASE non_unique WHEN 0 THEN 'unique' ELSE 'dup' "
                    "END FROM information_schema.statistics WHERE table_schema = 'gd_test' AND "
                    "table_name = '" +
                        table + "'"
                  : "SELECT indexname, CASE WHEN indexdef LIKE 'CREATE UNIQUE%' THEN 'unique' "
                    "ELSE 'dup' END FROM pg_indexes WHERE tablename = '" +
                        table + "'";
    return indexLines(query);
  }
  // The table's indexes as "name:asc" or "name:desc", sorted (Firebird).
  Lines indexDirections() {
    return indexLines(
        "SELECT trim(rdb$index_name), iif(rdb$index_type = 1, 'desc', 'asc') FROM rdb$indices "
        "WHERE rdb$relation_name = '" +
        runtime::UPPER(table) + "'");
  }
  // The rows of `query`, an index's name and a word each, as "name:word", sorted.
  Lines indexLines(const std::string& query) {
    Lines lines;
    if (!plain->execute(query, {})) return {plain->lastError().text};
    for (files::SqlRow row; plain->fetch(row);)
      lines.push_back(runtime::LOWER(row[0].value.value_or("")) + ":" + row[1].value.value_or(""));
    std::sort(lines.begin(), lines.end());
    return lines;
  }
  // The statements of the last start that change the table or the system table.
  Lines changes() const {
    Lines found;
    for (const std::string& statement : sent) {
      const std::string head = runtime::LOWER(statement.substr(0, 6));
      if (head == "alter " || head == "create" || head == "drop t" || head == "drop i" ||
          head == "insert" || head == "update")
        found.push_back(statement);
    }
    return found;
  }
  bool managed() const {
    const std::vector<std::string>& mfq = upkeep::openFlags().MFQ;
    return std::find(mfq.begin(), mfq.end(), GetParam().database + table) != mfq.end();
  }
  std::string key(const std::string& name) const { return runtime::LOWER(table + "_" + name); }

  // The first start, at version 1: the open makes the table, its keys and its version row.
  void startVersionOne() {
    ASSERT_EQ(start<ItemV1>(kFieldsV1, kKeysV1, 1), 0) << runtime::FILEERROR() << "\n"
                                                       << ::testing::PrintToString(sent);
    EXPECT_TRUE(managed());
    EXPECT_EQ(storedVersion(), "1");
    const Lines keys =
        mySql() ? Lines{"k_code:dup", "k_name:dup", "primary:unique"}
                : Lines{key("k_code") + ":dup", key("k_name") + ":dup", key("p_id") + ":unique"};
    EXPECT_EQ(indexes(), keys);
  }

  // The table's FILE as the last start opened it.
  files::FileDeclaration& file() { return *file_; }

  std::string systemTable;
  std::string table;
  std::string kind;  // the ODBC backend kind the engine is told

 private:
  std::unique_ptr<files::FileDeclaration> file_;
};

}  // namespace upkeep_sql::testing
