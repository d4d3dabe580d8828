// The UPG file: the catalogue of every structure a managed data file has been declared with,
// kept by file label and structure version. One Caskfile file holds two tables: the old one
// (the file's default table, record OUPG, images of up to 10000 bytes) and the current one
// (table "Upg2", record UPG, images of up to 40000 bytes). Both are opened under the same
// owner password.
//
// The declarations are process-wide: the catalogue uses them at start-up and the upgrade of a
// file inside ds_FileOpen's lock. Their names are the variables below, set by SetUPGFileNames.
#pragma once

#include <cstdint>

#include "platform/files/file_declaration.h"
#include "platform/runtime/field_types.h"
#include "platform/runtime/text_types.h"

namespace upkeep {

// The largest structure image: the size of UPG:FMT.
inline constexpr std::uint32_t MAXDEFSIZE = 40000;
// The size of the old table's OUPG:FMT.
inline constexpr std::uint32_t kOldImageSize = 10000;

// Current table, record UPG (140 bytes).
struct UpgRecord {
  runtime::String<50> LABEL;   // the file label given to ds_UsingFile
  runtime::String<20> PREFIX;  // the record prefix, in the case the caller used
  runtime::String<10> DRIVER;  // only copied from the old table
  runtime::Short VERSION;      // structure version
  runtime::Long EXTRA1;        // not read
  runtime::Long EXTRA2;        // not read
  runtime::String<50> EXTRA3;  // not read
};
static_assert(sizeof(UpgRecord) == 140);

// Old table, record OUPG (82 bytes).
struct OldUpgRecord {
  runtime::String<50> LABEL;
  runtime::String<20> PREFIX;
  runtime::String<10> DRIVER;
  runtime::Short VERSION;
};
static_assert(sizeof(OldUpgRecord) == 82);

// The names the two tables are opened under (folder + "Upg.Vkf", and + "\!Upg2" for the
// current table); blank until SetUPGFileNames has run.
runtime::CString<1024>& UpgFileName();
runtime::CString<1024>& OldUpgFileName();

// The current table, its record and its memo UPG:FMT.
files::FileDeclaration& UpgFile();
inline UpgRecord& UPG() { return UpgFile().recordAs<UpgRecord>(); }
files::Memo& UpgFormat();

// The old table, its record and its memo OUPG:FMT.
files::FileDeclaration& OldUpgFile();
inline OldUpgRecord& OUPG() { return OldUpgFile().recordAs<OldUpgRecord>(); }
files::Memo& OldUpgFormat();

}  // namespace upkeep
