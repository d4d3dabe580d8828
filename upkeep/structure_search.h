// The search for the structure an existing data file was written with: the images the UPG
// catalogue keeps for the file's prefix are rebuilt as INFILE, from the declared version
// backwards, and tried on the file; then further sources in a fixed order (cache prefix, old
// names, the name without its table suffix, an old .DAT file). Runs inside the upgrade of one
// file, under ds_FileOpen's lock, with the current UPG table open.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "upkeep/registration_tables.h"

namespace upkeep {

// The search's flags, process-wide; the upgrade clears them at its start.
struct SearchState {
  std::uint8_t found = 0;
  std::uint8_t oldNameAlias = 0;     // the source was found under an old name (OFN)
  std::uint8_t oldFormatSource = 0;  // the source is an old .DAT file (read by the record copy)
  std::string oldOwner;              // the owner an old-name entry supplies
  std::uint8_t downgradeWarned = 0;  // the /DOWNGRADE warning was shown in this run
};
SearchState& searchState();

// One old file name (`OFN`): nothing in this program adds entries.
struct OldFileName {
  std::string OLDNAME;
  std::string NEWNAME;  // upper case: base name and extension, or the base name alone
  std::string PATH;
  std::string SQLOLDNAME;
  std::string OLDOWNER;
};
std::vector<OldFileName>& OFN();

// The name under which the search looks for the old file of the file named `fileName` (under
// the driver named `driverName`) through OFN; empty when no entry names the file.
std::string oldNameSourceOf(const std::string& fileName, std::string_view driverName);

// The old .DAT file that the search's last step (OpenSourceFile) takes for the file named
// `fileName`, whose registration has the prefix `prefix`: its name as that step forms it, when
// "COR" is registered, IGD allows the step for the file, the file's header imports and the old
// data driver reads its records. Empty otherwise. Only reads the files it looks at.
std::string oldDataSourceOf(const std::string& fileName, const std::string& prefix);

// Clears the search state and OFN (process start and end).
void resetStructureSearch();

// Walks the catalogue entries of `uf`'s prefix from its declared version downwards (from the
// largest version with /DOWNGRADE, after a once-per-run warning), rebuilds each as INFILE and
// opens it under InFileName with mode 22h. On success INFILE is left open, the found flag is
// 1, the entry stays the current UPG record and UPKQ's FROMVERSION is its version. A missing
// memo file, and access denied that SHARE cannot get past on a table, end the program after a
// STOP naming the file. `fileName` is the name of the file being upgraded.
void UpgradeLoop(const UsingFileEntry& uf, const std::string& fileName);

// The old .DAT source: imports the header of the file named after `fileName` and opens it as
// INFILE; sets the found flag and, when found, the old-format-source flag.
void OpenSourceFile(const std::string& fileName);

// Every search in order, each only while nothing was found: the stored structures (not after an
// open that reported 36), the cache prefix, old names, the name after its table marker "!",
// and the old .DAT file when "COR" is registered and IGD allows it. `fileName` is the name of
// the file being upgraded, `uf` its registration.
void SearchStoredStructures(const std::string& fileName, const UsingFileEntry& uf);

}  // namespace upkeep
