// The upgrade manager's registration interface: what the program tells it once at start-up,
// before the first file is opened (options, file drivers, files without old-format search,
// alternate field names, managed files with their structure versions), and the address of its
// "upgrading" flag. The calls fill the registration tables (registration_tables.h); they take no
// lock and are made once, at start-up, before any file is opened. Each call first tells the
// call recorder (call_recorder.h) that it was made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace files {
class FileDeclaration;
}

namespace upkeep {

// The address of the byte UPK_Upgrading: 1 while ds_FileOpen runs, 0 otherwise. The same
// address on every call.
std::uint8_t* UpgradingFlagAddress();

// Sets the option `option` (a key such as "BadFile" or "SPCreate", letter case ignored) to
// `value`, or appends a real or unreal field; an unknown key does nothing. A numeric option
// takes the value's low byte (0 for a value that is not a number). "ODBCDB" names the kind of
// server behind the ODBC driver ("POSTGRES", "MYODBC 2", "MYODBC 3" or "FIREBIRD"), which the
// SQL backends write their statements for; nothing else sets it.
void ds_SetOption(std::string_view option, std::string_view value);

// Registers the file driver of `file` under the three-letter `code` (its first three
// characters count, their case kept), with the record size and address of that FILE, which
// become the backend slot of a SQL code. Loads the debug switches first.
void ds_AddDriver(std::string_view code, files::FileDeclaration& file, std::int32_t recordSize,
                  std::byte* record);

// Marks the file labelled `label` ("AllFiles" for every file) with `flags`; bit 0: no search
// for an old data-file source.
void ds_IgnoreDriver(std::string_view label, std::int32_t flags);

// Tells the manager that the field `newLabel` (with its prefix, "FUN:examplecode") was called
// `oldName` in older structures.
void ds_AlternateFieldName(std::string_view newLabel, std::string_view oldName);

// Registers `file`, with record prefix `prefix` and label `label`, as a managed file whose
// declaration has structure version `version` (used as a 16-bit number). `unused` is not read.
// A prefix is registered once per run: a second call with it (in any case) does nothing.
void ds_UsingFile(std::string_view prefix, std::string_view label, files::FileDeclaration& file,
                  std::int32_t version, std::int32_t unused);

}  // namespace upkeep
