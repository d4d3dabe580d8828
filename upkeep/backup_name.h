// The names an upgrade tries for the backup of the old file, numbered 1 to 999.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace upkeep {

struct BackupNaming {
  std::string_view inFileName;   // the old file's name
  std::string_view prefix;       // the file's record prefix
  std::string_view driverCode;   // the backup driver code (DriverUsed of INFILE)
  bool backupOption = false;     // the backup option: the backup stays beside the file
  bool lastFailedWith3 = false;  // the previous attempt failed with error 3 (missing folder)
};

// The backup name number `n` takes; empty when no name can be formed.
//   - Backup option on: the file's name cut to five characters after its folder, then n in three
//     digits ("C:\data\projects.aaa" gives "C:\data\proje001"); for a table ("file\!table")
//     the number goes before the "\!" (or the first "." when that comes earlier), after at
//     most five characters of the file's own name, and the rest follows.
//   - Backup option on, driver "BTR": the prefix followed by n padded to five characters
//     (three digits for a prefix of one or two characters, two for three, one for four), in
//     the file's folder; none for a longer prefix or a number that does not fit.
//   - Backup option off: TempDirectory() + "dstmp" + n in three digits, without the folder
//     when the previous attempt failed with error 3.
std::string backupName(std::int32_t n, const BackupNaming& naming);

}  // namespace upkeep
