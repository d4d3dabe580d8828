// The INSERTs of a conversion into a SQL table whose server takes several rows in one INSERT:
// the records are gathered and sent as multi-row INSERTs, so that the conversion does not wait
// for the server once per record. Records go together while their column lists are the same,
// up to kMostRows records or kMostBytes of values. When the server refuses a multi-row INSERT
// (none of its rows is then in the table), each of its records is sent again on its own, so
// that every refused record is reported as the INSERT of that record alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/file_declaration.h"

namespace upkeep {

class SqlInsertBatch {
 public:
  static constexpr std::size_t kMostRows = 500;
  static constexpr std::size_t kMostBytes = 512 * 1024;

  // Sends the INSERT of one record alone, reports and counts it, as a conversion does for
  // every record when nothing is gathered.
  using SendAlone = std::function<void(const std::string& statement)>;

  // Gathers the rows of the table `table`, sent through the SQL FILE `backend`.
  SqlInsertBatch(files::FileDeclaration& backend, std::string table, SendAlone sendAlone);

  // Gathers the record whose column list is `names` and value list `values`, sending the
  // records gathered before first when it cannot go with them.
  void add(std::string_view names, std::string_view values);
  // Sends the records gathered. Answers how many the multi-row INSERT wrote (those sent alone
  // after a refusal are counted by SendAlone).
  std::int64_t flush();
  // The records gathered and not yet sent.
  std::size_t pending() const { return rows_.size(); }

 private:
  files::FileDeclaration& backend_;
  const std::string table_;
  const SendAlone sendAlone_;
  std::string names_;              // the column list of the records gathered
  std::vector<std::string> rows_;  // their value lists, each in parentheses
  std::size_t bytes_ = 0;
  std::int64_t written_ = 0;  // written by the multi-row INSERTs sent by add()
};

}  // namespace upkeep
