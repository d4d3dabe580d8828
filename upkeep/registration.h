// The upgrade manager's registration interface: what the program tells it once at start-up,
// before the first file is opened (options, file drivers, files without old-format search,
// alternate field names, managed files with their structure versions), and the address of its
// "upgrading" flag. The registration calls take no lock.
//
// For now the calls only announce themselves to the call recorder (call_recorder.h); the
// registration tables they fill are built with the upgrade engine.
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

// Sets the option `option` (a key such as "BadFile" or "SPCreate") to `value`.
void ds_SetOption(std::string_view option, std::string_view value);

// Registers the file driver of `file` under the three-letter `code` (its first three
// characters count, their case kept), with the record size and address of that FILE.
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
void ds_UsingFile(std::string_view prefix, std::string_view label, files::FileDeclaration& file,
                  std::int32_t version, std::int32_t unused);

}  // namespace upkeep
