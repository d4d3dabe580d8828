// What a conversion into a SQL table starts from, shared by the conversion tests and the
// conversion benchmark: the items an older program kept in a local keyed file (a number, a
// text, a text memo and a binary memo), that older program's run writing them, and the old-name
// entry that tells today's program the local file became a SQL table.
#pragma once

#include <string>
#include <string_view>

#include "platform/files/file_declaration.h"
#include "platform/files/file_driver.h"
#include "platform/runtime/error_state.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/record_layout.h"
#include "platform/runtime/text.h"
#include "platform/runtime/text_types.h"
#include "upkeep/engine_lifecycle.h"
#include "upkeep/registration.h"
#include "upkeep/structure_search.h"

namespace upkeep_sql::testing {

struct Item {
  runtime::Long ID;
  runtime::CString<61> NAME;
};
inline constexpr runtime::FieldDef kItemFields[] = {GD_FIELD(Item, ID, "ITM:ID"),
                                                    GD_FIELD(Item, NAME, "ITM:NAME")};
inline constexpr files::KeySpec kItemKeys[] = {{"ITM:P_ID", files::KeyPrimary, {1}}};
// A text memo and a binary one.
inline constexpr files::MemoSpec kItemMemos[] = {{"ITM:NOTES", 2000, files::MemoKindBlob},
                                                 {"ITM:BYTES", 1000, files::MemoKindMemo}};

// The items file named `name` under `driver` (with `owner` for a SQL table); the create
// attribute on.
inline files::FileSpec itemSpec(files::Driver driver, std::string_view name,
                                std::string_view owner = {}) {
  return {.label = "Items",
          .prefix = "ITM",
          .driver = driver,
          .name = name,
          .owner = owner,
          .create = true,
          .fields = kItemFields,
          .recordSize = sizeof(Item),
          .keys = kItemKeys,
          .memos = kItemMemos};
}

// The older program's run: a fresh engine registers the local file `local` at version 1 under
// its prefix and label, with `driverFile` as its Caskfile driver, and writes `count` records
// into it, `fill(i)` filling record i (1 to count) after CLEAR. Answers 0 or the first error.
template <class Fill>
int writeOlderFile(files::FileDeclaration& driverFile, files::FileDeclaration& local, int count,
                   Fill fill) {
  upkeep::upkeepProcessStart();
  upkeep::ds_AddDriver("Vkf", driverFile, static_cast<std::int32_t>(driverFile.record().size()),
                       driverFile.record().data());
  upkeep::ds_UsingFile(local.prefix(), local.label(), local, 1, 0);
  files::CREATE(local);
  files::OPEN(local, 0x12);
  if (const int error = runtime::ERRORCODE()) return error;
  files::STREAM(local);
  for (int i = 1; i <= count; ++i) {
    files::CLEAR(local);
    fill(i);
    files::APPEND(local);
    if (const int error = runtime::ERRORCODE()) return error;
  }
  files::FLUSH(local);
  files::BUILD(local);
  const int error = runtime::ERRORCODE();
  files::CLOSE(local);
  return error;
}

// Tells today's engine that the local file `oldFile` is now the SQL table `table`: the first
// open of the table converts it (the old SQL name given names no table, so nothing is renamed).
inline void registerOldName(std::string_view oldFile, std::string_view table) {
  upkeep::OFN().push_back({.OLDNAME = std::string(oldFile),
                           .NEWNAME = runtime::UPPER(table),
                           .PATH = "",
                           .SQLOLDNAME = "no_such_" + std::string(table),
                           .OLDOWNER = ""});
}

}  // namespace upkeep_sql::testing
